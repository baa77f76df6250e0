#include "platform/error.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/regional.h"

namespace dorvane {
namespace {

TEST(ErrorBoxText, AddsFullStopOnlyAfterCharactersAboveIt) {
  struct Case {
    const char* message;
    const char* shown;
  } cases[] = {
      {"Unable to write to /x/dorvane.DB", "Unable to write to /x/dorvane.DB."},
      {"'abc' is not a valid time", "'abc' is not a valid time."},
      {"Done.", "Done."},
      {"Stop!", "Stop!"},
      {"(see above)", "(see above)"},
      {"Value 12", "Value 12."},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorBoxText(c.message), c.shown) << c.message;
}

// A value quoted in a message is cut to a readable length; the message stays the same message.
TEST(FormatMessage, CutsQuotedValuesNotPaths) {
  const std::string sixty(60, '7');
  const std::string accents = [] {
    std::string s;
    for (int i = 0; i < 70; ++i) s += "\xC3\xA9";
    return s;
  }();
  struct Case {
    std::string pattern;
    std::string arg;
    std::string message;
  } cases[] = {
      {"'%s' is not a valid time", "abc", "'abc' is not a valid time"},
      {"'%s' is not a valid time", sixty, "'" + sixty + "' is not a valid time"},
      {"'%s' is not a valid time", sixty + "8", "'" + sixty + "\u2026' is not a valid time"},
      {"'%s' is not a valid floating point value", std::string(1 << 20, 'x'),
       "'" + std::string(60, 'x') + "\u2026' is not a valid floating point value"},
      {"Failed to set data for '%s'", accents,
       "Failed to set data for '" + accents.substr(0, 120) + "\u2026'"},
      {"Unable to write to %s", "/" + std::string(200, 'd') + "/dorvane.INI",
       "Unable to write to /" + std::string(200, 'd') + "/dorvane.INI"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatMessage(c.pattern, c.arg), c.message) << c.pattern;
  // The conversions raise their messages through it.
  try {
    StrToFloat(RegionalSettings(), std::string(1 << 20, '1') + "x");
    ADD_FAILURE() << "converted";
  } catch (const ConvertError& e) {
    EXPECT_EQ(std::string(e.what()),
              "'" + std::string(60, '1') + "\u2026' is not a valid floating point value");
  }
}

}  // namespace
}  // namespace dorvane
