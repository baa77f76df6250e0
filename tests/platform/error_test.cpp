#include "platform/error.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace dorvane
