// --format csv: one row per call, numbers with a point whatever the locale.
#include "charges/pricing.h"
#include "cli/reportforms.h"
#include "platform/plaintext.h"

namespace dorvane {

namespace {

class CsvWriter : public ReportWriter {
 public:
  CsvWriter(std::ostream& out, const std::vector<std::string>& tariffNames)
      // Tariffs in the order given, before the run has ranked them.
      : out_(out), columns_(RankTariffs(tariffNames, std::vector<double>(tariffNames.size()), 0)) {
    // With several other tables the columns follow their ranking, known only at the end.
    if (columns_.size() > 1) {
      spill_ = std::make_unique<CallSpill>(columns_.size());
    } else {
      WriteHeader(columns_);
    }
  }
  void AddCall(const PricedCall& call, const std::vector<double>& tariffCosts) override {
    if (spill_) {
      spill_->Add(call, tariffCosts);
    } else {
      WriteRow(call, tariffCosts, columns_);
    }
  }
  void Finish(const ReportSummary& s) override {
    if (!spill_) return;
    WriteHeader(s.tariffs);
    spill_->Replay([&](const PricedCall& call, const std::vector<double>& tariffCosts) {
      WriteRow(call, tariffCosts, s.tariffs);
    });
  }

 private:
  void WriteHeader(const std::vector<TariffTotal>& ranked) {
    std::string row = "start,end,duration_s,cost,lowest_cost,highest_cost";
    AppendTariffHeader(row, ranked);
    out_ << row << kCrLf;
  }
  void WriteRow(const PricedCall& c, const std::vector<double>& tariffCosts,
                const std::vector<TariffTotal>& ranked) {
    std::string row = IsoDateTime(c.start);
    row += ',';
    row += IsoDateTime(c.end);
    row += ',';
    row += PlainSeconds(CallSpan(c.start, c.end));
    row += ',';
    row += PlainNumber(c.cost);
    row += ',';
    row += PlainNumber(c.lowest);
    row += ',';
    row += PlainNumber(c.highest);
    AppendTariffCells(row, ranked, tariffCosts, c.cost);
    out_ << row << kCrLf;
  }

  std::ostream& out_;
  std::vector<TariffTotal> columns_;  // in the order given, until the run has ranked them
  std::unique_ptr<CallSpill> spill_;
};

}  // namespace

std::unique_ptr<ReportWriter> MakeCsvWriter(std::ostream& out,
                                            const std::vector<std::string>& tariffNames) {
  return std::make_unique<CsvWriter>(out, tariffNames);
}

}  // namespace dorvane
