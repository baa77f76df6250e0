#include "platform/error.h"

namespace dorvane {

std::string QuotedValue(std::string_view value) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    // A character starts at every byte that is not a UTF-8 continuation byte.
    if ((static_cast<unsigned char>(value[i]) & 0xC0) == 0x80) continue;
    if (characters == kMostQuotedCharacters) return std::string(value.substr(0, i)) + "\u2026";
    ++characters;
  }
  return std::string(value);
}

std::string FormatMessage(std::string_view pattern, std::string_view arg) {
  std::string out(pattern);
  const auto pos = out.find("%s");
  if (pos == std::string::npos) return out;
  const bool quoted =
      pos > 0 && out[pos - 1] == '\'' && pos + 2 < out.size() && out[pos + 2] == '\'';
  out.replace(pos, 2, quoted ? QuotedValue(arg) : std::string(arg));
  return out;
}

std::string ErrorBoxText(std::string_view message) {
  std::string out(message);
  if (!out.empty() && static_cast<unsigned char>(out.back()) > static_cast<unsigned char>('.')) {
    out += '.';
  }
  return out;
}

}  // namespace dorvane
