#include "reports/logbook.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/profiles.h"

namespace dorvane {
namespace {

TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
  return EncodeDate(y, m, d) + EncodeTime(h, n, s, 0);
}

struct Built {
  LogbookDocument doc;
  std::map<AnalysisLabel, std::string> labels;
};

struct Call {
  TDateTime start, end;
  double price;
};

void Build(Built& b, const RegionalSettings& rs, TDateTime now, const std::vector<Call>& calls) {
  PeriodTotals totals = BeginLogbook(b.doc, now);
  for (const Call& c : calls) AddLogbookCall(b.doc, rs, totals, c.start, c.end, c.price);
  FinishLogbook(b.doc, rs, totals, [&](AnalysisLabel l, const std::string& t) { b.labels[l] = t; });
}

TEST(LogbookReport, TitleCallLinesAndSummaryInTheirSizesAndColours) {
  RegionalSettings rs = test::Profile("EN_GB");
  rs.currencySymbol = "$";
  const std::vector<Call> calls = {
      {At(1999, 1, 12, 17, 58, 30), At(1999, 1, 12, 18, 5, 10), 1.50},
      {At(1999, 1, 16), At(1999, 1, 16, 0, 0, 40), 0.25},  // starts at midnight: date alone
  };
  Built b;
  Build(b, rs, At(1999, 3, 1), calls);
  EXPECT_EQ(b.doc.PlainText(),
            "Modem Logbook Report\n"
            "\n"
            "12/01/1999 17:58:30  -  12/01/1999 18:05:10  Time: 00:06:40  Cost: $1.50\n"
            "16/01/1999  -  16/01/1999 00:00:40  Time: 00:00:40  Cost: $0.25\n"
            "\n"
            "Period: 12/01/1999  -  16/01/1999\n"
            "Number of Calls: 2\n"
            "Average Time per Call: 00:03:40\n"
            "Total Time: 00:07:20\n"
            "Average Cost per Call: $0.88\n"
            "Total Cost: $1.75\n");

  const auto& lines = b.doc.Lines();
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0].runs.at(0).points, 12);
  EXPECT_EQ(lines[1].points, 12);
  const std::vector<TextColor> callColours = {TextColor::Black, TextColor::Navy, TextColor::Maroon};
  for (int i : {2, 3}) {
    ASSERT_EQ(lines[i].runs.size(), 3u);
    for (int r = 0; r < 3; ++r) {
      EXPECT_EQ(lines[i].runs[r].points, 8);
      EXPECT_EQ(lines[i].runs[r].color, callColours[r]);
    }
  }
  EXPECT_EQ(lines[4].points, 12) << "the empty line before the summary";
  const std::vector<TextColor> summary = {TextColor::Black, TextColor::Purple, TextColor::Navy,
                                          TextColor::Navy,  TextColor::Maroon, TextColor::Maroon};
  for (int i = 0; i < 6; ++i) {
    ASSERT_EQ(lines[5 + i].runs.size(), 1u);
    EXPECT_EQ(lines[5 + i].runs[0].color, summary[i]);
    EXPECT_EQ(lines[5 + i].runs[0].points, 12);
  }
  EXPECT_EQ(b.labels.at(AnalysisLabel::Period), "12/01/1999  -  16/01/1999");
  EXPECT_EQ(b.labels.at(AnalysisLabel::TotalCost), "$1.75");
  EXPECT_EQ(b.labels.size(), 6u);

  Built again;
  Build(again, rs, At(1999, 3, 1), calls);
  Build(again, rs, At(1999, 3, 1), calls);
  EXPECT_EQ(again.doc.PlainText(), b.doc.PlainText()) << "a second run replaces the first";
}

TEST(LogbookReport, WithoutCallsTheTitleBlockStandsAlone) {
  const RegionalSettings us = test::Profile("EN_US");
  Built b;
  b.labels[AnalysisLabel::TotalCost] = "$9.99";  // from an earlier run
  Build(b, us, At(2026, 12, 8, 10, 0), {});
  EXPECT_EQ(b.doc.PlainText(), "Modem Logbook Report\n\n");
  EXPECT_EQ(b.labels.at(AnalysisLabel::Period), "12/8/2026  -  12/8/2026");
  EXPECT_EQ(b.labels.at(AnalysisLabel::NumberOfCalls), "0");
  EXPECT_EQ(b.labels.at(AnalysisLabel::TotalCost), "$9.99");
  EXPECT_EQ(b.labels.size(), 3u);
}

TEST(LogbookReport, DurationsRoundToTheMillisecondFirst) {
  const RegionalSettings us = test::Profile("EN_US");
  const TDateTime start = At(1999, 1, 12, 8);
  Built b;
  Build(b, us, start,
        {{start, start + 59.9996 / 86400, 0.1}, {start, start + 59.9994 / 86400, 0.1}});
  const auto& lines = b.doc.Lines();
  EXPECT_EQ(lines[2].runs[1].text, "  Time: 00:01:00");
  EXPECT_EQ(lines[3].runs[1].text, "  Time: 00:00:59");

  // An end before its start (a store edited by hand) lasted no time, as pricing counts it.
  Built back;
  Build(back, us, start, {{start, start - 300.0 / 86400, 0.3}, {start, start + 60.0 / 86400, 0.4}});
  EXPECT_EQ(back.doc.Lines()[2].runs[1].text, "  Time: 00:00:00");
  EXPECT_EQ(back.labels.at(AnalysisLabel::TotalCallingTime), "00:01:00");
}

TEST(LogbookDocument, AddedLinesFollowTheLineListRules) {
  LogbookDocument doc;
  doc.AddLine("title");  // into the empty box: the text and a line break
  EXPECT_EQ(doc.PlainText(), "title\n");
  doc.AddLine();  // the current line is empty: one empty line
  EXPECT_EQ(doc.PlainText(), "title\n\n");
  doc.Insert("a");
  doc.Insert("b");
  doc.AddLine();  // ends the line that has text
  EXPECT_EQ(doc.PlainText(), "title\n\nab\n");
  doc.Insert("c");
  doc.AddLine("d");  // a line break behind the text, then the new text
  EXPECT_EQ(doc.PlainText(), "title\n\nab\nc\nd");
  ASSERT_EQ(doc.Lines()[2].runs.size(), 1u) << "runs of one format join";
}

}  // namespace
}  // namespace dorvane
