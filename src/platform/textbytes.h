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

}  // namespace dorvane
