// A file written under a temporary name beside its final path and renamed
// into place by Commit(), so that a failed job never leaves a partial file
// there; without Commit() the temporary file is removed.
#pragma once

#include <string>

#include "platform/file_stream.h"

namespace eitool {

class ReplacingFile {
 public:
  // Raises EFCreateError naming `path` when a folder or a file marked
  // read-only is there, or when no temporary file can be made beside it.
  explicit ReplacingFile(const std::string& path);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  FileStream& stream() { return stream_; }
  // Puts the file in place, replacing what was there.
  void Commit();

 private:
  static std::string TempFor(const std::string& path);

  std::string path_, temp_;
  FileStream stream_;
  bool committed_ = false;
};

}  // namespace eitool
