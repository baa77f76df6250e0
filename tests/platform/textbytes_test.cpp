#include "platform/textbytes.h"

#include <gtest/gtest.h>

#include <string>

namespace dorvane {
namespace {

// Every byte string comes back as it went: valid UTF-8 as its characters, anything else byte for
// byte.
TEST(TextBytes, AnyBytesRoundTripAndValidUtf8ReadsAsItsCharacters) {
  struct Case {
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {"0,3", u"0,3"},
      {"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\x9E", u"\u00E9t\u00E9 \u20AC \U0001F4DE"},
      {"Mo\xE9", u"Mo\xDCE9"},                            // Latin-1
      {"\xC3", u"\xDCC3"},                                // cut short
      {"\xC0\xAF", u"\xDCC0\xDCAF"},                      // overlong "/"
      {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},            // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},  // above U+10FFFF
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(BytesToUtf16(c.bytes), c.text);
    EXPECT_EQ(Utf16ToBytes(c.text), c.bytes);
  }
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf16ToBytes(BytesToUtf16(all + all)), all + all);
  // A lone surrogate no byte string gives is written as the replacement character.
  EXPECT_EQ(Utf16ToBytes(u"\xD800x\xDC41"), "\xEF\xBF\xBDx\xEF\xBF\xBD");
}

}  // namespace
}  // namespace dorvane
