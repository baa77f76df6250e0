#include "reports/reportrun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "support/memoryfiles.h"
#include "support/messages.h"
#include "support/profiles.h"

namespace dorvane {
namespace {

TDateTime At(int y, int m, int d, int h = 0, int n = 0) {
  return EncodeDate(y, m, d) + EncodeTime(h, n, 0, 0);
}

enum class Read { Whole, CannotOpen, FailsAfterFirstBlock };

// Calls of July and August 1998; today is 15 August. The period of the first two August days
// holds one call, which ends on 3 August.
std::string Store(const RegionalSettings& rs) {
  const auto line = [&](TDateTime s, TDateTime e) {
    return FloatToStr(rs, s) + "=" + FloatToStr(rs, e) + "\r\n";
  };
  return "[1998-7]\r\n" + line(At(1998, 7, 30, 12), At(1998, 7, 30, 14)) + "\r\n[1998-8]\r\n" +
         line(At(1998, 8, 2, 23), At(1998, 8, 3, 0, 10)) +
         line(At(1998, 8, 10, 10), At(1998, 8, 10, 10, 10));
}

enum class Kind { Analysis, Logbook };

TEST(ReportRun, StoreAndPeriodChecksFilterAndFailures) {
  const RegionalSettings rs = test::Profile("EN_US");
  const std::string store = Store(rs);
  const std::string today = "8/15/1998  -  8/15/1998";
  const std::string august = "8/2/1998  -  8/3/1998";  // the last call's end, not its start
  struct Case {
    const char* name;
    Kind kind;
    std::optional<std::string> store;
    Read read;
    bool validPeriod;
    const char* error;        // the failure's message, or none
    bool note;                // "Invalid Report Period" shown
    std::string periodLabel;  // empty: no label set
    int count;
    CurrentMonthFigures month;  // analysis only
    std::size_t docLines;       // logbook only
  };
  const Kind A = Kind::Analysis;
  const Kind L = Kind::Logbook;
  const std::optional<std::string> none;
  const char* unreadable = "Unable to read x.DB";
  // clang-format off
  const Case cases[] = {
      // name                          kind store  read                       valid  error   note   period  count month     lines
      {"analysis",                        A, store, Read::Whole,                true, nullptr, false, august,  1, {4.2, 2}, 0},
      {"logbook",                         L, store, Read::Whole,                true, nullptr, false, august,  1, {},      11},
      {"no store",                        A, none,  Read::Whole,                true, nullptr, false, today,   0, {},       0},
      {"no store, no period check",       A, none,  Read::Whole,               false, nullptr, false, today,   0, {},       0},
      {"logbook, no store, no check",     L, none,  Read::Whole,               false, nullptr, false, today,   0, {},       3},
      {"refused period",                  A, store, Read::Whole,               false, nullptr, true,  "",     -1, {},       0},
      {"logbook, refused period",         L, store, Read::Whole,               false, nullptr, true,  "",     -1, {},       3},
      {"unreadable store",                A, store, Read::CannotOpen,           true, unreadable, false, "",  -1, {},       0},
      {"store breaks off",                A, store, Read::FailsAfterFirstBlock, true, unreadable, false, "",  -1, {},       0},
      {"logbook, store breaks off",       L, store, Read::FailsAfterFirstBlock, true, unreadable, false, "",  -1, {},       3},
      {"bad call line",                   A, store + "36010\r\n", Read::Whole, true,
       "Line 7 of x.DB: '36010' is no call line (no \"=\")",                                  false, "",     -1, {},       0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The store alone, read in small blocks; it may be missing, refuse to open or break off.
    testing::MemoryFileSystem files;
    files.lineBlock = 16;
    if (c.store) files.Put("x.DB", *c.store, c.read != Read::CannotOpen);
    if (c.read == Read::FailsAfterFirstBlock) files.failAfterBlocks = 1;
    testing::ScriptedMessages messages;  // takes every box
    FixedClock clock{At(1998, 8, 15, 12)};
    std::map<AnalysisLabel, std::string> labels;
    std::vector<int> progress;
    const ReportInputs run{
        .files = files,
        .messages = messages,
        .clock = clock,
        .regional = rs,
        .storePath = "x.DB",
        .period = c.validPeriod ? ReportPeriod{At(1998, 8, 1), At(1998, 8, 2, 23, 59) + 59 / 86400.}
                                : ReportPeriod{At(1998, 8, 2), At(1998, 8, 1)},
        .charges = {{kCatchAllBandText, "12:00:00 AM - 11:59:59 PM", "0.10", "0.05", "0", "0"}},
        .progress = [&](int p) { progress.push_back(p); },
        .setLabel = [&](AnalysisLabel l, const std::string& t) { labels[l] = t; },
    };
    CurrentMonthFigures month{9.0, 9};  // from an earlier run
    LogbookDocument doc;
    std::vector<PricedCall> priced;
    int count = -1;
    try {
      if (c.kind == Kind::Analysis) {
        if (auto s =
                RunCostsAnalysis(run, month, [&](const PricedCall& p) { priced.push_back(p); }))
          count = s->count;
      } else if (auto t = RunLogbookReport(run, doc)) {
        count = t->count;
      }
      EXPECT_EQ(c.error, nullptr);
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
    EXPECT_EQ(messages.Texts(testing::BoxKind::Note),
              c.note ? std::vector<std::string>{kInvalidReportPeriod} : std::vector<std::string>{});
    EXPECT_EQ(count, c.count);
    if (c.periodLabel.empty()) {
      EXPECT_TRUE(labels.empty());
    } else {
      EXPECT_EQ(labels[AnalysisLabel::Period], c.periodLabel);
      EXPECT_EQ(labels[AnalysisLabel::NumberOfCalls], std::to_string(c.count));
      EXPECT_EQ(progress.back(), 0) << "the bar is back at 0";
    }
    if (c.count == 1) {
      EXPECT_EQ(labels[AnalysisLabel::TotalCost], "$3.60");
    }
    if (c.note) {
      EXPECT_TRUE(progress.empty());
    }
    if (c.kind == Kind::Logbook) {
      EXPECT_EQ(doc.Lines().size(), c.docLines) << doc.PlainText();
      continue;
    }
    EXPECT_NEAR(month.cost, c.month.cost, 1e-9) << "reset first, then this month's calls";
    EXPECT_EQ(month.count, c.month.count);
    if (c.count >= 0) {
      ASSERT_EQ(priced.size(), static_cast<std::size_t>(c.count));
      if (c.count == 1) {
        EXPECT_NEAR(priced[0].start, At(1998, 8, 2, 23), 1e-9);
        EXPECT_NEAR(priced[0].cost, 3.6, 1e-9);
        EXPECT_NEAR(priced[0].lowest, 3.6, 1e-9);
        EXPECT_NEAR(priced[0].highest, 3.6, 1e-9);
      }
    }
  }
}

TEST(ReportRun, CreateReportBuildsThePagesReport) {
  EXPECT_EQ(ReportOfPage(1), PageReport::CostsAnalysis);
  EXPECT_EQ(ReportOfPage(2), PageReport::Logbook);
  for (int tag : {0, 3, 9}) EXPECT_EQ(ReportOfPage(tag), PageReport::None);
}

}  // namespace
}  // namespace dorvane
