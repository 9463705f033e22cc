// Helpers shared by the tests: a fresh temporary folder per test, whole-file
// reads and writes, and a view that records what a run shows.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/run_view.h"

namespace eitool::testing {

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// Clears every write bit, as a file marked read-only.
void MarkReadOnly(const std::string& path);
// The names in `dir`, sorted; "" for an empty folder.
std::vector<std::string> ListDir(const std::string& dir);

// A test fixture that works in its own new folder, removed afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // dir_ + "/" + name
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  std::string dir_;
  std::string saved_cwd_;
};

// Records everything a run shows.
class RecordingView : public RunView {
 public:
  void SetCurrentMessage(const std::string& text) override { messages.push_back(text); }
  void SetExtractedText(const std::string& text) override { extracted.push_back(text); }
  void SetProgress(int position, int max) override { progress.emplace_back(position, max); }
  void StepProgress() override { ++steps; }
  void SetTotal(int position, int max) override { totals.emplace_back(position, max); }
  void ClearResults() override { results.clear(); }
  void AddResult(const std::string& line) override { results.push_back(line); }
  void FileStarted() override { ++files_started; }
  void FileFinished() override { ++files_finished; }
  void ProcessMessages() override { ++pumps; }
  // Asks to stop once the run has pumped `stop_after_pumps` times (-1: never).
  bool StopRequested() override { return stop_after_pumps >= 0 && pumps >= stop_after_pumps; }

  std::vector<std::string> messages, extracted, results;
  std::vector<std::pair<int, int>> progress, totals;
  int steps = 0, files_started = 0, files_finished = 0, pumps = 0;
  int stop_after_pumps = -1;
};

}  // namespace eitool::testing
