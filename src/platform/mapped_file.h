// A whole file mapped read-only into memory: reading it costs no copy and
// no memory of the program's own beyond the system's file cache.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace eitool {

class MappedFile {
 public:
  // Raises EFOpenError when the file cannot be opened (or is a folder),
  // naming it as `shown` when that is given, otherwise as `path`.
  explicit MappedFile(const std::string& path, const std::string& shown = "");
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view bytes() const { return {static_cast<const char*>(data_), size_}; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  void* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace eitool
