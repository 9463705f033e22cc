// The sectioned text store: one INI-like file at a time, loaded as lines,
// queried by section and key, and written back from its lines on close.
//
//   [Section]            header: whole line, ASCII case ignored, first wins
//   Key=value            key line: "Key=" anywhere in the line (case-
//                        sensitive); value = line minus its first
//                        length(Key) + 1 characters, nothing trimmed
//   [END OF Section]     end line: whole line, byte for byte
//
// The text handlers each open the store at their start and close it at
// their end; the run holds one store, so runs do not share it.
#pragma once

#include <optional>
#include <string>

#include "platform/string_list.h"

namespace eitool {

class Uini {
 public:
  // Closes (saves) an open store, then loads `file_name` when something
  // exists under that name (a folder fails with "Cannot open file ...").
  // After a failed load the store is closed.
  void IniOpen(const std::string& file_name);
  // Saves the lines to IniFileName and closes the store; does nothing when
  // it is closed. When the save fails the store is closed all the same
  // (its lines are discarded) and the error propagates.
  void IniClose();

  bool IniSectionExists(const std::string& section) const;
  // The value of `key` in `section`, or "" when the section does not exist
  // or its end line comes first. Without an end line the scan runs on past
  // the section and, past the last line, raises EListError.
  std::string IniReadValue(const std::string& section, const std::string& key) const;

  bool is_open() const { return IniLines.has_value(); }

  std::optional<StringList> IniLines;  // the open file's lines; none when closed
  std::string IniFileName;             // the name of the last IniOpen
};

}  // namespace eitool
