#include "app/format_kind.h"

namespace eitool {

const std::array<TFormatKind, kFilterCount> KindByFilter = {fkTRC, fkGFT, fkTXF,
                                                            fkLIB, fkList, fkLog};
const std::array<std::string_view, kFilterCount> FormatTags = {"TRC", "GFT", "TXF",
                                                               "LIB", "", ""};

TFormatKind KindOfTag(std::string_view tag) {
  for (int i = 0; i < kFilterCount; ++i)
    if (!FormatTags[i].empty() && FormatTags[i] == tag) return KindByFilter[i];
  return fkNone;
}

int FilterOfKind(TFormatKind kind) {
  for (int i = 0; i < kFilterCount; ++i)
    if (KindByFilter[i] == kind) return i + 1;
  return 0;
}

}  // namespace eitool
