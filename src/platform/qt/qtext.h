// The core's byte strings in the windows and back, without loss (see platform/textbytes.h).
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/textbytes.h"

namespace dorvane {

inline QString ToQString(std::string_view bytes) {
  const std::u16string text = BytesToUtf16(bytes);
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline std::string FromQString(const QString& text) {
  return Utf16ToBytes(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                          static_cast<std::size_t>(text.size())));
}

}  // namespace dorvane
