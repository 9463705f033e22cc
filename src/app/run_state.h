// Everything one run shares between the run, the replay and the handlers.
// The run owns it and hands it down; nothing of it is global, so two runs
// never see each other's lists, streams or folders.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/dispatch.h"
#include "app/format_kind.h"
#include "app/run_view.h"
#include "platform/file_stream.h"
#include "platform/string_list.h"
#include "support/uini.h"

namespace eitool {

// Where the mono-font handlers find their palette unless told otherwise.
inline constexpr const char* kDefaultPalettePath = "c:\\work\\brennovale\\gs.act";

struct RunState {
  // `handlers` defaults to the program's own; tests may pass others.
  explicit RunState(RunView& view);
  RunState(RunView& view, const HandlerTable& handlers);

  RunView& view;
  const HandlerTable handlers;  // a copy: small, and never dangling

  // The file list and its kind; ListTag is the work log tag of the Add
  // dialog's file type that set the kind (empty for logs and lists).
  std::vector<std::string> LogList;
  TFormatKind ListKind = 0;
  std::string ListTag;

  // The per-file step of a run; DispatchFile unless replaced.
  std::function<void(RunState&, TFormatKind, const std::string&)> OnProcessFile = DispatchFile;

  StringList ResultLines;  // the work log being collected
  StringList ReplayLines;  // the work log being replayed

  std::string TargetDir;
  std::string SourcePath;
  std::unique_ptr<FileStream> SourceStream;
  TFormatKind ReplayKind = 0;
  std::uint8_t PlainLine = 0;

  std::string PalettePath = kDefaultPalettePath;

  // The sectioned text store of the text handlers; each opens and closes it
  // within one call.
  Uini Ini;

  // Work folders already given to sound libraries in this run.
  std::set<std::string> LibraryFolders;

  // A path of a listed entry, work log or description, resolved the way
  // the run's working folder (the target folder) resolves it.
  std::string Resolve(const std::string& path) const;
};

}  // namespace eitool
