#include "capture/callstore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "capture/capture_test_util.h"
#include "platform/error.h"

namespace dorvane {
namespace {

using testing::CallLines;
using testing::CommaSettings;
using testing::PointSettings;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

const RegionalSettings kPoint = PointSettings();

// -----------------------------------------------------------------------------------------------
// Recording calls

struct Recording {
  const char* start;
  const char* end;
};

// Calls in July and August 1998, one of July after the August one, and two repeats of a start.
const Recording kCalls[] = {
    {"07-30-1998 20:14:03.25 - Dialing.", "07-30-1998 20:52:41.80 - Recv: NO CARRIER"},
    {"07-31-1998 12:00:00.00 - Send: ATDT5551234", "07-31-1998 18:00:00.00 - Hanging up"},
    {"08-01-1998 06:00:00.00 - Dialing.", "08-01-1998 12:00:00.00 - Hanging up"},
    {"07-31-1998 23:59:00.00 - Dialing.", "08-01-1998 00:01:00.00 - Hanging up"},
    {"07-30-1998 20:14:03.25 - Dialing.", "07-30-1998 21:00:00.00 - Hanging up"},
    // A repeat whose end is no time stamp: the import leaves it out.
    {"07-30-1998 20:14:03.25 - Dialing.", "garbage"},
    {"07-30-1998 00:00:00.00 - Dialing.", "07-30-1998 00:30:00.00 - Hanging up"},
};

const char* const kStoreWithPoint =
    "[1998-7]\r\n"
    "36006=36006.0208333333\r\n"
    "36006.8430905671=36006.8699199074\r\n"
    "36007.5=36007.75\r\n"
    "36007.9993055556=36008.0006944444\r\n"
    "[1998-8]\r\n"
    "36008.25=36008.5\r\n";

const char* const kStoreWithComma =
    "[1998-7]\r\n"
    "36006=36006,0208333333\r\n"
    "36006,8430905671=36006,8699199074\r\n"
    "36007,5=36007,75\r\n"
    "36007,9993055556=36008,0006944444\r\n"
    "[1998-8]\r\n"
    "36008,25=36008,5\r\n";

// The calls as the import hands them to the store: the first call with a start wins, and a call
// whose end does not convert never reaches it.
NewCalls Converted(const Recording* begin, const Recording* end) {
  NewCalls calls;
  for (const Recording* call = begin; call != end; ++call) {
    if (std::string_view(call->end) == "garbage") continue;
    calls.Add(LogLineToDateTime(call->start), LogLineToDateTime(call->end));
  }
  return calls;
}

TEST(CallStore, WritesOneLinePerStartInCalendarOrder) {
  for (const bool comma : {false, true}) {
    SCOPED_TRACE(comma ? "comma" : "point");
    TempDir dir;
    const RegionalSettings rs = comma ? CommaSettings() : PointSettings();
    CallStore store(dir.File("dorvane.DB"), rs);
    const MergeOutcome outcome = store.Merge(Converted(std::begin(kCalls), std::end(kCalls)));
    EXPECT_EQ(outcome.added, 5u);
    EXPECT_EQ(outcome.known, 1u);
    EXPECT_EQ(ReadBytes(store.Path()), comma ? kStoreWithComma : kStoreWithPoint);

    NewCalls asked;
    asked.Add(LogLineToDateTime("07-31-1998 23:59:00.00"), 0);
    asked.Add(LogLineToDateTime("08-01-1998 23:59:00.00"), 0);
    asked.Add(LogLineToDateTime("07-30-1998 20:14:03.26"), 0);
    EXPECT_EQ(StoreHolds(store.Path(), rs, asked), (std::vector<bool>{true, false, false}));
  }
}

TEST(CallStore, AddsToAStoreWrittenBeforeAndLeavesItsOtherBytesAlone) {
  TempDir dir;
  const std::string path = dir.File("dorvane.DB");
  // An older store: blank lines, and a last line without its line end.
  WriteBytes(path, "[1998-7]\r\n36006.5=36006.6\r\n\r\n[1998-8]\r\n36008.25=36008.5");
  CallStore store(path, kPoint);
  const Recording calls[] = {{"07-31-1998 12:00:00.00", "07-31-1998 18:00:00.00"},
                             {"08-02-1998 00:00:00.00", "08-02-1998 12:00:00.00"},
                             {"09-01-1998 00:00:00.00", "09-01-1998 12:00:00.00"}};
  store.Merge(Converted(std::begin(calls), std::end(calls)));
  EXPECT_EQ(ReadBytes(path),
            "[1998-7]\r\n36006.5=36006.6\r\n36007.5=36007.75\r\n\r\n[1998-8]\r\n36008.25=36008.5"
            "\r\n36009=36009.5\r\n[1998-9]\r\n36039=36039.5\r\n");
}

TEST(CallStore, AStartWithAnEmptyEndIsNotRecordedYet) {
  TempDir dir;
  const std::string path = dir.File("dorvane.DB");
  WriteBytes(path, "[1998-7]\r\n36006=\r\n");
  CallStore store(path, kPoint);
  const Recording call[] = {{"07-30-1998 00:00:00.00", "07-30-1998 12:00:00.00"}};
  const NewCalls calls = Converted(std::begin(call), std::end(call));
  EXPECT_EQ(StoreHolds(path, kPoint, calls), std::vector<bool>{false});
  store.Merge(calls);
  EXPECT_EQ(ReadBytes(path), "[1998-7]\r\n36006=36006.5\r\n");
}

TEST(CallStore, AStoreThatCannotBeWrittenIsReported) {
  TempDir dir;
  const std::string unwritable = dir.File("missing/dorvane.DB");
  CallStore lost(unwritable, kPoint);
  const Recording call[] = {{"07-30-1998 00:00:00.00", "07-30-1998 12:00:00.00"}};
  try {
    lost.Merge(Converted(std::begin(call), std::end(call)));
    ADD_FAILURE() << "no error";
  } catch (const WriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + unwritable);
  }
}

// -----------------------------------------------------------------------------------------------
// Report period

struct PeriodResult {
  std::vector<TDateTime> starts;
  std::vector<TDateTime> stops;
  std::string error;
};

PeriodResult RunInitReportPeriod(const std::optional<std::string>& storeText,
                                 const RegionalSettings& rs) {
  testing::MemoryFileSystem fs;
  if (storeText) fs.Put("/p/dorvane.DB", *storeText);
  PeriodResult result;
  try {
    InitReportPeriod(
        fs, "/p/dorvane.DB", rs, [&](TDateTime v) { result.starts.push_back(v); },
        [&](TDateTime v) { result.stops.push_back(v); });
  } catch (const Error& e) {
    result.error = e.what();
  }
  return result;
}

TEST(InitReportPeriod, SetsTheDatesOfTheFirstAndLastCallLines) {
  using V = std::vector<TDateTime>;
  struct Case {
    const char* name;
    std::optional<std::string> store;
    bool comma;
    V starts;
    V stops;
    const char* error;
  } cases[] = {
      {"missing store", std::nullopt, false, {}, {}, ""},
      {"empty store", "", false, {}, {}, ""},
      {"sections without calls", "[1998-7]\r\n\r\n[1998-8]\r\n", false, {}, {}, ""},
      {"july then august",
       "[1998-7]\r\n36006.8430905671=36006.8699199074\r\n36010.5=36010.6\r\n"
       "[1998-8]\r\n36008.25=36008.5\r\n36030.75=36030.8\r\n",
       false,
       {36006.8430905671},
       {36030.75},
       ""},
      {"one call", "[1998-7]\r\n36006=36006.5\r\n", false, {36006}, {36006}, ""},
      {"comma settings",
       "[1998-7]\r\n36006,25=36006,5\r\n36007,5=1\r\n",
       true,
       {36006.25},
       {36007.5},
       ""},
      {"bad line after the first",
       "[1998-7]\r\n36006.5=36006.6\r\nabc=36007\r\n36007.5=36007.6\r\n",
       false,
       {36006.5},
       {},
       "Line 3 of /p/dorvane.DB: 'abc' is not a valid floating point value"},
      {"a number without an end",
       "[1998-7]\r\n36006.5=36006.6\r\n36007.5\r\n36008.5=36008.6\r\n",
       false,
       {36006.5},
       {},
       "Line 3 of /p/dorvane.DB: '36007.5' is no call line (no \"=\")"},
      {"bad first line",
       "[1998-7]\r\n=36006.6\r\n",
       false,
       {},
       {},
       "Line 2 of /p/dorvane.DB: '' is not a valid floating point value"},
      {"a start beyond every date",
       "[1998-7]\r\n1e308=1\r\n",
       false,
       {},
       {},
       "Line 2 of /p/dorvane.DB: '1e308' is not a valid date and time"},
      {"a byte-order mark",
       "\xEF\xBB\xBF[1998-7]\r\n36006=1\r\n",
       false,
       {},
       {},
       "Line 1 of /p/dorvane.DB: a byte-order mark before '[1998-7]'"},
      {"a NUL byte",
       std::string("[1998-7]\r\n36006.5=1\r\n3600\0"
                   "7=1\r\n",
                   31),
       false,
       {36006.5},
       {},
       "Line 3 of /p/dorvane.DB: '3600\\x007' is not a valid floating point value"},
      // A store number has no thousands separator: either mark is the decimal separator.
      {"written with a point, read with a comma",
       "[1998-7]\r\n36006.5=36006.6\r\n",
       true,
       {36006.5},
       {36006.5},
       ""},
      {"mixed by two notations",
       "[1998-7]\r\n36006,5=36006,6\r\n36007.5=36007.6\r\n",
       false,
       {36006.5},
       {36007.5},
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PeriodResult r =
        RunInitReportPeriod(c.store, c.comma ? CommaSettings() : PointSettings());
    EXPECT_EQ(r.starts, c.starts);
    EXPECT_EQ(r.stops, c.stops);
    EXPECT_EQ(r.error, c.error);
  }
}

}  // namespace
}  // namespace dorvane

namespace dorvane {
namespace {

// "Delete All Modem Calls" waits for a merge under way: the calls it writes are deleted too,
// never put back after the deletion.
TEST(DeleteAllCalls, WaitsForTheWriterThatHoldsTheStore) {
  testing::TempDir dir;
  const std::string path = dir.File("dorvane.DB");
  testing::WriteBytes(path, "[1998-7]\r\n36006=36006.5\r\n");
  RealFileSystem files(dir.Path(), {path});
  std::promise<void> locked;
  std::thread writer([&] {
    FileLock lock(path);
    locked.set_value();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    testing::WriteBytes(path, "[1998-7]\r\n36006=36006.5\r\n36007=36007.5\r\n");
  });
  locked.get_future().wait();
  DeleteAllCalls(files, path);
  writer.join();
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace dorvane
