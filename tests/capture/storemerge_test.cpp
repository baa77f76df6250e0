#include "capture/storemerge.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "capture/callstore.h"
#include "capture/capture_test_util.h"
#include "platform/error.h"

namespace dorvane {
namespace {

using testing::PointSettings;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// Calls by the driver's time stamps of their start and end.
using Stamps = std::vector<std::pair<const char*, const char*>>;

NewCalls Calls(const Stamps& stamps) {
  NewCalls calls;
  for (const auto& [start, end] : stamps)
    calls.Add(LogLineToDateTime(start), LogLineToDateTime(end));
  return calls;
}

// 36006, 36007, 36008 and 36039, each call twelve hours long.
constexpr std::pair<const char*, const char*> kJul30 = {"07-30-1998 00:00:00.00",
                                                        "07-30-1998 12:00:00.00"};
constexpr std::pair<const char*, const char*> kJul31 = {"07-31-1998 00:00:00.00",
                                                        "07-31-1998 12:00:00.00"};
constexpr std::pair<const char*, const char*> kAug1 = {"08-01-1998 00:00:00.00",
                                                       "08-01-1998 12:00:00.00"};
constexpr std::pair<const char*, const char*> kSep1 = {"09-01-1998 00:00:00.00",
                                                       "09-01-1998 12:00:00.00"};

TEST(MergeCalls, AddsWhatTheStoreLacksAndKeepsEveryOtherByte) {
  struct Case {
    const char* name;
    std::optional<std::string> before;
    Stamps calls;
    std::string after;
    std::size_t added;
  } cases[] = {
      {"no store yet: months and calls in calendar order, whatever order they came in",
       std::nullopt,
       {kAug1, kJul31, kJul30},
       "[1998-7]\r\n36006=36006.5\r\n36007=36007.5\r\n[1998-8]\r\n36008=36008.5\r\n",
       3},
      {"an older month goes before the later ones, a call to its place in its month",
       "; kept\r\n[1998-7]\r\n36006=36006.25\r\n36007.5=36007.75\r\n[1998-9]\r\n36039=36039.5\r\n",
       {kSep1, kAug1, kJul31},
       "; kept\r\n[1998-7]\r\n36006=36006.25\r\n36007=36007.5\r\n36007.5=36007.75\r\n"
       "[1998-8]\r\n36008=36008.5\r\n[1998-9]\r\n36039=36039.5\r\n",
       2},
      {"a store out of order is put in order by the next write, each start once",
       "[1998-9]\r\n36039=36039.5\r\n[1998-7]\r\n36007=36007.5\r\n36006=36006.25\r\n"
       "[1998-7]\r\n36006=36006.75\r\n",
       {kAug1},
       "[1998-7]\r\n36006=36006.25\r\n36007=36007.5\r\n[1998-8]\r\n36008=36008.5\r\n"
       "[1998-9]\r\n36039=36039.5\r\n",
       1},
      {"a start stored in the other notation is held; the mixed store is written in one",
       "[1998-7]\r\n36006,25=36006,5\r\n36007=36007,5\r\n",
       {{"07-30-1998 06:00:00.00", "07-30-1998 18:00:00.00"}, kAug1},
       "[1998-7]\r\n36006.25=36006.5\r\n36007=36007.5\r\n[1998-8]\r\n36008=36008.5\r\n",
       1},
      {"the first call with a start wins",
       std::nullopt,
       {kJul30, {"07-30-1998 00:00:00.00", "07-30-1998 18:00:00.00"}},
       "[1998-7]\r\n36006=36006.5\r\n",
       1},
      {"an older store: blank lines, no final line end",
       "[1998-7]\r\n36006.5=36006.6\r\n\r\n[1998-8]\r\n36008.25=36008.5",
       {kJul31, kAug1, kSep1},
       "[1998-7]\r\n36006.5=36006.6\r\n36007=36007.5\r\n\r\n[1998-8]\r\n36008=36008.5\r\n"
       "36008.25=36008.5\r\n[1998-9]\r\n36039=36039.5\r\n",
       3},
      {"a call held keeps its end",
       "[1998-7]\r36006=36006.25\n",
       {kJul30, kJul31},
       "[1998-7]\r36006=36006.25\n36007=36007.5\r\n",
       1},
      {"a key without an end takes the new one",
       "[1998-7]\r\n 36006 = \r\n36007\r\n36008=\"\"\r\n36039=x",
       {kJul30, kJul31},
       "[1998-7]\r\n36006=36006.5\r\n36007=36007.5\r\n36008=\"\"\r\n36039=x",
       2},
      {"a month found twice holds the calls of both sections",
       "[1998-7]\r\n36007=36007.25\r\n[1998-8]\r\n[1998-7]\r\n36006=36006.25\r\n",
       {kJul30},
       "[1998-7]\r\n36007=36007.25\r\n[1998-8]\r\n[1998-7]\r\n36006=36006.25\r\n",
       0},
      {"mark, blank and comment lines after the last call stay",
       "\xEF\xBB\xBF[1998-7]\r\n\r\n36006=36006.25\r\n; note\n\r\n[1998-8]\r\n",
       {kJul31},
       "\xEF\xBB\xBF[1998-7]\r\n\r\n36006=36006.25\r\n36007=36007.5\r\n; note\n\r\n[1998-8]\r\n",
       1},
      {"section names are trimmed; a key written otherwise is another key",
       " [ 1998-7 ] \r\n36006.0=36006.25\r\n",
       {kJul30},
       " [ 1998-7 ] \r\n36006.0=36006.25\r\n36006=36006.5\r\n",
       1},
      {"a comment as the last line, without its line end",
       "[1998-7]\r\n; end",
       {kJul30, kAug1},
       "[1998-7]\r\n36006=36006.5\r\n; end\r\n[1998-8]\r\n36008=36008.5\r\n",
       2},
      {"nothing new", "[1998-7]\r\n36006=36006.25", {kJul30}, "[1998-7]\r\n36006=36006.25", 0},
  };
  const RegionalSettings rs = PointSettings();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("dorvane.DB");
    if (c.before) WriteBytes(path, *c.before);
    struct stat st {};
    const ino_t inode = ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
    const NewCalls calls = Calls(c.calls);
    const MergeOutcome outcome = MergeCalls(path, rs, calls);
    EXPECT_EQ(ReadBytes(path), c.after);
    EXPECT_EQ(outcome.added, c.added);
    EXPECT_EQ(outcome.known, calls.Size() - c.added);
    // A store that gains nothing is not even rewritten.
    if (c.added == 0) {
      EXPECT_EQ(::stat(path.c_str(), &st) == 0 ? st.st_ino : 0, inode);
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
      EXPECT_NE(entry.path().extension(), ".tmp") << "a temporary was left";
    }
  }
}

TEST(MergeCalls, AStoreThatCannotBeReadOrWrittenStaysAsItWas) {
  TempDir dir;
  const RegionalSettings rs = PointSettings();
  const NewCalls calls = Calls({kJul30});
  std::filesystem::create_directory(dir.File("folder.DB"));
  for (const std::string& path : {dir.File("missing/dorvane.DB"), dir.File("folder.DB")}) {
    SCOPED_TRACE(path);
    try {
      MergeCalls(path, rs, calls);
      ADD_FAILURE() << "no error";
    } catch (const WriteError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.DB")));
  EXPECT_EQ(MergeCalls(dir.File("none.DB"), rs, NewCalls()).added, 0u);
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.DB")));
}

TEST(NewCalls, TellsStartsByTheirTextInTheirMonth) {
  const TDateTime jul30 = LogLineToDateTime(kJul30.first);
  NewCalls calls;
  calls.Add(jul30, jul30 + 0.5);
  calls.Add(jul30 + 1e-12, jul30 + 0.75);  // the same text: the same call
  calls.Add(LogLineToDateTime(kAug1.first), 0);
  EXPECT_TRUE(calls.HasStart(jul30 + 1e-12, 1));
  EXPECT_FALSE(calls.HasStart(jul30, 0));
  EXPECT_FALSE(calls.HasStart(LogLineToDateTime(kJul31.first), 3));

  TempDir dir;
  const std::string path = dir.File("dorvane.DB");
  WriteBytes(path, "[1998-8]\r\n36008=36008.5\r\n[1998-7]\r\n36006=\r\n");
  EXPECT_EQ(StoreHolds(path, PointSettings(), calls), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(MergeCalls(path, PointSettings(), calls).added, 1u);
  EXPECT_EQ(ReadBytes(path), "[1998-7]\r\n36006=36006.5\r\n[1998-8]\r\n36008=36008.5\r\n");
}

}  // namespace
}  // namespace dorvane
