// The writers of dorvane-report's output forms, one file each, and what several of them share.
// Only MakeReportWriter (cli/reportexport.h) makes them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "charges/pricing.h"
#include "cli/reportexport.h"
#include "platform/regional.h"
#include "reports/tariffranking.h"

namespace dorvane {

std::unique_ptr<ReportWriter> MakeAnalysisTextWriter(const RegionalSettings& rs, std::ostream& out);
std::unique_ptr<ReportWriter> MakeLogbookTextWriter(const RegionalSettings& rs, std::ostream& out);
std::unique_ptr<ReportWriter> MakeCsvWriter(std::ostream& out,
                                            const std::vector<std::string>& tariffNames);
std::unique_ptr<ReportWriter> MakeMonthlyTextWriter(const RegionalSettings& rs, std::ostream& out,
                                                    std::size_t tariffCount, int billingFirstDay);
std::unique_ptr<ReportWriter> MakeMonthlyCsvWriter(std::ostream& out, std::size_t tariffCount,
                                                   int billingFirstDay);
std::unique_ptr<ReportWriter> MakeHtmlWriter(const RegionalSettings& rs, std::ostream& out,
                                             std::size_t tariffCount, int billingFirstDay);

// The line end of the CSV forms.
inline constexpr const char* kCrLf = "\r\n";

// The lines of "What the period would have cost" under the other tables, for the text forms.
void WriteTariffLines(std::ostream& out, const RegionalSettings& rs,
                      const std::vector<TariffTotal>& tariffs);
// The columns the other tables add to a CSV row: their cost and the difference, cheapest first.
void AppendTariffHeader(std::string& row, const std::vector<TariffTotal>& ranked);
void AppendTariffCells(std::string& row, const std::vector<TariffTotal>& ranked,
                       const std::vector<double>& costs, double ownCost);
// Seconds to the millisecond, as a plain number.
std::string PlainSeconds(double days);

// The calls of the period in a temporary file, for the forms that need the run's results before
// they can write the calls. The file is gone when the process ends, whatever way it ends.
class CallSpill {
 public:
  // Throws Error when the temporary file cannot be made.
  explicit CallSpill(std::size_t tariffCount);
  ~CallSpill();
  CallSpill(const CallSpill&) = delete;
  CallSpill& operator=(const CallSpill&) = delete;

  void Add(const PricedCall& call, const std::vector<double>& tariffCosts);

  // Hands every call back in the order it came.
  template <typename F>
  void Replay(F&& onCall) {
    Rewind();
    std::vector<double> tariffCosts(width_ - 5);
    while (ReadRecord()) {
      const PricedCall call{record_[0], record_[1], record_[2], record_[3], record_[4]};
      std::copy(record_.begin() + 5, record_.end(), tariffCosts.begin());
      onCall(call, tariffCosts);
    }
    CheckRead();
  }

 private:
  void Rewind();
  bool ReadRecord();
  void CheckRead();

  std::FILE* file_;
  std::size_t width_;
  std::vector<double> record_;
};

}  // namespace dorvane
