#include "app/run_state.h"

#include "platform/paths.h"

namespace eitool {

RunState::RunState(RunView& view) : RunState(view, StandardHandlers()) {}

RunState::RunState(RunView& view, const HandlerTable& handlers)
    : view(view), handlers(handlers) {}

std::string RunState::Resolve(const std::string& path) const {
  return ResolvePath(TargetDir, path);
}

}  // namespace eitool
