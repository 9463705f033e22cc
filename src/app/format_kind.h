// Resource kinds and the two tables that tie the Add dialog's file types
// (filter index 1..6) to kinds and to the tags of the work log.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace eitool {

using TFormatKind = std::uint8_t;  // 0: no kind yet

inline constexpr TFormatKind fkLog = 1;
inline constexpr TFormatKind fkTRC = 2;
inline constexpr TFormatKind fkGFT = 3;
inline constexpr TFormatKind fkTXF = 4;
inline constexpr TFormatKind fkLIB = 5;
inline constexpr TFormatKind fkList = 6;
inline constexpr TFormatKind fkNone = 7;

inline constexpr int kFilterCount = 6;

// Entry f - 1 belongs to filter index f.
extern const std::array<TFormatKind, kFilterCount> KindByFilter;
extern const std::array<std::string_view, kFilterCount> FormatTags;

// The kind of a work log tag: exact, case-sensitive match against the
// non-empty FormatTags, fkNone for anything else.
TFormatKind KindOfTag(std::string_view tag);

// The filter index (1..6) whose kind is `kind`, or 0 when there is none.
int FilterOfKind(TFormatKind kind);

// True for the four resource kinds, which have extraction handlers.
inline bool IsResourceKind(TFormatKind kind) { return kind >= fkTRC && kind <= fkLIB; }

}  // namespace eitool
