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

}  // namespace
}  // namespace dorvane
