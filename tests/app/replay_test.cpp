#include "app/replay.h"

#include <gtest/gtest.h>

#include "app/dispatch.h"
#include "app/run.h"
#include "app/run_state.h"
#include "platform/errors.h"
#include "test_support.h"

namespace eitool {
namespace {

using testing::MarkReadOnly;
using testing::RecordingView;
using testing::WriteFile;

// What the fake insertion handler saw on each call.
struct Call {
  TFormatKind kind;
  std::string output;
  std::int64_t cursor;
  std::string source_path;
  bool stream_open;
  std::uint64_t stream_position;
};
std::vector<Call> g_calls;
std::int64_t g_items_per_section = 0;  // item lines per section

template <TFormatKind kKind>
std::int64_t FakeInsert(RunState& run, const std::string& output, std::int64_t cursor) {
  g_calls.push_back({kKind, output, cursor, run.SourcePath, run.SourceStream != nullptr,
                     run.SourceStream ? run.SourceStream->Position() : 0});
  return cursor + g_items_per_section;  // as the sound library handler does
}

const HandlerTable& FakeHandlers() {
  static const HandlerTable table = [] {
    HandlerTable t;
    t.insert[fkTRC] = FakeInsert<fkTRC>;
    t.insert[fkGFT] = FakeInsert<fkGFT>;
    t.insert[fkTXF] = FakeInsert<fkTXF>;
    t.insert[fkLIB] = FakeInsert<fkLIB>;
    return t;
  }();
  return table;
}

TEST(ReplayWordsTest, FirstWordAndRemainder) {
  static const struct {
    const char* line;
    const char* word;
    const char* keyword;
    const char* remainder;
  } kCases[] = {
      {"#Source: /a b/c.lib", "#Source:", "#Source:", "/a b/c.lib"},
      {"#Source:  x", "#Source:", "#Source:", " x"},
      {"#Source:", "#Source:", "#Source:", ""},
      {" #Source: x", "#Source:", "#Source:", " x"},
      {"  #Source: x", "#Source:", "#Source:", ": x"},
      {"\t#Format:\tLIB", "#Format:", "#Format:", "\tLIB"},
      {"#Format:    LIB", "#Format:", "#Format:", "   LIB"},
      {"#Target whatever", "#Target", "#Target", "whatever"},
      {"#Source:/glued", "#Source:/glued", "", ""},
      {"   ", "", "", ""},
      {"", "", "", ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(FirstWord(c.line), c.word) << c.line;
    if (*c.keyword) {
      EXPECT_EQ(KeywordRemainder(c.line, c.keyword), c.remainder) << c.line;
    }
  }
}

class ReplayTest : public testing::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    g_calls.clear();
    g_items_per_section = 0;
    run_.TargetDir = dir_;
    WriteFile(Path("a.lib"), "AAAA");
    WriteFile(Path("b.lib"), "BBBB");
  }

  // Writes `lines` as a work log and replays it.
  void Replay(const std::vector<std::string>& lines, const std::string& name = "w.log") {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    WriteFile(Path(name), text);
    ReplayLog(run_, Path(name));
  }

  RecordingView view_;
  RunState run_{view_, FakeHandlers()};
};

TEST_F(ReplayTest, FormatTagsSelectTheHandler) {
  static const struct {
    const char* format_line;
    TFormatKind called;  // 0: no handler call
  } kCases[] = {
      {"#Format: LIB", fkLIB},    {"#Format: TRC", fkTRC},  {"#Format: GFT", fkGFT},
      {"#Format: TXF", fkTXF},    {"#Format: lib", 0},      {"#Format:", 0},
      {"#Format: ", 0},           {"#Format:    LIB", fkLIB}, {"#Format: LIB extra", fkLIB},
      {"#Format: LIBX", 0},       {"#Format:LIB", 0},       {" #Format: LIB", fkLIB},
      {"  #Format: LIB", 0},
  };
  for (const auto& c : kCases) {
    g_calls.clear();
    Replay({c.format_line, "#Source: " + Path("a.lib")});
    if (c.called == 0) {
      EXPECT_TRUE(g_calls.empty()) << c.format_line;
      EXPECT_EQ(run_.ReplayKind, fkNone) << c.format_line;
    } else {
      ASSERT_EQ(g_calls.size(), 1u) << c.format_line;
      EXPECT_EQ(g_calls[0].kind, c.called) << c.format_line;
    }
  }
}

TEST_F(ReplayTest, HandlerGetsOutputCursorAndOpenSource) {
  g_items_per_section = 2;
  Replay({"#Format: LIB", "#Source: " + Path("a.lib"), "item0", "item1", "#Target skipped",
          "#Target seen"});
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].output, dir_ + "/a.lib");
  EXPECT_EQ(g_calls[0].cursor, 2);
  EXPECT_EQ(g_calls[0].source_path, Path("a.lib"));
  EXPECT_TRUE(g_calls[0].stream_open);
  EXPECT_EQ(g_calls[0].stream_position, 0u);
  EXPECT_EQ(run_.SourceStream, nullptr);
  // Keyword lines that were examined are reduced to their remainders; the
  // handler returned 4, so line 4 is not examined and line 5 is.
  std::vector<std::string> expected = {"LIB", Path("a.lib"), "item0", "item1",
                                       "#Target skipped", "seen"};
  EXPECT_EQ(run_.ReplayLines.lines(), expected);
  EXPECT_EQ(view_.steps, 3);  // lines 0, 1 and 5
}

TEST_F(ReplayTest, SectionsFollowEachOtherAndKindPersists) {
  g_items_per_section = 1;
  Replay({"#Format: LIB", "#Source: " + Path("a.lib"), "i", "#Format: LIB",
          "#Source: " + Path("b.lib"), "j"});
  // After a.lib's one item line comes "#Format: LIB", which is not examined;
  // b.lib is still handled under the kind that persists.
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[1].source_path, Path("b.lib"));
  EXPECT_EQ(g_calls[1].cursor, 5);
  EXPECT_EQ(run_.ReplayLines.Get(3), "#Format: LIB");
}

TEST_F(ReplayTest, PathsAreTakenFromTheRemainderUnchanged) {
  WriteFile(Path(" spaced.lib"), "S");
  ::mkdir(Path("sub").c_str(), 0755);
  WriteFile(Path("sub/rel.lib"), "R");
  // Each handled section has no item lines, so the line after it is skipped.
  Replay({"#Format: LIB", "#Source:  spaced.lib", "", "#Source: sub/rel.lib", "",
          " #Source: a.lib", "#Source: " + std::string(300, 'x')});
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].source_path, " spaced.lib");
  EXPECT_EQ(g_calls[0].output, dir_ + "/ spaced.lib");
  EXPECT_EQ(g_calls[1].source_path, "sub/rel.lib");
  EXPECT_EQ(g_calls[1].output, dir_ + "/rel.lib");
  // " #Source: a.lib" leaves " a.lib", which does not exist; the long path
  // is kept whole.
  std::vector<std::string> expected_results = {SourceNotFoundLine(" a.lib"),
                                               SourceNotFoundLine(std::string(300, 'x'))};
  EXPECT_EQ(view_.results, expected_results);
  EXPECT_EQ(run_.SourcePath, std::string(300, 'x'));
}

TEST_F(ReplayTest, MissingSourceIsReportedAndItsSectionPassedOver) {
  g_items_per_section = 1;
  Replay({"#Format: LIB", "#Source: " + Path("gone.lib"), "#Target item", "#Source: " +
          Path("a.lib"), "x"});
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].source_path, Path("a.lib"));
  EXPECT_EQ(view_.results, std::vector<std::string>{SourceNotFoundLine(Path("gone.lib"))});
  EXPECT_EQ(run_.ReplayLines.Get(2), "item");  // examined as a line of its own
  EXPECT_EQ(std::count(view_.messages.begin(), view_.messages.end(),
                       "Processing gone.lib..."), 1);
}

TEST_F(ReplayTest, UnusableSourceEndsTheReplayWithAnOpenError) {
  ::mkdir(Path("folder.lib").c_str(), 0755);
  WriteFile(Path("locked.lib"), "L");
  MarkReadOnly(Path("locked.lib"));
  for (const char* name : {"folder.lib", "locked.lib"}) {
    for (const char* format : {"#Format: LIB", "#Format: none"}) {
      g_calls.clear();
      try {
        Replay({format, "#Source: " + Path(name), "#Source: " + Path("a.lib")});
        ADD_FAILURE() << name << " did not fail";
      } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file " + Path(name), 0), 0u);
      }
      EXPECT_TRUE(g_calls.empty());
      EXPECT_EQ(run_.SourceStream, nullptr);
    }
  }
}

TEST_F(ReplayTest, TotalBarCountsLinesToTheLast) {
  static const struct {
    int lines;
    std::vector<int> totals;  // after the initial 0
  } kCases[] = {
      {0, {}},
      {1, {100}},
      {2, {0, 100}},
      {5, {0, 25, 50, 75, 100}},
      {4, {0, 33, 66, 100}},
  };
  for (const auto& c : kCases) {
    view_ = RecordingView();
    Replay(std::vector<std::string>(static_cast<std::size_t>(c.lines), "item"));
    std::vector<int> totals;
    for (auto [position, max] : view_.totals) {
      EXPECT_EQ(max, 100);
      totals.push_back(position);
    }
    std::vector<int> expected = {0};
    expected.insert(expected.end(), c.totals.begin(), c.totals.end());
    EXPECT_EQ(totals, expected) << c.lines << " lines";
    EXPECT_EQ(view_.steps, c.lines);
    EXPECT_EQ(view_.pumps, c.lines);
    EXPECT_EQ(view_.messages.front(), "Processing w.log...");
  }
}

TEST_F(ReplayTest, EveryLogStartsAtNoKind) {
  g_items_per_section = 1;
  Replay({"#Format: LIB"}, "first.log");
  Replay({"#Source: " + Path("a.lib"), "x"}, "second.log");
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(run_.ReplayKind, fkNone);
}

TEST_F(ReplayTest, StopEndsTheReplayBeforeTheNextLine) {
  view_.stop_after_pumps = 2;
  Replay({"#Target a", "#Target b", "#Target c", "#Target d"});
  std::vector<std::string> expected = {"a", "b", "#Target c", "#Target d"};
  EXPECT_EQ(run_.ReplayLines.lines(), expected);
}

TEST_F(ReplayTest, UnreadableLogIsAnOpenError) {
  EXPECT_THROW(ReplayLog(run_, Path("none.log")), EFOpenError);
  EXPECT_THROW(ReplayLog(run_, ""), EFOpenError);  // a blank project-list entry
}

TEST_F(ReplayTest, KindWithoutAHandlerInThisBuildIsAnError) {
  RunState run(view_, HandlerTable{});
  run.TargetDir = dir_;
  WriteFile(Path("g.log"), "#Format: GFT\r\n#Source: " + Path("a.lib") + "\r\n");
  EXPECT_THROW(ReplayLog(run, Path("g.log")), EDataError);
  EXPECT_EQ(run.SourceStream, nullptr);
}

}  // namespace
}  // namespace eitool
