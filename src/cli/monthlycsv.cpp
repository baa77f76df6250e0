// --format monthly-csv: one row per month (or billing period) that holds calls.
#include "cli/reportforms.h"
#include "platform/plaintext.h"
#include "reports/monthlycosts.h"

namespace dorvane {

namespace {

class MonthlyCsvWriter : public ReportWriter {
 public:
  MonthlyCsvWriter(std::ostream& out, std::size_t tariffCount, int billingFirstDay)
      : out_(out), months_(billingFirstDay, tariffCount) {}
  void AddCall(const PricedCall& call, const std::vector<double>& tariffCosts) override {
    months_.Add(call, tariffCosts);
  }
  void Finish(const ReportSummary& s) override {
    std::string header = std::string(months_.BillingPeriods() ? "billing_period" : "month") +
                         ",calls,total_time_s,total_cost";
    AppendTariffHeader(header, s.tariffs);
    out_ << header << kCrLf;
    for (const CostBucket& m : months_.MonthsWithCalls()) {
      std::string row = BucketIsoName(m) + ',' + WholeNumber(m.calls) + ',' +
                        PlainSeconds(m.duration) + ',' + PlainNumber(m.cost);
      AppendTariffCells(row, s.tariffs, m.tariffCosts, m.cost);
      out_ << row << kCrLf;
    }
  }

 private:
  std::ostream& out_;
  MonthlyCosts months_;
};

}  // namespace

std::unique_ptr<ReportWriter> MakeMonthlyCsvWriter(std::ostream& out, std::size_t tariffCount,
                                                   int billingFirstDay) {
  return std::make_unique<MonthlyCsvWriter>(out, tariffCount, billingFirstDay);
}

}  // namespace dorvane
