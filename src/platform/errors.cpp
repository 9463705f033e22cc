#include "platform/errors.h"

#include <cstring>

namespace eitool {
namespace {

std::string WithReason(std::string text, const std::string& reason) {
  if (!reason.empty()) text += " (" + reason + ")";
  return text;
}

}  // namespace

EFOpenError::EFOpenError(const std::string& path, const std::string& reason)
    : Error(WithReason("Cannot open file " + path, reason)) {}

EFCreateError::EFCreateError(const std::string& path, const std::string& reason)
    : Error(WithReason("Cannot create file " + path, reason)) {}

EReadError::EReadError(const std::string& reason)
    : Error(WithReason("Stream read error", reason)) {}

EWriteError::EWriteError(const std::string& reason)
    : Error(WithReason("Stream write error", reason)) {}

EListError::EListError(std::int64_t index)
    : Error("List index out of bounds (" + std::to_string(index) + ")") {}

std::string SystemReason(int error_number) { return std::strerror(error_number); }

}  // namespace eitool
