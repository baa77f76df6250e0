// --format text --logbook: the logbook document's lines, written as they are made.
#include "cli/reportforms.h"
#include "reports/logbook.h"

namespace dorvane {

namespace {

class LogbookTextWriter : public ReportWriter {
 public:
  LogbookTextWriter(const RegionalSettings& rs, std::ostream& out) : rs_(rs), out_(out) {
    totals_ = BeginLogbook(scratch_, 0);
    WriteFinishedLines();
  }
  void AddCall(const PricedCall& call, const std::vector<double>&) override {
    AddLogbookCall(scratch_, rs_, totals_, call.start, call.end, call.cost);
    WriteFinishedLines();
  }
  void Finish(const ReportSummary& s) override {
    FinishLogbook(scratch_, rs_, totals_, [](AnalysisLabel, const std::string&) {});
    WriteFinishedLines();
    WriteTariffLines(out_, rs_, s.tariffs);
  }

 private:
  // The finished lines leave the document as soon as the line being written is empty again,
  // so memory stays flat however many calls there are.
  void WriteFinishedLines() {
    const auto& lines = scratch_.Lines();
    if (lines.size() < 2 || !lines.back().runs.empty()) return;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) out_ << lines[i].Text() << '\n';
    scratch_.Clear();  // keeps the size and colour of what comes next
  }

  const RegionalSettings& rs_;
  std::ostream& out_;
  LogbookDocument scratch_;
  PeriodTotals totals_;
};

}  // namespace

std::unique_ptr<ReportWriter> MakeLogbookTextWriter(const RegionalSettings& rs, std::ostream& out) {
  return std::make_unique<LogbookTextWriter>(rs, out);
}

}  // namespace dorvane
