#include "app/dispatch.h"

#include "app/replay.h"
#include "app/run_state.h"
#include "formats/handlers.h"
#include "platform/errors.h"

namespace eitool {

const HandlerTable& StandardHandlers() {
  static const HandlerTable table = [] {
    HandlerTable t;
    t.extract[fkTRC] = ExtractTRC;
    t.insert[fkTRC] = InsertTRC;
    t.extract[fkLIB] = ExtractLIB;
    t.insert[fkLIB] = InsertLIB;
    return t;
  }();
  return table;
}

std::string KindDescription(TFormatKind kind) {
  switch (kind) {
    case fkTRC: return "text resources (TRC)";
    case fkGFT: return "mono fonts (GFT)";
    case fkTXF: return "alpha fonts (TXF)";
    case fkLIB: return "sound libraries (LIB)";
    case fkLog: return "work logs";
    case fkList: return "project lists";
    default: return "kind " + std::to_string(kind);
  }
}

ExtractHandler ExtractorFor(const HandlerTable& handlers, TFormatKind kind) {
  if (handlers.extract[kind] == nullptr)
    throw EDataError("Extraction of " + KindDescription(kind) + " is not available in this version");
  return handlers.extract[kind];
}

InsertHandler InserterFor(const HandlerTable& handlers, TFormatKind kind) {
  if (handlers.insert[kind] == nullptr)
    throw EDataError("Insertion of " + KindDescription(kind) + " is not available in this version");
  return handlers.insert[kind];
}

void DispatchFile(RunState& run, TFormatKind kind, const std::string& path) {
  run.view.FileStarted();
  if (IsResourceKind(kind)) {
    ExtractorFor(run.handlers, kind)(run, path);
  } else if (kind == fkLog || kind == fkList) {
    ReplayLog(run, path);
  }
  run.view.FileFinished();
}

}  // namespace eitool
