#include "platform/replacing_file.h"

#include "platform/file_system.h"

namespace eitool {

ReplacingFile::ReplacingFile(const std::string& path)
    : path_(path), temp_(TempFor(path)), stream_(temp_, FileStream::Mode::kCreate) {}

ReplacingFile::~ReplacingFile() {
  if (!committed_) RemoveFileQuietly(temp_);
}

void ReplacingFile::Commit() {
  RenameFile(temp_, path_);
  committed_ = true;
}

std::string ReplacingFile::TempFor(const std::string& path) {
  CheckReplaceable(path);  // a protected file is refused, not replaced
  return CreateTempFileNear(path);
}

}  // namespace eitool
