#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/errors.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"

namespace eitool {
namespace {

constexpr std::size_t kCopyChunk = 1 << 20;
constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

// A folder is never a file here, and a file without any write bit counts as
// read-only even for a user whom the system would let write it (root), as
// the read-only mark does on other systems.
std::string WhyUnusable(const struct stat& info, bool for_writing) {
  if (S_ISDIR(info.st_mode)) return "is a folder";
  if (for_writing && (info.st_mode & kAnyWriteBit) == 0) return "file is read-only";
  return "";
}

}  // namespace

void CheckReplaceable(const std::string& path) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return;
  std::string why = WhyUnusable(info, true);
  if (!why.empty()) throw EFCreateError(path, why);
}

FileStream::FileStream(const std::string& path, Mode mode, const std::string& shown)
    : path_(path) {
  const bool create = mode == Mode::kCreate;
  const std::string& name = shown.empty() ? path : shown;
  auto fail = [&](const std::string& reason) -> void {
    if (create) throw EFCreateError(name, reason);
    throw EFOpenError(name, reason);
  };
  if (path.empty()) fail("empty path");

  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::kOpenRead: flags |= O_RDONLY; break;
    case Mode::kOpenReadWrite: flags |= O_RDWR; break;
    // Emptied only after the checks below, so that a protected file is
    // left intact.
    case Mode::kCreate: flags |= O_RDWR | O_CREAT; break;
  }
  fd_ = ::open(path.c_str(), flags, 0666);
  if (fd_ < 0) fail(SystemReason(errno));
  struct stat info {};
  std::string why = ::fstat(fd_, &info) != 0 ? SystemReason(errno)
                                             : WhyUnusable(info, mode != Mode::kOpenRead);
  if (why.empty() && create && info.st_size != 0 && ::ftruncate(fd_, 0) != 0)
    why = SystemReason(errno);
  if (!why.empty()) {
    ::close(fd_);
    fail(why);
  }
}

FileStream::~FileStream() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t FileStream::ReadSome(void* buffer, std::size_t count) {
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    ssize_t got = ::pread(fd_, out + done, count - done, static_cast<off_t>(position_));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EReadError(SystemReason(errno));
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
    position_ += static_cast<std::uint64_t>(got);
  }
  return done;
}

void FileStream::Read(void* buffer, std::size_t count) {
  if (ReadSome(buffer, count) != count) throw EReadError();
}

std::uint32_t FileStream::ReadU32() {
  unsigned char bytes[4];
  Read(bytes, 4);
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void FileStream::Write(const void* buffer, std::size_t count) {
  const auto* in = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    ssize_t put = ::pwrite(fd_, in + done, count - done, static_cast<off_t>(position_));
    if (put < 0) {
      if (errno == EINTR) continue;
      throw EWriteError(SystemReason(errno));
    }
    if (put == 0) throw EWriteError();
    done += static_cast<std::size_t>(put);
    position_ += static_cast<std::uint64_t>(put);
  }
}

void FileStream::WriteU32(std::uint32_t value) {
  unsigned char bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
  Write(bytes, 4);
}

std::uint64_t FileStream::Size() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) throw EReadError(SystemReason(errno));
  return static_cast<std::uint64_t>(info.st_size);
}

void FileStream::Truncate(std::uint64_t size) {
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) throw EWriteError(SystemReason(errno));
}

void FileStream::CopyFrom(FileStream& source, std::uint64_t count) {
  // One buffer per thread, reused: a library of many small entries would
  // otherwise allocate and fault in a fresh megabyte per entry.
  thread_local std::unique_ptr<char[]> buffer(new char[kCopyChunk]);
  while (count > 0) {
    std::size_t chunk = count < kCopyChunk ? static_cast<std::size_t>(count) : kCopyChunk;
    source.Read(buffer.get(), chunk);
    Write(buffer.get(), chunk);
    count -= chunk;
  }
}

FileIdentity FileStream::Identity() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) throw EReadError(SystemReason(errno));
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace eitool
