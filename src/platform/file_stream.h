// A file stream with the operations the handlers use: sequential and
// positioned reads and writes, size, truncate, and copying a counted range
// from another stream. Every failure raises one of the errors of errors.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace eitool {

// Identifies a file on its device, so that two paths can be recognised as
// the same file (links, "." and ".." in paths).
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

class FileStream {
 public:
  enum class Mode {
    kOpenRead,       // existing file, read only
    kOpenReadWrite,  // existing file, read and write
    kCreate,         // created, or emptied when it exists; read and write
  };

  // Opens `path`. Raises EFOpenError (EFCreateError for kCreate) when the
  // file cannot be opened, is a folder, or, for the writing modes, is
  // marked read-only (has no write permission bit), whoever runs the tool.
  // The error names the file as `shown` when that is given (the name as
  // the user wrote it), otherwise as `path`.
  FileStream(const std::string& path, Mode mode, const std::string& shown = "");
  ~FileStream();
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  const std::string& path() const { return path_; }

  // Reads exactly `count` bytes at the position and advances it; raises
  // EReadError when fewer are there.
  void Read(void* buffer, std::size_t count);
  // Reads up to `count` bytes; returns how many were read (0 at the end).
  std::size_t ReadSome(void* buffer, std::size_t count);
  std::uint32_t ReadU32();

  // Writes all of `count` bytes at the position and advances it; raises
  // EWriteError otherwise.
  void Write(const void* buffer, std::size_t count);
  void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
  void WriteU32(std::uint32_t value);

  void Seek(std::uint64_t position) { position_ = position; }
  void Skip(std::uint64_t count) { position_ += count; }
  std::uint64_t Position() const { return position_; }
  std::uint64_t Size() const;
  // Sets the size of the file (shortens or extends it with zeros).
  void Truncate(std::uint64_t size);

  // Copies `count` bytes from `source`'s position to this stream's position,
  // in chunks, advancing both. Raises EReadError when the source ends first.
  void CopyFrom(FileStream& source, std::uint64_t count);

  FileIdentity Identity() const;

 private:
  std::string path_;
  int fd_ = -1;
  std::uint64_t position_ = 0;
};

// Collects small writes into a buffer and writes them to a stream in large
// pieces from a starting position. Flush() writes what is left; the
// destructor does not (a failed job writes nothing more).
class BufferedWriter {
 public:
  BufferedWriter(FileStream& out, std::uint64_t position, std::size_t capacity = 1 << 20);
  void Append(std::string_view bytes);
  void AppendZeros(std::uint64_t count);
  void Flush();
  // Bytes appended so far.
  std::uint64_t written() const { return flushed_ + buffer_.size(); }

 private:
  FileStream& out_;
  std::uint64_t position_;
  std::uint64_t flushed_ = 0;
  std::size_t capacity_;
  std::string buffer_;
};

}  // namespace eitool
