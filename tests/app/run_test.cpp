#include "app/run.h"

#include <gtest/gtest.h>

#include "app/dispatch.h"
#include "app/run_state.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "test_support.h"

namespace eitool {
namespace {

using testing::ReadFile;
using testing::RecordingView;
using testing::WriteFile;

// Extraction stand-in: writes <name>.out into the target folder, adds one
// item line, and fails for files whose name starts with "bad".
void FakeExtract(RunState& run, const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  if (name.rfind("bad", 0) == 0) throw EFOpenError(path);
  WriteFile(run.TargetDir + "/" + name + ".out", "x");
  run.ResultLines.Add("item " + name);
}

const HandlerTable& FakeHandlers() {
  static const HandlerTable table = [] {
    HandlerTable t;
    t.extract[fkLIB] = FakeExtract;
    t.extract[fkTRC] = FakeExtract;
    return t;
  }();
  return table;
}

class RunTest : public testing::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    run_.TargetDir = Path("target");
    ForceDirectories(run_.TargetDir);
  }
  void List(TFormatKind kind, const std::string& tag, std::vector<std::string> entries) {
    run_.ListKind = kind;
    run_.ListTag = tag;
    run_.LogList = std::move(entries);
  }
  std::string ResultLog() const { return ReadFile(run_.TargetDir + "/result.log"); }

  RecordingView view_;
  RunState run_{view_, FakeHandlers()};
};

TEST_F(RunTest, ExtractionWritesTheFramedWorkLog) {
  List(fkLIB, "LIB", {"/g/one.lib", "/g/two.lib", "/g/three.lib"});
  PrepareRun(run_);
  EXPECT_EQ(ExecuteRun(run_), RunOutcome::kCompleted);
  EXPECT_EQ(ResultLog(),
            "#Format: LIB\r\n#Source: /g/one.lib\r\nitem one.lib\r\n"
            "#Format: LIB\r\n#Source: /g/two.lib\r\nitem two.lib\r\n"
            "#Format: LIB\r\n#Source: /g/three.lib\r\nitem three.lib\r\n");
  EXPECT_EQ(GetCurrentDir(), run_.TargetDir);
  EXPECT_EQ(view_.files_started, 3);
  EXPECT_EQ(view_.files_finished, 3);
  // 0 at the start, i * 100 / n after file i, then back to 0.
  std::vector<std::pair<int, int>> totals = {{0, 100}, {0, 100}, {33, 100}, {66, 100}, {0, 100}};
  EXPECT_EQ(view_.totals, totals);
  EXPECT_EQ(view_.messages.back(), "");
  EXPECT_EQ(view_.extracted, std::vector<std::string>{""});
  EXPECT_EQ(view_.progress.back(), std::make_pair(0, 100));
}

TEST_F(RunTest, ResultLogIsReplacedByTheNextRun) {
  List(fkTRC, "TRC", {"/g/a.trc", "/g/b.trc"});
  ExecuteRun(run_);
  List(fkTRC, "TRC", {"/g/c.trc"});
  PrepareRun(run_);
  ExecuteRun(run_);
  EXPECT_EQ(ResultLog(), "#Format: TRC\r\n#Source: /g/c.trc\r\nitem c.trc\r\n");
}

TEST_F(RunTest, ReplayRunFramesEntriesWithAnEmptyTagAndWritesNoLog) {
  WriteFile(Path("empty.log"), "");
  for (TFormatKind kind : {fkLog, fkList}) {
    List(kind, "", {Path("empty.log")});
    PrepareRun(run_);
    EXPECT_EQ(ExecuteRun(run_), RunOutcome::kCompleted);
    EXPECT_EQ(run_.ResultLines.Text(), "#Format: \r\n#Source: " + Path("empty.log") + "\r\n");
    EXPECT_FALSE(FileExists(run_.TargetDir + "/result.log"));
  }
}

TEST_F(RunTest, RelativeEntriesOfAListResolveAgainstTheTarget) {
  WriteFile(run_.TargetDir + "/rel.log", "");
  List(fkList, "", {"rel.log"});
  EXPECT_NO_THROW(ExecuteRun(run_));
  List(fkList, "", {""});  // a blank line of a project list
  EXPECT_THROW(ExecuteRun(run_), EFOpenError);
}

TEST_F(RunTest, FailingHandlerEndsTheRunAndWritesNoLog) {
  List(fkLIB, "LIB", {"/g/good.lib", "/g/bad.lib", "/g/never.lib"});
  EXPECT_THROW(ExecuteRun(run_), EFOpenError);
  EXPECT_TRUE(FileExists(run_.TargetDir + "/good.lib.out"));
  EXPECT_FALSE(FileExists(run_.TargetDir + "/never.lib.out"));
  EXPECT_FALSE(FileExists(run_.TargetDir + "/result.log"));
  EXPECT_EQ(view_.files_started, 2);
  EXPECT_EQ(view_.files_finished, 1);
}

TEST_F(RunTest, StopEndsBeforeTheNextFileAndKeepsTheLogOfFinishedOnes) {
  List(fkLIB, "LIB", {"/g/a.lib", "/g/b.lib", "/g/c.lib"});
  view_.stop_after_pumps = 1;
  EXPECT_EQ(ExecuteRun(run_), RunOutcome::kStopped);
  EXPECT_EQ(ResultLog(), "#Format: LIB\r\n#Source: /g/a.lib\r\nitem a.lib\r\n");
  EXPECT_FALSE(FileExists(run_.TargetDir + "/b.lib.out"));
}

TEST_F(RunTest, RelativeTargetIsMadeAbsolute) {
  ::chdir(dir_.c_str());
  run_.TargetDir = "target";
  List(fkLIB, "LIB", {"/g/a.lib"});
  ExecuteRun(run_);
  EXPECT_EQ(run_.TargetDir, dir_ + "/target");
  EXPECT_TRUE(FileExists(dir_ + "/target/result.log"));
}

TEST_F(RunTest, KindWithoutExtractorIsAnErrorNamingTheKind) {
  List(fkGFT, "GFT", {"/g/a.gft"});
  try {
    ExecuteRun(run_);
    FAIL() << "no error";
  } catch (const EDataError& e) {
    EXPECT_NE(std::string(e.what()).find("GFT"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace eitool
