#include "gui/rtf_writer.h"

#include <QStringList>

namespace eitool::gui {
namespace {

// Code page 1252 bytes 0x80..0x9F; 0 where the code page has no character.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The code page 1252 byte of `unit`, or -1.
int Cp1252Byte(char16_t unit) {
  if (unit >= 0xA0 && unit <= 0xFF) return unit;
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] != 0 && kCp1252High[i] == unit) return 0x80 + i;
  return -1;
}

}  // namespace

QByteArray PlainTextToRtf(const QString& text) {
  QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss MS Sans Serif;}}"
                   "\\f0\\fs16 ";
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (const QString& line : lines) {
    for (QChar c : line) {
      const char16_t unit = c.unicode();
      if (unit == '\\' || unit == '{' || unit == '}') {
        rtf += '\\';
        rtf += static_cast<char>(unit);
      } else if (unit == '\r') {
        continue;
      } else if (unit == '\t') {
        rtf += "\\tab ";
      } else if (unit < 0x80) {
        rtf += static_cast<char>(unit);
      } else if (int byte = Cp1252Byte(unit); byte >= 0) {
        rtf += QByteArray("\\'") + QByteArray::number(byte, 16).rightJustified(2, '0');
      } else {
        rtf += "\\u" + QByteArray::number(static_cast<qint16>(unit)) + "?";
      }
    }
    rtf += "\\par\r\n";
  }
  rtf += "}\r\n";
  return rtf;
}

}  // namespace eitool::gui
