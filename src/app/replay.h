// Replaying a work log: keyword lines set the kind and open each source,
// whose section goes to the insertion handler of the current kind.
#pragma once

#include <string>
#include <string_view>

namespace eitool {

struct RunState;

inline constexpr std::string_view kFormatKeyword = "#Format:";
inline constexpr std::string_view kSourceKeyword = "#Source:";
inline constexpr std::string_view kTargetKeyword = "#Target";

// The first run of non-blank characters after any leading blanks (space,
// tab, CR, LF, VT, FF); empty when the line has none.
std::string_view FirstWord(std::string_view line);

// The line with its first keyword-length + 1 characters removed.
std::string KeywordRemainder(std::string_view line, std::string_view keyword);

// The results-pane line for a "#Source:" file that does not exist.
std::string SourceNotFoundLine(const std::string& source);

// Replays the work log at `path` (resolved against the target folder).
// Stops before the next line once the view asks the run to stop.
void ReplayLog(RunState& run, const std::string& path);

}  // namespace eitool
