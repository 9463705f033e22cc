// Little-endian fields of the game's binary files. The getters check the
// range against the buffer; the putters append or overwrite in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/errors.h"

namespace eitool {

inline std::uint16_t GetU16(std::span<const std::uint8_t> bytes, std::size_t at) {
  if (at > bytes.size() || bytes.size() - at < 2) throw EReadError();
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

inline std::uint32_t GetU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  if (at > bytes.size() || bytes.size() - at < 4) throw EReadError();
  return static_cast<std::uint32_t>(bytes[at]) |
         static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

inline void PutU16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8));
}

inline void PutU32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

// Overwrites four bytes at `at`; requires at + 4 <= bytes.size().
inline void SetU32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
  if (at > bytes.size() || bytes.size() - at < 4) throw EWriteError();
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace eitool
