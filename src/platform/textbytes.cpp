#include "platform/textbytes.h"

namespace dorvane {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at `i`, and its code point; 0 when it is not valid
// (overlong forms, surrogates and code points above U+10FFFF are not).
std::size_t ValidSequence(std::string_view s, std::size_t i, char32_t& cp) {
  const auto c0 = static_cast<unsigned char>(s[i]);
  std::size_t length = 0;
  char32_t min = 0;
  if (c0 < 0x80) {
    cp = c0;
    return 1;
  } else if ((c0 & 0xE0) == 0xC0) {
    length = 2;
    cp = c0 & 0x1F;
    min = 0x80;
  } else if ((c0 & 0xF0) == 0xE0) {
    length = 3;
    cp = c0 & 0x0F;
    min = 0x800;
  } else if ((c0 & 0xF8) == 0xF0) {
    length = 4;
    cp = c0 & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > s.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if (!IsContinuation(c)) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::u16string BytesToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const std::size_t length = ValidSequence(bytes, i, cp);
    if (length == 0) {
      out += static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[i]));
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += length;
  }
  return out;
}

void Utf16Decoder::Lone(char16_t unit, std::string& out) const {
  if (escapedBytes_ && unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
    out += static_cast<char>(unit - kEscapeBase);
  } else {
    AppendUtf8(out, 0xFFFD);
  }
}

void Utf16Decoder::Unit(char16_t unit, std::string& out) {
  const bool high = unit >= 0xD800 && unit <= 0xDBFF;
  const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
  if (high_ != 0) {
    if (low) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(high_) - 0xD800) << 10) + (unit - 0xDC00));
      high_ = 0;
      return;
    }
    Lone(high_, out);
    high_ = 0;
  }
  if (high) {
    high_ = unit;
  } else if (low) {
    Lone(unit, out);
  } else {
    AppendUtf8(out, unit);
  }
}

std::string Utf16ToBytes(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  Utf16Decoder decoder(true);
  for (const char16_t unit : text) decoder.Unit(unit, out);
  if (decoder.Waiting()) AppendUtf8(out, 0xFFFD);
  return out;
}

}  // namespace dorvane
