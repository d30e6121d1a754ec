// The crossing between the core's Windows-1252 byte strings and QString.
// Every text that goes from the core into a widget, or back, passes here.
#pragma once
#include <QString>
#include <string>

#include "basis/text1252.h"

namespace kvui {

inline QString Q(const std::string& win1252) {
  return QString::fromStdString(kv::Utf8(win1252));
}
// A UTF-8 literal of this program's own source.
inline QString QU(const char* utf8) { return QString::fromUtf8(utf8); }
// A report row for the screen or the printer.  The reports underline with
// byte 0xAD, which Windows fonts draw as a dash; Unicode treats it as a soft
// hyphen and draws nothing, so it is shown as "-".
inline QString Berichtstext(const std::string& win1252) {
  return Q(win1252).replace(QChar(0x00AD), QLatin1Char('-'));
}
inline std::string W1252(const QString& text) { return kv::W(text.toStdString()); }

}  // namespace kvui
