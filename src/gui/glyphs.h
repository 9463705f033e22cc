// The six 16 x 16 tool-button pictures, drawn by the program itself:
// 0 stacked documents (Add), 1 diskette (Save list), 2 arrow left with a
// minus bar (Remove), 3 circular arrows (Process), 4 arrow right (Exit),
// 5 crossed circle (Clear all).
#pragma once

#include <QList>
#include <QPixmap>

namespace eitool::gui {

inline constexpr int kGlyphCount = 6;

// In colour, or greyed as for a disabled button.
QList<QPixmap> MakeGlyphs(bool greyed);

}  // namespace eitool::gui
