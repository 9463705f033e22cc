// Writes plain text as an RTF document that word processors open: one
// paragraph per line; "\", "{" and "}" escaped; characters of Windows code
// page 1252 above 127 as \'hh, others as \uN? (UTF-16 units).
#pragma once

#include <QString>
#include <QByteArray>

namespace eitool::gui {

QByteArray PlainTextToRtf(const QString& text);

}  // namespace eitool::gui
