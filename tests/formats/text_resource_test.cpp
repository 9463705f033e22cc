#include <gtest/gtest.h>

#include "app/dispatch.h"
#include "app/replay.h"
#include "app/run.h"
#include "app/run_state.h"
#include "app/samples.h"
#include "formats/handlers.h"
#include "platform/coding.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "test_support.h"

namespace eitool {
namespace {

using testing::MarkReadOnly;
using testing::ReadFile;
using testing::RecordingView;
using testing::WriteFile;
using Strings = std::vector<std::string>;

// The keys of one block; numbers as written in the description.
struct BlockSpec {
  std::string source = "game.dat";
  std::string target = "edit.txt";
  std::string table_offset = "0x10", table_limit = "0x20";
  std::string data_begin = "0x40", data_limit = "0x80";
  std::string align = "0x4";
};

std::string Description(const std::vector<BlockSpec>& blocks, const std::vector<int>& numbers = {}) {
  std::string text;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const BlockSpec& b = blocks[i];
    std::string name = "Block#" + std::to_string(numbers.empty() ? static_cast<int>(i) : numbers[i]);
    text += "[" + name + "]\r\nSource=" + b.source + "\r\nTarget=" + b.target +
            "\r\nTable offset=" + b.table_offset + "\r\nTable limit=" + b.table_limit +
            "\r\nData begin=" + b.data_begin + "\r\nData limit=" + b.data_limit +
            "\r\nAlign=" + b.align + "\r\n[END OF " + name + "]\r\n";
  }
  return text;
}

std::string Entry(std::uint32_t index, const std::string& text) {
  char header[16];
  std::snprintf(header, sizeof header, "[%08X]", index);
  return header + std::string("\r\n") + text + "\r\n[########]\r\n";
}

void PutWord(std::string& bytes, std::size_t at, std::uint32_t value) {
  if (bytes.size() < at + 4) bytes.resize(at + 4, '\0');
  SetU32({reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()}, at, value);
}

std::uint32_t Word(const std::string& bytes, std::size_t at) {
  return GetU32({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, at);
}

class TextResourceTest : public testing::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    ::chdir(dir_.c_str());
  }

  // Extracts the description `name` in a run with the test's folder as target.
  std::string Extract(const std::string& name = "d.trc") {
    RunState run(view_);
    run.TargetDir = dir_;
    run.ListKind = fkTRC;
    run.ListTag = "TRC";
    run.LogList = {Path(name)};
    ExecuteRun(run);
    return ReadFile(Path(ChangeFileExt(name, ".txt")));
  }

  // Replays a work log naming the description `name`.
  void Insert(const std::string& name = "d.trc") {
    WriteFile(Path("w.log"), "#Format: TRC\r\n#Source: " + Path(name) + "\r\n");
    RunState run(view_);
    run.TargetDir = dir_;
    run.ListKind = fkLog;
    run.LogList = {Path("w.log")};
    ExecuteRun(run);
  }

  static std::string ChangeFileExt(const std::string& name, const std::string& ext) {
    return name.substr(0, name.rfind('.')) + ext;
  }

  RecordingView view_;
};

// A game file with a table at 0x10 (4 slots) and texts from 0x40 on.
std::string SmallGame() {
  std::string game(0x100, '\0');
  PutTextTable(game, {0x10, 0x40, {"Hello", "", "Line one\r\nLine two", "Last"}, {false, true}});
  return game;
}

TEST_F(TextResourceTest, ExtractionWritesTheDumpOfEveryBlockInOrder) {
  std::string game = SmallGame();
  PutWord(game, 0x14, 0x10000000);  // slot 1: high byte set, no text
  game[0x60] = '\0';
  PutWord(game, 0x18, 0x10000060);  // slot 2 now points at a NUL: empty text
  PutTextTable(game, {0xA0, 0xC0, {"B0", "B1"}, {}});
  WriteFile(Path("game.dat"), game);
  BlockSpec second;
  second.table_offset = "0xA0";
  second.table_limit = "0xAA";  // 10 bytes: 2 entries
  BlockSpec unreachable;
  unreachable.table_offset = "0xzz";
  WriteFile(Path("d.trc"), Description({BlockSpec{}, second, unreachable}, {0, 1, 3}));

  EXPECT_EQ(Extract(), Entry(0, "Hello") + Entry(2, "") + Entry(3, "Last") + Entry(0, "B0") +
                           Entry(1, "B1"));
  EXPECT_EQ(view_.results, Strings{});  // Block#3 is never read
  EXPECT_EQ(ReadFile(Path("result.log")), "#Format: TRC\r\n#Source: " + Path("d.trc") + "\r\n");
  EXPECT_EQ(ReadFile(Path("game.dat")), game);
  EXPECT_EQ(view_.messages.front(), "Processing d.trc...");
}

TEST_F(TextResourceTest, DumpNamesAndTheRewrittenDescription) {
  WriteFile(Path("game.dat"), SmallGame());
  WriteFile(Path("plain"), "[Block#0]\nSource=game.dat\nTable offset=0x10\nTable limit=0x14\n"
                           "[END OF Block#0]");
  EXPECT_EQ(Extract("plain"), Entry(0, "Hello"));
  EXPECT_TRUE(FileExists(Path("plain.txt")));
  EXPECT_EQ(ReadFile(Path("plain")), "[Block#0]\r\nSource=game.dat\r\nTable offset=0x10\r\n"
                                     "Table limit=0x14\r\n[END OF Block#0]\r\n");
  WriteFile(Path("none.trc"), "no blocks here\n");
  EXPECT_EQ(Extract("none.trc"), "");
}

TEST_F(TextResourceTest, TextsEndAtTheirNulTheWindowOrTheFile) {
  std::string game(0x40, '\0');
  PutWord(game, 0x10, 0x10000040);
  PutWord(game, 0x14, 0x10001100);
  PutWord(game, 0x18, 0x10003000);
  game.resize(0x40);
  game += std::string(5000, 'a');                 // 0x40: no NUL within 4096 bytes
  game.resize(0x1100, 'b');
  game += "tail without NUL";                     // 0x1100: runs to the end of the file
  WriteFile(Path("game.dat"), game);
  WriteFile(Path("d.trc"), Description({BlockSpec{}}));
  EXPECT_EQ(Extract(), Entry(0, std::string(4096, 'a')) + Entry(1, "tail without NUL") + Entry(2, ""));
  EXPECT_EQ(view_.results, (Strings{"Block 0 entry [00000000] has no end within 4096 bytes; it was cut there.",
                                    "Block 0 entry [00000002] points past the end of game.dat."}));
}

TEST_F(TextResourceTest, BadBlocksAreReportedAndTheOthersGoOn) {
  WriteFile(Path("game.dat"), SmallGame());
  static const struct {
    const char* name;
    BlockSpec block;
    const char* line;
  } kCases[] = {
      {"missing number", [] { BlockSpec b; b.table_offset = ""; return b; }(),
       "Block 0 has no valid Table offset (a number like 0x1A0 expected)."},
      {"decimal", [] { BlockSpec b; b.table_limit = "32"; return b; }(),
       "Block 0 has no valid Table limit (a number like 0x1A0 expected)."},
      {"upper-case X", [] { BlockSpec b; b.table_offset = "0X10"; return b; }(),
       "Block 0 has no valid Table offset (a number like 0x1A0 expected)."},
      {"limit below offset", [] { BlockSpec b; b.table_limit = "0x8"; return b; }(),
       "Block 0 has its Table limit below its Table offset."},
  };
  for (const auto& c : kCases) {
    view_ = RecordingView();
    WriteFile(Path("d.trc"), Description({c.block, BlockSpec{}}));
    EXPECT_EQ(Extract(), Entry(0, "Hello") + Entry(2, "Line one\r\nLine two") + Entry(3, "Last"))
        << c.name;
    EXPECT_EQ(view_.results, Strings{c.line}) << c.name;
  }
}

TEST_F(TextResourceTest, MissingGameFileEndsTheRun) {
  WriteFile(Path("d.trc"), Description({BlockSpec{}}));
  try {
    Extract();
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    // Named as the description writes it.
    EXPECT_EQ(std::string(e.what()).rfind("Cannot open file game.dat (", 0), 0u) << e.what();
  }
  EXPECT_EQ(testing::ListDir(dir_), (Strings{"d.trc"}));  // no dump, no temporary file

  // A dump marked read-only is not replaced.
  WriteFile(Path("game.dat"), SmallGame());
  WriteFile(Path("d.txt"), "protected");
  MarkReadOnly(Path("d.txt"));
  EXPECT_THROW(Extract(), EFCreateError);
  EXPECT_EQ(ReadFile(Path("d.txt")), "protected");
}

TEST_F(TextResourceTest, RoundTripGivesBackTheEditedTexts) {
  WriteFile(Path("game.dat"), SmallGame());
  WriteFile(Path("d.trc"), Description({BlockSpec{}}));
  std::string dump = Extract();
  WriteFile(Path("edit.txt"), Entry(0, "Bonjour") + Entry(2, "Ligne un\rLigne deux") +
                                  Entry(3, "Fin"));
  Insert();
  EXPECT_EQ(view_.results, Strings{});
  std::string game = ReadFile(Path("game.dat"));
  EXPECT_EQ(Word(game, 0x10), 0x10000040u);
  EXPECT_EQ(Word(game, 0x14), 0u);  // a slot that was 0 stays 0
  EXPECT_EQ(Word(game, 0x18), 0x10000048u);
  EXPECT_EQ(Word(game, 0x1C), 0x1000005Cu);
  EXPECT_EQ(game.substr(0x40, 0x20), std::string("Bonjour\0Ligne un\nLigne deux\0Fin\0", 32));
  EXPECT_EQ(game.substr(0x60, 0x20), std::string(0x20, '\0'));  // cleared to Data limit
  EXPECT_EQ(game.substr(0x80), SmallGame().substr(0x80));
  EXPECT_EQ(Extract(), Entry(0, "Bonjour") + Entry(2, "Ligne un\nLigne deux") + Entry(3, "Fin"));
}

TEST_F(TextResourceTest, InsertingTheSameDumpTwiceGivesTheSameFile) {
  WriteFile(Path("game.dat"), SmallGame());
  WriteFile(Path("d.trc"), Description({BlockSpec{}}));
  WriteFile(Path("edit.txt"), Entry(0, "one") + Entry(2, "two") + Entry(3, "three"));
  Insert();
  const std::string once = ReadFile(Path("game.dat"));
  Insert();
  EXPECT_EQ(ReadFile(Path("game.dat")), once);
  EXPECT_NE(once, SmallGame());
}

TEST_F(TextResourceTest, SizeCheckAgainstTheDataArea) {
  // Three texts of 3, 4 and 0 bytes; the area is Data limit - 0x40.
  const std::string dump = Entry(0, "abc") + Entry(2, "abcd") + Entry(3, "");
  static const struct {
    const char* align;
    const char* data_limit;
    const char* line;  // "" when the block is written
  } kCases[] = {
      {"0x4", "0x50", ""},  // 4 + 8 + 4 = 16: exact fit
      {"0x4", "0x4F", "Block 0 greater by 1 bytes."},
      {"0x8", "0x58", ""},  // 8 + 8 + 8 = 24
      {"0x8", "0x57", "Block 0 greater by 1 bytes."},
      {"0x1", "0x4A", "Block 0 greater by 6 bytes."},  // check: 10, records need 16
      {"0x0", "0x80", "Block 0 has Align 0."},
  };
  for (const auto& c : kCases) {
    view_ = RecordingView();
    WriteFile(Path("game.dat"), SmallGame());
    BlockSpec block;
    block.align = c.align;
    block.data_limit = c.data_limit;
    WriteFile(Path("d.trc"), Description({block}));
    WriteFile(Path("edit.txt"), dump);
    Insert();
    if (*c.line) {
      EXPECT_EQ(view_.results, Strings{c.line}) << c.align << " " << c.data_limit;
      EXPECT_EQ(ReadFile(Path("game.dat")), SmallGame()) << c.align << " " << c.data_limit;
    } else {
      EXPECT_EQ(view_.results, Strings{}) << c.align << " " << c.data_limit;
      EXPECT_EQ(Word(ReadFile(Path("game.dat")), 0x1C), 0x1000004Cu) << c.align;
    }
  }
}

TEST_F(TextResourceTest, BlocksThatCannotBeWrittenWholeAreLeftUnchanged) {
  static const struct {
    const char* name;
    std::function<void(BlockSpec&, std::string& dump, std::string& game)> change;
    const char* line;
  } kCases[] = {
      {"missing entry", [](BlockSpec&, std::string& d, std::string&) { d = Entry(0, "a") + Entry(3, "c"); },
       "Block 0 misses entry [00000002] in its dump edit.txt."},
      {"missing terminator", [](BlockSpec&, std::string& d, std::string&) {
         d = "[00000000]\r\na\r\n[00000002]\r\nb\r\n[00000003]\r\nc\r\n[########]\r\n";
       },
       "Block 0 has no terminator line after entry [00000000] in its dump edit.txt."},
      {"header at the end", [](BlockSpec&, std::string& d, std::string&) {
         d = Entry(0, "a") + Entry(2, "b") + "[00000003]\r\n";
       },
       "Block 0 has no terminator line after entry [00000003] in its dump edit.txt."},
      {"table outside the file", [](BlockSpec& b, std::string&, std::string&) {
         b.table_offset = "0xF8";
         b.table_limit = "0x108";
       },
       "Block 0 has its pointer table outside game.dat."},
      {"area past 16 MB", [](BlockSpec& b, std::string&, std::string&) { b.data_limit = "0x1000001"; },
       "Block 0 has its data area beyond the first 16 MB of game.dat."},
      {"area past the end", [](BlockSpec& b, std::string&, std::string&) { b.data_limit = "0x200"; },
       "Block 0 has its data area past the end of game.dat."},
      {"data limit below begin", [](BlockSpec& b, std::string&, std::string&) { b.data_limit = "0x30"; },
       "Block 0 has its Data limit below its Data begin."},
  };
  for (const auto& c : kCases) {
    view_ = RecordingView();
    BlockSpec block;
    std::string dump = Entry(0, "a") + Entry(2, "b") + Entry(3, "c");
    std::string game = SmallGame();
    c.change(block, dump, game);
    WriteFile(Path("game.dat"), game);
    WriteFile(Path("edit.txt"), dump);
    // A second, sound block of the same game file is still written.
    BlockSpec second;
    second.target = "second.txt";
    second.table_offset = "0x10";
    second.table_limit = "0x14";
    second.data_begin = "0x80";
    second.data_limit = "0x90";
    WriteFile(Path("second.txt"), Entry(0, "ok"));
    WriteFile(Path("d.trc"), Description({block, second}));
    Insert();
    EXPECT_EQ(view_.results, Strings{c.line}) << c.name;
    std::string expected = game;
    PutWord(expected, 0x10, 0x10000080);
    expected.replace(0x80, 4, std::string("ok\0\0", 4));
    EXPECT_EQ(ReadFile(Path("game.dat")), expected) << c.name;
  }
}

TEST_F(TextResourceTest, SlotsWithoutOffsetBitsAreKeptUnlessTheDumpHasThem) {
  std::string game = SmallGame();
  PutWord(game, 0x14, 0x10000000);
  WriteFile(Path("game.dat"), game);
  WriteFile(Path("d.trc"), Description({BlockSpec{}}));
  WriteFile(Path("edit.txt"), Entry(0, "a") + Entry(2, "b") + Entry(3, "c"));
  Insert();
  std::string after = ReadFile(Path("game.dat"));
  EXPECT_EQ(Word(after, 0x14), 0x10000000u);
  EXPECT_EQ(Word(after, 0x18), 0x10000044u);

  // With a header it gets a record; the entry of an index beyond the table
  // is counted by the size check but not written.
  WriteFile(Path("edit.txt"), Entry(0, "a") + Entry(9, "beyond") + Entry(1, "new") +
                                  Entry(2, "b") + Entry(3, "c"));
  WriteFile(Path("game.dat"), game);
  Insert();
  after = ReadFile(Path("game.dat"));
  EXPECT_EQ(Word(after, 0x14), 0x10000044u);
  EXPECT_EQ(after.substr(0x44, 4), std::string("new\0", 4));
}

TEST_F(TextResourceTest, HeadersWithLowerCaseDigitsAreFound) {
  std::string game(0x100, '\0');
  Strings texts;
  for (int k = 0; k < 12; ++k) texts.push_back("t" + std::to_string(k));
  PutTextTable(game, {0x10, 0x40, texts, {}});
  WriteFile(Path("game.dat"), game);
  BlockSpec block;
  block.table_limit = "0x40";
  block.data_limit = "0x100";
  WriteFile(Path("d.trc"), Description({block}));
  std::string dump = Extract();
  dump.replace(dump.find("[0000000A]\r\nt10"), 15, "[0000000a]\r\nten");
  WriteFile(Path("edit.txt"), dump);
  Insert();
  EXPECT_EQ(view_.results, Strings{});
  std::string after = ReadFile(Path("game.dat"));
  EXPECT_EQ(after.substr(Word(after, 0x10 + 4 * 10) & 0xFFFFFF, 4), std::string("ten\0", 4));
}

TEST_F(TextResourceTest, DumpAndGameFileFailuresEndTheRunBeforeWriting) {
  WriteFile(Path("game.dat"), SmallGame());
  WriteFile(Path("d.trc"), Description({BlockSpec{}}));
  try {
    Insert();
    ADD_FAILURE() << "no error for the missing dump";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot open file edit.txt (", 0), 0u) << e.what();
  }
  WriteFile(Path("edit.txt"), Entry(0, "a") + "[00000002]\r\nno terminator");
  try {
    Insert();
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (5)");
  }
  WriteFile(Path("edit.txt"), Entry(0, "a") + Entry(2, "b") + Entry(3, "c"));
  MarkReadOnly(Path("game.dat"));
  EXPECT_THROW(Insert(), EFOpenError);
  EXPECT_EQ(ReadFile(Path("game.dat")), SmallGame());
}

TEST_F(TextResourceTest, InsertionReturnsTheCursorAndClosesTheSource) {
  WriteFile(Path("game.dat"), SmallGame());
  WriteFile(Path("d.trc"), "[Block#0]\n" + Description({BlockSpec{}}).substr(11));
  WriteFile(Path("edit.txt"), Entry(0, "a") + Entry(2, "b") + Entry(3, "c"));
  RunState run(view_);
  run.TargetDir = dir_;
  run.SourcePath = Path("d.trc");
  run.SourceStream = std::make_unique<FileStream>(Path("d.trc"), FileStream::Mode::kOpenReadWrite);
  EXPECT_EQ(InsertTRC(run, Path("x/d.trc"), 7), 7);
  EXPECT_EQ(run.SourceStream, nullptr);
  EXPECT_EQ(ReadFile(Path("d.trc")), Description({BlockSpec{}}));  // rewritten with CR LF
  EXPECT_EQ(view_.messages.back(), "Processing d.trc...");
}

}  // namespace
}  // namespace eitool
