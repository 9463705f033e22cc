#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/errors.h"
#include "platform/mapped_file.h"

namespace eitool {

MappedFile::MappedFile(const std::string& path, const std::string& shown) : path_(path) {
  const std::string& name = shown.empty() ? path : shown;
  int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EFOpenError(name, path.empty() ? "empty path" : SystemReason(errno));
  struct stat info {};
  std::string why;
  if (::fstat(fd, &info) != 0) why = SystemReason(errno);
  else if (S_ISDIR(info.st_mode)) why = "is a folder";
  size_ = static_cast<std::size_t>(info.st_size);
  if (why.empty() && size_ > 0) {
    data_ = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
    if (data_ == MAP_FAILED) {
      data_ = nullptr;
      why = SystemReason(errno);
    }
  }
  ::close(fd);
  if (!why.empty()) throw EFOpenError(name, why);
}

MappedFile::~MappedFile() {
  if (data_ != nullptr) ::munmap(data_, size_);
}

}  // namespace eitool
