// The per-file step of a run, and the table of handlers it dispatches to.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/format_kind.h"

namespace eitool {

struct RunState;

// Extraction: reads one listed file, writes its outputs into TargetDir and
// appends its item lines to ResultLines.
using ExtractHandler = void (*)(RunState& run, const std::string& path);
// Insertion: handles the section whose "#Source:" line precedes `cursor`,
// writes `output` (or the files the kind writes) and returns the index of
// the section's last line; the replay continues after it.
using InsertHandler = std::int64_t (*)(RunState& run, const std::string& output,
                                       std::int64_t cursor);

// Indexed by TFormatKind; an empty slot is a kind this build cannot handle.
struct HandlerTable {
  std::array<ExtractHandler, 8> extract{};
  std::array<InsertHandler, 8> insert{};
};

const HandlerTable& StandardHandlers();

// Names a kind for messages ("sound libraries (LIB)").
std::string KindDescription(TFormatKind kind);

// The handler of a resource kind; raise EDataError naming the kind when
// this build has none.
ExtractHandler ExtractorFor(const HandlerTable& handlers, TFormatKind kind);
InsertHandler InserterFor(const HandlerTable& handlers, TFormatKind kind);

// Hands one entry of the file list to the handler of `kind`: the
// extraction handler for resource kinds, ReplayLog for logs and lists,
// nothing for other values. Raises EDataError for a resource kind that
// this build has no handler for.
void DispatchFile(RunState& run, TFormatKind kind, const std::string& path);

}  // namespace eitool
