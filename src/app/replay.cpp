#include "app/replay.h"

#include "app/dispatch.h"
#include "app/run_state.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/paths.h"

namespace eitool {
namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

int TotalPosition(std::int64_t line, std::int64_t count) {
  // A log of one line has no division to make: its only line is its last.
  if (count <= 1) return 100;
  return static_cast<int>(line * 100 / (count - 1));
}

// Opens the section's source and hands it to the handler of the current
// kind; returns the index of the section's last line.
std::int64_t ReplaySource(RunState& run, std::int64_t line, const std::string& source) {
  run.SourceStream.reset();
  std::string resolved = run.Resolve(source);
  bool found = PathExists(resolved);
  if (found)
    run.SourceStream =
        std::make_unique<FileStream>(resolved, FileStream::Mode::kOpenReadWrite, source);
  run.SourcePath = source;
  run.view.SetCurrentMessage("Processing " + FileNameOf(source) + "...");
  if (!found) {
    // Nothing to insert into: the section's lines are passed over one by one.
    run.view.AddResult(SourceNotFoundLine(source));
    return line;
  }
  TFormatKind kind = run.ReplayKind;
  if (!IsResourceKind(kind)) return line;
  return InserterFor(run.handlers, kind)(run, JoinPath(run.TargetDir, FileNameOf(source)), line + 1);
}

}  // namespace

std::string_view FirstWord(std::string_view line) {
  std::string_view::size_type start = line.find_first_not_of(kBlanks);
  if (start == std::string_view::npos) return {};
  std::string_view::size_type end = line.find_first_of(kBlanks, start);
  return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

std::string KeywordRemainder(std::string_view line, std::string_view keyword) {
  std::string_view::size_type cut = keyword.size() + 1;
  return cut >= line.size() ? std::string() : std::string(line.substr(cut));
}

std::string SourceNotFoundLine(const std::string& source) {
  return "Source file not found: " + source;
}

void ReplayLog(RunState& run, const std::string& path) {
  run.ReplayLines.Clear();
  run.ReplayLines.LoadFromFile(run.Resolve(path), path);
  const std::string message = "Processing " + FileNameOf(path) + "...";
  RunView& view = run.view;
  view.SetCurrentMessage(message);
  view.SetTotal(0, 100);
  run.ReplayKind = fkNone;

  try {
    for (std::int64_t i = 0; i < run.ReplayLines.Count(); ++i) {
      if (view.StopRequested()) break;
      view.SetCurrentMessage(message);
      view.SetTotal(TotalPosition(i, run.ReplayLines.Count()), 100);

      const std::string line = run.ReplayLines.Get(i);
      std::string_view word = FirstWord(line);
      if (!word.empty()) {
        run.PlainLine = 1;
        std::string_view keyword;
        for (std::string_view k : {kFormatKeyword, kSourceKeyword, kTargetKeyword})
          if (word == k) keyword = k;
        if (!keyword.empty()) run.PlainLine = 0;

        if (run.PlainLine == 0) {
          std::string remainder = KeywordRemainder(line, keyword);
          run.ReplayLines.Put(i, remainder);
          if (keyword == kFormatKeyword) {
            run.ReplayKind = KindOfTag(FirstWord(remainder));
          } else if (keyword == kSourceKeyword) {
            i = ReplaySource(run, i, remainder);
          }
        }
      }
      run.SourceStream.reset();
      view.StepProgress();
      view.ProcessMessages();
    }
  } catch (...) {
    run.SourceStream.reset();
    throw;
  }
}

}  // namespace eitool
