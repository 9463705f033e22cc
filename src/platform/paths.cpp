#include "platform/paths.h"

namespace eitool {
namespace {

std::string::size_type NameStart(const std::string& path) {
  for (std::string::size_type i = path.size(); i > 0; --i)
    if (IsNameDelimiter(path[i - 1])) return i;
  return 0;
}

}  // namespace

std::string JoinPath(const std::string& dir, const std::string& name) {
  return dir + PathSeparator() + name;
}

std::string FileNameOf(const std::string& path) { return path.substr(NameStart(path)); }

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  std::string::size_type start = NameStart(path);
  std::string::size_type dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < start) return path + ext;
  return path.substr(0, dot) + ext;
}

std::string ResolvePath(const std::string& base, const std::string& path) {
  if (path.empty() || IsAbsolutePath(path) || base.empty()) return path;
  return JoinPath(base, path);
}

}  // namespace eitool
