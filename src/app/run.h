// The run that the Process command starts, once its target folder is known.
#pragma once

#include <string>

namespace eitool {

struct RunState;

enum class RunOutcome { kCompleted, kStopped };

inline constexpr const char* kResultLogName = "result.log";
inline constexpr const char* kCompletedMessage = "Operation complete!";
inline constexpr const char* kStoppedMessage = "Operation stopped.";

// Empties the results pane and the work log of an earlier run.
void PrepareRun(RunState& run);

// Requires run.TargetDir, LogList, ListKind and ListTag to be set (a
// relative TargetDir is made absolute first). Makes TargetDir the working
// folder, hands every entry of LogList to OnProcessFile and, for resource
// kinds, saves the work log as TargetDir/result.log. A stop request ends
// the run before the next entry; the work log of the entries done is still
// saved. Failures raised by a handler end the run and propagate.
RunOutcome ExecuteRun(RunState& run);

}  // namespace eitool
