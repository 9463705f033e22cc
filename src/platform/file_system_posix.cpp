#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/errors.h"
#include "platform/file_system.h"

namespace eitool {

bool PathExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileSizeIfExists(const std::string& path, std::uint64_t& size) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool IdentityOf(const std::string& path, FileIdentity& identity) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return false;
  identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
  return true;
}

std::string GetCurrentDir() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return ".";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

bool SetCurrentDir(const std::string& path) { return ::chdir(path.c_str()) == 0; }

void ForceDirectories(const std::string& path) {
  if (path.empty() || DirectoryExists(path)) return;
  std::string::size_type slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0) ForceDirectories(path.substr(0, slash));
  if (::mkdir(path.c_str(), 0777) != 0 && !(errno == EEXIST && DirectoryExists(path)))
    throw EFCreateError(path, SystemReason(errno));
}

void RenameFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) throw EFCreateError(to, SystemReason(errno));
}

void RemoveFileQuietly(const std::string& path) { ::unlink(path.c_str()); }

std::string CreateTempFileNear(const std::string& near) {
  std::string name = near + ".eitool-XXXXXX";
  std::vector<char> buffer(name.begin(), name.end());
  buffer.push_back('\0');
  int fd = ::mkstemp(buffer.data());
  if (fd < 0) throw EFCreateError(near, SystemReason(errno));
  // mkstemp makes the file 0600; give it the permissions a created file gets.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  ::close(fd);
  return buffer.data();
}

}  // namespace eitool
