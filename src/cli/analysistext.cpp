// --format text: the ten captions and their labels, as the window shows them.
#include "cli/reportforms.h"
#include "reports/statisticslabels.h"

namespace dorvane {

namespace {

class AnalysisTextWriter : public ReportWriter {
 public:
  AnalysisTextWriter(const RegionalSettings& rs, std::ostream& out) : rs_(rs), out_(out) {}
  void AddCall(const PricedCall&, const std::vector<double>&) override {}
  void Finish(const ReportSummary& s) override {
    for (std::size_t i = 0; i < kAnalysisLabelCount; ++i) {
      out_ << CaptionLine(kStatisticsLabels[i]);
      if (i < s.filledLabels) out_ << ' ' << s.labels[i];
      out_ << '\n';
    }
    WriteTariffLines(out_, rs_, s.tariffs);
  }

 private:
  const RegionalSettings& rs_;
  std::ostream& out_;
};

}  // namespace

std::unique_ptr<ReportWriter> MakeAnalysisTextWriter(const RegionalSettings& rs,
                                                     std::ostream& out) {
  return std::make_unique<AnalysisTextWriter>(rs, out);
}

}  // namespace dorvane
