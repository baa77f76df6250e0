// Text between the core's byte strings (UTF-8 as a rule) and the windows' UTF-16, without loss:
// bytes that are not valid UTF-8 (a settings file written in another encoding, a path in
// Latin-1) travel as the lone surrogates U+DC80..U+DCFF and come back as the same bytes, so
// text the user did not change is written back byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace dorvane {

// Valid UTF-8 becomes its UTF-16; every byte of an invalid sequence becomes U+DC00 + the byte.
std::u16string BytesToUtf16(std::string_view bytes);

// The reverse: U+DC80..U+DCFF standing alone become their byte again; other lone surrogates,
// which no byte string gives, become U+FFFD.
std::string Utf16ToBytes(std::u16string_view text);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t cp);

// UTF-16 to UTF-8 one code unit at a time, so a surrogate pair may come in two pieces (a log read
// block by block). A surrogate without its partner becomes U+FFFD; with `escapedBytes`, a lone
// U+DC80..U+DCFF becomes its byte again, as BytesToUtf16 made it.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(bool escapedBytes = false) : escapedBytes_(escapedBytes) {}
  void Unit(char16_t unit, std::string& out);
  // A high surrogate still waits for its partner.
  bool Waiting() const { return high_ != 0; }

 private:
  void Lone(char16_t unit, std::string& out) const;

  bool escapedBytes_;
  char16_t high_ = 0;
};

}  // namespace dorvane
