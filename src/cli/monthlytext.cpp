// --format monthly: a table of the months (or billing periods) that hold calls, aligned for a
// terminal.
#include <algorithm>

#include "cli/reportforms.h"
#include "platform/plaintext.h"
#include "reports/monthlycosts.h"
#include "reports/statisticslabels.h"

namespace dorvane {

namespace {

// Characters as a terminal shows them: UTF-8 continuation bytes take no room.
std::size_t DisplayWidth(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

class MonthlyTextWriter : public ReportWriter {
 public:
  MonthlyTextWriter(const RegionalSettings& rs, std::ostream& out, std::size_t tariffCount,
                    int billingFirstDay)
      : rs_(rs), out_(out), months_(billingFirstDay, tariffCount) {}
  void AddCall(const PricedCall& call, const std::vector<double>& tariffCosts) override {
    months_.Add(call, tariffCosts);
  }
  void Finish(const ReportSummary& s) override {
    std::vector<std::vector<std::string>> table;
    std::vector<std::string> header = {months_.BillingPeriods() ? "Billing Period" : "Month",
                                       "Calls", "Total Time", "Total Cost"};
    for (const TariffTotal& t : s.tariffs) {
      header.push_back(t.name);
      header.push_back("Difference");
    }
    table.push_back(header);
    for (const CostBucket& m : months_.MonthsWithCalls()) {
      std::vector<std::string> row = {BucketIsoName(m), WholeNumber(m.calls),
                                      DurationToStr(rs_, m.duration), MoneyToStr(rs_, m.cost)};
      for (const TariffTotal& t : s.tariffs) {
        const double cost = m.tariffCosts[t.column];
        row.push_back(MoneyToStr(rs_, cost));
        row.push_back(CostDifferenceText(rs_, cost - m.cost));
      }
      table.push_back(row);
    }
    std::vector<std::size_t> widths(header.size(), 0);
    for (const auto& row : table) {
      for (std::size_t c = 0; c < row.size(); ++c) {
        widths[c] = std::max(widths[c], DisplayWidth(row[c]));
      }
    }
    // The month to the left, the figures to the right, two blanks between columns.
    for (const auto& row : table) {
      std::string line;
      for (std::size_t c = 0; c < row.size(); ++c) {
        const std::string pad(widths[c] - DisplayWidth(row[c]), ' ');
        if (c > 0) line += "  ";
        line += c == 0 ? row[c] + pad : pad + row[c];
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out_ << line << '\n';
    }
    WriteTariffLines(out_, rs_, s.tariffs);
  }

 private:
  const RegionalSettings& rs_;
  std::ostream& out_;
  MonthlyCosts months_;
};

}  // namespace

std::unique_ptr<ReportWriter> MakeMonthlyTextWriter(const RegionalSettings& rs, std::ostream& out,
                                                    std::size_t tariffCount, int billingFirstDay) {
  return std::make_unique<MonthlyTextWriter>(rs, out, tariffCount, billingFirstDay);
}

}  // namespace dorvane
