#include "support/uini.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "test_support.h"

namespace eitool {
namespace {

using testing::MarkReadOnly;
using testing::ReadFile;
using testing::WriteFile;

class UiniTest : public testing::TempDirTest {
 protected:
  Uini Open(const std::string& text) {
    WriteFile(Path("d.trc"), text);
    Uini ini;
    ini.IniOpen(Path("d.trc"));
    return ini;
  }
};

TEST_F(UiniTest, ReadsValuesByTheStoreRules) {
  const std::string text =
      "junk before\n"
      "[block#0]\n"
      "Source=game.dat\n"
      "Source=second wins never\n"
      "Table offset=0x10\n"
      "Spaced= value with blanks \n"
      "  Source=a\n"
      "[END OF Block#0]\n"
      "After=end\n"
      "[Block#1]\n"
      "Key=from block 1\n"
      "[END OF Block#1]\n"
      "[Block#1]\n"
      "Key=duplicate section\n"
      "[END OF Block#1]\n"
      "[Open]\n"
      "Only=here\n"
      "[END OF open]\n"
      "[Next]\n"
      "Far=found in the next section\n";
  static const struct {
    const char* section;
    const char* key;
    const char* value;
  } kCases[] = {
      {"Block#0", "Source", "game.dat"},           // header case ignored, first key wins
      {"BLOCK#0", "Table offset", "0x10"},
      {"Block#0", "table offset", ""},             // key case matters
      {"Block#0", "Spaced", " value with blanks "}, // nothing trimmed
      {"Block#0", "After", ""},                    // after the end line
      {"Block#0", "e", "urce=game.dat"},           // key found inside a line, cut by count
      {"Block#1", "Key", "from block 1"},          // the first of two equal sections
      {"Missing", "Key", ""},
      {"Open", "Far", "found in the next section"},  // end line spelled in another case
  };
  Uini ini = Open(text);
  for (const auto& c : kCases)
    EXPECT_EQ(ini.IniReadValue(c.section, c.key), c.value) << c.section << "/" << c.key;
  EXPECT_TRUE(ini.IniSectionExists("Block#0"));
  EXPECT_TRUE(ini.IniSectionExists("open"));
  EXPECT_FALSE(ini.IniSectionExists("Block#2"));
}

TEST_F(UiniTest, KeyFoundInsideTheLineKeepsPartOfTheKey) {
  Uini ini = Open("[S]\r\n  Source=a\r\n[END OF S]\r\n");
  EXPECT_EQ(ini.IniReadValue("S", "Source"), "e=a");
}

TEST_F(UiniTest, ScanWithoutEndLinePastTheLastLineIsAnIndexError) {
  Uini ini = Open("[S]\nA=1\n[END OF s]\nB=2\n");
  try {
    ini.IniReadValue("S", "Missing");
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (4)");
  }
  EXPECT_EQ(ini.IniReadValue("S", "B"), "2");
}

TEST_F(UiniTest, CloseRewritesTheFileFromItsLines) {
  Uini ini = Open(std::string("a\n[S]\rb\r\nlast", 14) + std::string("\0ignored", 8));
  ini.IniClose();
  EXPECT_EQ(ReadFile(Path("d.trc")), "a\r\n[S]\r\nb\r\nlast\r\n");
  EXPECT_FALSE(ini.is_open());
  ini.IniClose();  // closed: nothing happens
  EXPECT_EQ(ini.IniFileName, Path("d.trc"));
}

TEST_F(UiniTest, MissingFileOpensEmptyAndIsCreatedOnClose) {
  Uini ini;
  ini.IniOpen(Path("new.trc"));
  EXPECT_FALSE(ini.IniSectionExists("Block#0"));
  EXPECT_EQ(ini.IniReadValue("Block#0", "Source"), "");
  ini.IniClose();
  EXPECT_EQ(ReadFile(Path("new.trc")), "");
}

TEST_F(UiniTest, OpeningAnotherFileSavesTheFirst) {
  WriteFile(Path("one.trc"), "x\ny");
  WriteFile(Path("two.trc"), "[T]\n");
  Uini ini;
  ini.IniOpen(Path("one.trc"));
  ini.IniOpen(Path("two.trc"));
  EXPECT_EQ(ReadFile(Path("one.trc")), "x\r\ny\r\n");
  EXPECT_TRUE(ini.IniSectionExists("T"));
  EXPECT_EQ(ReadFile(Path("two.trc")), "[T]\n");
}

TEST_F(UiniTest, FailedLoadAndFailedSaveLeaveTheStoreClosed) {
  ::mkdir(Path("folder.trc").c_str(), 0755);
  WriteFile(Path("first.trc"), "[A]\n");
  Uini ini;
  ini.IniOpen(Path("first.trc"));
  EXPECT_THROW(ini.IniOpen(Path("folder.trc")), EFOpenError);
  EXPECT_FALSE(ini.is_open());
  EXPECT_EQ(ReadFile(Path("first.trc")), "[A]\r\n");  // saved before the failed load

  ini.IniOpen(Path("first.trc"));
  MarkReadOnly(Path("first.trc"));
  EXPECT_THROW(ini.IniClose(), EFCreateError);
  EXPECT_FALSE(ini.is_open());
  EXPECT_NO_THROW(ini.IniOpen(Path("other.trc")));  // no second attempt at the old save
}

}  // namespace
}  // namespace eitool
