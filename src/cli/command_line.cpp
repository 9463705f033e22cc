#include "cli/command_line.h"

#include <exception>
#include <ostream>

#include "app/dispatch.h"
#include "app/run.h"
#include "app/run_state.h"
#include "app/samples.h"
#include "cli/console_view.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/string_list.h"

#ifndef EITOOL_VERSION
#define EITOOL_VERSION "0"
#endif

namespace eitool::cli {

const char* const kUsage =
    "Usage: eitool extract --kind trc|gft|txf|lib --target DIR [--palette FILE] FILE...\n"
    "       eitool insert --target DIR [--palette FILE] LOG...\n"
    "       eitool insert --target DIR [--palette FILE] --list FILE\n"
    "       eitool samples DIR\n"
    "       eitool --help | --version\n";

namespace {

const char* const kHelp =
    "Takes the packed resource files of the game apart into editable files\n"
    "(extract), and puts the edited files back (insert).\n"
    "\n"
    "  extract   unpacks every FILE into DIR and writes the work log DIR/result.log\n"
    "  insert    replays work logs (or the logs named by a project list) into DIR\n"
    "  samples   writes made-up sample game files into DIR\n"
    "\n"
    "Options:\n"
    "  --kind KIND      the kind of the listed files: trc (text resources),\n"
    "                   gft (mono fonts), txf (alpha fonts), lib (sound libraries)\n"
    "  --target DIR     the target folder; created when missing, and the working\n"
    "                   folder of the run (relative paths in logs resolve there)\n"
    "  --palette FILE   the palette (ACT colour table) for mono fonts\n"
    "  --list FILE      a project list: one work log path per line\n"
    "  --help           show this help\n"
    "  --version        show the version\n"
    "\n"
    "Lines that the run reports (the results pane) go to standard output;\n"
    "progress, the summary and errors go to standard error. Exit status: 0 when\n"
    "the run completed, 1 when it ended with an error, 2 for wrong usage.\n";

TFormatKind KindOfName(const std::string& name) {
  if (name == "trc") return fkTRC;
  if (name == "gft") return fkGFT;
  if (name == "txf") return fkTXF;
  if (name == "lib") return fkLIB;
  throw UsageError("unknown kind '" + name + "' (use trc, gft, txf or lib)");
}

std::string Absolute(const std::string& path) {
  return IsAbsolutePath(path) ? path : JoinPath(GetCurrentDir(), path);
}

}  // namespace

Command ParseCommandLine(const std::vector<std::string>& args) {
  Command command;
  std::vector<std::string> operands;
  bool options_done = false;
  std::string kind_name;
  bool seen_kind = false, seen_target = false, seen_list = false;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_done || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
      continue;
    }
    if (arg == "--help") return Command{};
    if (arg == "--version") {
      Command version;
      version.verb = Command::Verb::kVersion;
      return version;
    }
    std::string name = arg, value;
    bool has_value = false;
    if (std::string::size_type eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      has_value = true;
    }
    if (name != "--kind" && name != "--target" && name != "--palette" && name != "--list")
      throw UsageError("unknown option " + name);
    if (!has_value) {
      if (i + 1 >= args.size()) throw UsageError("option " + name + " needs a value");
      value = args[++i];
    }
    if (value.empty()) throw UsageError("option " + name + " needs a value");
    bool& seen = name == "--kind" ? seen_kind : name == "--target" ? seen_target : seen_list;
    if (name != "--palette") {
      if (seen) throw UsageError("option " + name + " given twice");
      seen = true;
    }
    if (name == "--kind") kind_name = value;
    else if (name == "--target") command.target = value;
    else if (name == "--palette") command.palette = value;
    else command.list = value;
  }

  if (operands.empty()) throw UsageError("no command given");
  const std::string verb = operands.front();
  operands.erase(operands.begin());

  if (verb == "samples") {
    if (seen_kind || seen_target || seen_list || !command.palette.empty())
      throw UsageError("samples takes only a folder");
    if (operands.size() != 1) throw UsageError("samples needs exactly one folder");
    command.verb = Command::Verb::kSamples;
    command.target = operands.front();
    return command;
  }
  if (verb != "extract" && verb != "insert") throw UsageError("unknown command '" + verb + "'");
  if (!seen_target) throw UsageError(verb + " needs --target DIR");

  if (verb == "extract") {
    command.verb = Command::Verb::kExtract;
    if (!seen_kind) throw UsageError("extract needs --kind");
    if (seen_list) throw UsageError("--list belongs to insert");
    command.kind = KindOfName(kind_name);
    if (operands.empty()) throw UsageError("extract needs at least one file");
  } else {
    command.verb = Command::Verb::kInsert;
    if (seen_kind) throw UsageError("--kind belongs to extract");
    if (seen_list && !operands.empty())
      throw UsageError("insert takes either work logs or --list FILE, not both");
    if (!seen_list && operands.empty()) throw UsageError("insert needs a work log or --list FILE");
  }
  command.files = operands;
  return command;
}

int RunCommand(const Command& command, std::ostream& out, std::ostream& err, bool progress) {
  switch (command.verb) {
    case Command::Verb::kHelp:
      out << kUsage << '\n' << kHelp;
      return 0;
    case Command::Verb::kVersion:
      out << "eitool " << EITOOL_VERSION << '\n';
      return 0;
    default:
      break;
  }

  try {
    if (command.verb == Command::Verb::kSamples) {
      for (const std::string& path : WriteSamples(Absolute(command.target))) out << path << '\n';
      return 0;
    }

    ConsoleView view(out, err, progress);
    RunState run(view);
    if (!command.palette.empty()) run.PalettePath = Absolute(command.palette);
    if (command.verb == Command::Verb::kExtract) {
      ExtractorFor(run.handlers, command.kind);  // refuse before anything runs
      run.ListKind = command.kind;
      run.ListTag = FormatTags[FilterOfKind(command.kind) - 1];
      for (const std::string& file : command.files) run.LogList.push_back(Absolute(file));
    } else if (!command.list.empty()) {
      // The list's entries are taken as written: relative ones resolve
      // against the target folder, as in the window.
      StringList list;
      list.LoadFromFile(Absolute(command.list));
      run.ListKind = fkList;
      run.LogList = list.lines();
    } else {
      run.ListKind = fkLog;
      for (const std::string& file : command.files) run.LogList.push_back(Absolute(file));
    }
    run.TargetDir = Absolute(command.target);
    ForceDirectories(run.TargetDir);

    PrepareRun(run);
    RunOutcome outcome = ExecuteRun(run);
    view.EndProgress();
    const std::size_t count = run.LogList.size();
    const std::string files = std::to_string(count) + (count == 1 ? " file" : " files");
    if (command.verb == Command::Verb::kExtract)
      err << "Extracted " << files << " into " << run.TargetDir << "; work log "
          << JoinPath(run.TargetDir, kResultLogName) << '\n';
    else
      err << "Replayed " << files << " into " << run.TargetDir << '\n';
    if (view.result_count() > 0)
      err << view.result_count() << (view.result_count() == 1 ? " line" : " lines")
          << " reported on standard output\n";
    err << (outcome == RunOutcome::kCompleted ? kCompletedMessage : kStoppedMessage) << '\n';
    return 0;
  } catch (const std::exception& error) {
    out.flush();
    err << "eitool: " << error.what() << '\n';
    return 1;
  }
}

int Main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
         bool progress) {
  Command command;
  try {
    command = ParseCommandLine(args);
  } catch (const UsageError& error) {
    err << "eitool: " << error.what() << '\n' << kUsage
        << "Try 'eitool --help' for more information.\n";
    return 2;
  }
  return RunCommand(command, out, err, progress);
}

}  // namespace eitool::cli
