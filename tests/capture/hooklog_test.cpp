#include "capture/hooklog.h"

#include <gtest/gtest.h>

namespace dorvane {
namespace {

// The hook writes the note that the window reads: what one writes the other takes, and only a
// note whose two numbers each end in LF.
TEST(CallNote, AWrittenNoteReadsBack) {
  const std::string text = CallNoteText({4242, 1765240000}, "12-09-2026 01:46:40.00");
  EXPECT_EQ(text, "4242\n1765240000\n12-09-2026 01:46:40.00\n");
  const std::optional<CallNote> note = ParseCallNote(text);
  ASSERT_TRUE(note);
  EXPECT_EQ(note->pid, 4242);
  EXPECT_EQ(note->dialledAt, 1765240000);
  for (const char* foreign :
       {"4242\r\n1765240000\r\n", "4242\r1765240000\n", "4242\n1765240000\r"}) {
    EXPECT_FALSE(ParseCallNote(foreign)) << foreign;
  }
}

}  // namespace
}  // namespace dorvane
