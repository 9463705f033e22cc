#include "platform/paths.h"

namespace eitool {

char PathSeparator() { return '/'; }

bool IsNameDelimiter(char c) { return c == '/' || c == '\\'; }

bool IsAbsolutePath(const std::string& path) { return !path.empty() && path[0] == '/'; }

}  // namespace eitool
