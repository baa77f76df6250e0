// The logbook written line by line.
#include "cli/reportexport.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/datetime.h"
#include "reports/logbook.h"

namespace dorvane {
namespace {

// The logbook leaves the program line by line; the text must be the document's all the same.
TEST(ReportExport, StreamedLogbookIsTheDocumentsText) {
  RegionalSettings rs;
  const TDateTime day = EncodeDate(1999, 1, 12);
  const PricedCall calls[] = {
      {day + 0.75, day + 0.76, 1.5, 0.4, 1.5},
      {day + 1, day + 1.0001, 0.25, 0.1, 0.5},        // starts at midnight: its date alone
      {day + 2.99, day + 3.01, 0.875, 0.875, 0.875},  // ends the next day
  };
  for (std::size_t n = 0; n <= 3; ++n) {
    std::ostringstream out;
    auto writer = MakeReportWriter(ReportFormat::Text, true, rs, out, {});
    LogbookDocument doc;
    PeriodTotals totals = BeginLogbook(doc, 0);
    for (std::size_t i = 0; i < n; ++i) {
      writer->AddCall(calls[i], {});
      AddLogbookCall(doc, rs, totals, calls[i].start, calls[i].end, calls[i].cost);
    }
    FinishLogbook(doc, rs, totals, [](AnalysisLabel, const std::string&) {});
    writer->Finish(ReportSummary{});
    EXPECT_EQ(out.str(), doc.PlainText()) << n << " calls";
  }
}

// A call edited by hand to end before it starts lasted no time, in every form, as the analysis
// and the logbook count it: neither its span nor its negative shows, and the monthly sums keep
// only the other call's time.
TEST(ReportExport, ACallEndingBeforeItsStartLastsNoTimeInEveryForm) {
  RegionalSettings rs;
  const TDateTime start = EncodeDate(1999, 1, 12) + 0.75;
  const PricedCall calls[] = {{start, start - 0.01, 0, 0, 0},                // 14:24 backwards
                              {start + 0.1, start + 0.1 + 0.001, 0, 0, 0}};  // 1:26.4 forwards
  for (const ReportFormat format :
       {ReportFormat::Csv, ReportFormat::Html, ReportFormat::Monthly, ReportFormat::MonthlyCsv}) {
    std::ostringstream out;
    auto writer = MakeReportWriter(format, false, rs, out, {});
    for (const PricedCall& c : calls) writer->AddCall(c, {});
    writer->Finish(ReportSummary{});
    const std::string text = out.str();
    SCOPED_TRACE(text);
    for (const char* span : {"14:24", "864", "777.6", "12:57.6", "00:12:57"}) {
      EXPECT_EQ(text.find(span), std::string::npos) << span;
    }
    const bool inSeconds = format == ReportFormat::Csv || format == ReportFormat::MonthlyCsv;
    EXPECT_NE(text.find(inSeconds ? "86.4" : "00:01:26"), std::string::npos);
  }
}

}  // namespace
}  // namespace dorvane
