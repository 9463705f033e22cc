#include "platform/file_stream.h"

namespace eitool {

BufferedWriter::BufferedWriter(FileStream& out, std::uint64_t position, std::size_t capacity)
    : out_(out), position_(position), capacity_(capacity) {
  buffer_.reserve(capacity_);
}

void BufferedWriter::Append(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > capacity_) Flush();
  if (bytes.size() >= capacity_) {
    out_.Seek(position_ + flushed_);
    out_.Write(bytes.data(), bytes.size());
    flushed_ += bytes.size();
    return;
  }
  buffer_.append(bytes);
}

void BufferedWriter::AppendZeros(std::uint64_t count) {
  while (count > 0) {
    if (buffer_.size() == capacity_) Flush();
    std::size_t now = static_cast<std::size_t>(
        std::min<std::uint64_t>(count, capacity_ - buffer_.size()));
    buffer_.append(now, '\0');
    count -= now;
  }
}

void BufferedWriter::Flush() {
  if (buffer_.empty()) return;
  out_.Seek(position_ + flushed_);
  out_.Write(buffer_.data(), buffer_.size());
  flushed_ += buffer_.size();
  buffer_.clear();
}

}  // namespace eitool
