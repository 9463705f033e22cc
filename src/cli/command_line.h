// The command line of eitool: parsing into a Command, and running one.
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/format_kind.h"

namespace eitool::cli {

struct Command {
  enum class Verb { kHelp, kVersion, kExtract, kInsert, kSamples };
  Verb verb = Verb::kHelp;
  TFormatKind kind = 0;  // extract: the kind of the files
  std::string target;    // extract, insert: the target folder; samples: the folder
  std::string palette;   // empty: the default palette path
  std::string list;      // insert --list: the project list
  std::vector<std::string> files;  // extract: resource files; insert: work logs
};

// Wrong usage; the message says what is wrong.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `args` excludes the program name. Raises UsageError.
Command ParseCommandLine(const std::vector<std::string>& args);

extern const char* const kUsage;

// Runs `command`: results-pane lines to `out`, progress (when `progress`),
// the summary and errors to `err`. Returns the exit status: 0 done, 1 the
// run ended with an error.
int RunCommand(const Command& command, std::ostream& out, std::ostream& err, bool progress);

// The whole program: parse, run, exit status (2 for wrong usage).
int Main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
         bool progress);

}  // namespace eitool::cli
