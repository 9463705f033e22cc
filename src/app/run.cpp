#include "app/run.h"

#include "app/dispatch.h"
#include "app/run_state.h"
#include "platform/file_system.h"
#include "platform/paths.h"

namespace eitool {

void PrepareRun(RunState& run) {
  run.view.ClearResults();
  run.ResultLines.Clear();
  run.LibraryFolders.clear();
}

RunOutcome ExecuteRun(RunState& run) {
  RunView& view = run.view;
  if (!IsAbsolutePath(run.TargetDir)) run.TargetDir = JoinPath(GetCurrentDir(), run.TargetDir);
  SetCurrentDir(run.TargetDir);  // relative paths in logs and lists resolve here
  view.SetTotal(0, 100);

  RunOutcome outcome = RunOutcome::kCompleted;
  for (std::size_t i = 0; i < run.LogList.size(); ++i) {
    if (view.StopRequested()) {
      outcome = RunOutcome::kStopped;
      break;
    }
    const std::string entry = run.LogList[i];
    run.ResultLines.Add("#Format: " + run.ListTag);
    run.ResultLines.Add("#Source: " + entry);
    run.OnProcessFile(run, run.ListKind, entry);
    view.SetTotal(static_cast<int>(i * 100 / run.LogList.size()), 100);
    view.ProcessMessages();
  }
  if (view.StopRequested()) outcome = RunOutcome::kStopped;

  view.SetCurrentMessage("");
  view.SetExtractedText("");
  view.SetProgress(0, 100);
  view.SetTotal(0, 100);
  if (!run.ResultLines.Empty() && run.ListKind != fkLog && run.ListKind != fkList)
    run.ResultLines.SaveToFile(JoinPath(run.TargetDir, kResultLogName));
  return outcome;
}

}  // namespace eitool
