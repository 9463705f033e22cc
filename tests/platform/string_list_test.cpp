#include "platform/string_list.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "test_support.h"

namespace eitool {
namespace {

using testing::ReadFile;
using testing::WriteFile;
using Lines = std::vector<std::string>;

TEST(StringListTest, SplitsLinesAsTheLogReaderExpects) {
  static const struct {
    const char* name;
    std::string text;
    Lines lines;
  } kCases[] = {
      {"empty", "", {}},
      {"no break at end", "a", {"a"}},
      {"CR LF", "a\r\nb\r\n", {"a", "b"}},
      {"LF", "a\nb", {"a", "b"}},
      {"CR", "a\rb\r", {"a", "b"}},
      {"empty lines count", "a\n\nb\r\n\r\n", {"a", "", "b", ""}},
      {"CR then CR LF", "a\r\r\nb", {"a", "", "b"}},
      {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
      {"lone break", "\r\n", {""}},
      {"NUL ends the text", std::string("a\nb\0c\nd", 7), {"a", "b"}},
      {"blanks kept", "  a \t\n", {"  a \t"}},
  };
  for (const auto& c : kCases) {
    StringList list;
    list.SetText(c.text);
    EXPECT_EQ(list.lines(), c.lines) << c.name;
  }
}

TEST(StringListTest, SavesCrLfAfterEveryLine) {
  StringList list;
  EXPECT_EQ(list.Text(), "");
  list.Add("a");
  list.Add("");
  list.Add("b c");
  EXPECT_EQ(list.Text(), "a\r\n\r\nb c\r\n");
}

TEST(StringListTest, IndexErrorsNameTheIndex) {
  StringList list;
  list.Add("x");
  static const std::int64_t kBad[] = {1, -1, 5};
  for (std::int64_t index : kBad) {
    std::string expected = "List index out of bounds (" + std::to_string(index) + ")";
    try {
      list.Get(index);
      ADD_FAILURE() << "Get(" << index << ") did not fail";
    } catch (const EListError& e) {
      EXPECT_EQ(std::string(e.what()), expected);
    }
    EXPECT_THROW(list.Put(index, "y"), EListError) << index;
    EXPECT_THROW(list.Delete(index), EListError) << index;
  }
  EXPECT_EQ(list.Get(0), "x");
}

TEST(StringListTest, IndexOfIgnoresAsciiCase) {
  StringList list;
  list.SetText("Alpha\nBETA\nbeta\n");
  EXPECT_EQ(list.IndexOf("beta"), 1);
  EXPECT_EQ(list.IndexOf("ALPHA"), 0);
  EXPECT_EQ(list.IndexOf("alph"), -1);
}

class StringListFileTest : public testing::TempDirTest {};

TEST_F(StringListFileTest, RoundTripsThroughAFile) {
  WriteFile(Path("in.txt"), "one\ntwo\rthree");
  StringList list;
  list.LoadFromFile(Path("in.txt"));
  list.SaveToFile(Path("out.txt"));
  EXPECT_EQ(ReadFile(Path("out.txt")), "one\r\ntwo\r\nthree\r\n");

  StringList empty;
  empty.SaveToFile(Path("empty.txt"));
  EXPECT_EQ(ReadFile(Path("empty.txt")), "");
}

TEST_F(StringListFileTest, MissingFileIsAnOpenError) {
  StringList list;
  try {
    list.LoadFromFile(Path("missing.log"));
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot open file " + Path("missing.log"), 0), 0u)
        << e.what();
  }
}

}  // namespace
}  // namespace eitool
