// The failures that end a run. Each message starts with the text users know
// from the original tool ("Cannot open file ...", "Stream read error", ...);
// the operating system's reason may follow it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace eitool {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Cannot open file <path>", then the reason when one is known.
class EFOpenError : public Error {
 public:
  explicit EFOpenError(const std::string& path, const std::string& reason = "");
};

// "Cannot create file <path>", then the reason when one is known.
class EFCreateError : public Error {
 public:
  explicit EFCreateError(const std::string& path, const std::string& reason = "");
};

// "Stream read error": a read delivered fewer bytes than asked for.
class EReadError : public Error {
 public:
  explicit EReadError(const std::string& reason = "");
};

// "Stream write error": a write or resize did not complete.
class EWriteError : public Error {
 public:
  explicit EWriteError(const std::string& reason = "");
};

// "List index out of bounds (<index>)".
class EListError : public Error {
 public:
  explicit EListError(std::int64_t index);
};

// A file whose content cannot be used, or a request that would damage
// the user's data. The message is a whole sentence naming the file.
class EDataError : public Error {
 public:
  using Error::Error;
};

// The reason text for an errno value.
std::string SystemReason(int error_number);

}  // namespace eitool
