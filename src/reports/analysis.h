// Period statistics and the costs analysis: one pass over the call store that counts and prices
// the calls of the report period, and the texts the statistics labels show.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "charges/pricing.h"
#include "platform/datetime.h"
#include "platform/linereader.h"
#include "platform/regional.h"

namespace dorvane {

inline constexpr const char* kInvalidReportPeriod = "Invalid Report Period";

// The closed interval of the two period pickers, compared as full date-times.
struct ReportPeriod {
  TDateTime start = 0;
  TDateTime stop = 0;

  bool Valid() const { return stop >= start; }
  bool InReportPeriod(TDateTime value) const { return !(start > value) && value <= stop; }
};

// The period pickers as the window's design leaves them, before the call store is read: 30 July
// 1998, from 00:00:00 to 23:59:59. The store's first and last call replace only their dates.
inline constexpr ReportPeriod kDesignReportPeriod{36006.0, 36006.99998842592};

// Same year and month as today.
bool IsCurrentMonth(TDateTime value, TDateTime today);

// IsCurrentMonth against one today, for a pass over many calls: the days of the month are
// worked out once, and only a value near them is split into its date. With a billing day other
// than 1 the month is the current billing period (reports/billingperiod.h).
class CurrentMonthFilter {
 public:
  CurrentMonthFilter(TDateTime today, int billingFirstDay = 1);  // NOLINT: a today stands for
                                                                 // its month's test
  bool operator()(TDateTime value) const;

 private:
  TDateTime today_;
  TDateTime first_;  // the month's (or billing period's) first day
  TDateTime next_;   // the next one's first day
  bool calendarMonth_ = true;
};
// The month's cost so far, stretched to a 31-day month from today's day of the month.
double EstimatedMonthlyCost(double monthCost, TDateTime today);
// The period's total per 31 days, counting years as 365 days and months as 30; the period ends
// today when its last call ended in the current month.
double AverageMonthlyCost(double totalCost, TDateTime firstDate, TDateTime lastDate,
                          TDateTime today);
// "(+$0.25)", "($0.00)", "(-$1.18)": the money text in brackets, a plus sign only above zero.
std::string CostDifferenceText(const RegionalSettings& rs, double amount);

// The bar's position after `charactersRead`: the characters divided by the size units (the
// file's size over 128, at least 1), a half to the even neighbour, at most 100.
int ScanProgress(std::uint64_t charactersRead, std::uint64_t fileSize);

// Reads the store's lines in file order. Each call line's start and end are read as the store
// writes them (ReadStoreCall: a line that is no call ends the scan with an error naming
// `storePath` and the line) and handed to onCall; after every line, call line or not,
// onProgress gets the bar's position when it has changed. Whether the file was read to its end
// is the lines' Failed().
void ScanCallStore(LineSource& lines, const RegionalSettings& rs,
                   const std::function<void(TDateTime start, TDateTime end)>& onCall,
                   const std::function<void(int position)>& onProgress,
                   std::string_view storePath = {});

// The figures of the calls of a period, in store order: how many, the start of the first, the
// end of the last (which need not be the latest end), their total time and total cost.
struct PeriodTotals {
  TDateTime firstDate = 0;
  TDateTime lastDate = 0;
  int count = 0;
  double totalDuration = 0;  // days
  double totalCost = 0;

  // The start values of a run: both dates now, every total zero. A run without calls shows them.
  static PeriodTotals Starting(TDateTime now);
  // Counts one call of the period at its price.
  void Add(TDateTime start, TDateTime end, double cost);
};

// Every stored call that started in the current month, whatever the period; the cost warnings
// read them.
struct CurrentMonthFigures {
  double cost = 0;
  int count = 0;
};

// The values of one run of the costs analysis: the period's totals, what the calls would have
// cost at the cheapest and at the dearest band, and the current month's figures.
struct PeriodStatistics : PeriodTotals {
  double totalLowest = 0;
  double totalHighest = 0;
  double currentMonthCost = 0;
  int currentMonthCount = 0;
};

// The start values of a run: first and last date now, every total zero. A run without a store
// shows these.
PeriodStatistics StartStatistics(TDateTime now);
// Counts and prices one stored call: in the current month at its own band; in the period at its
// own band and at the cheapest and the dearest band of the table. True when the call lies in the
// period; `priced` (when given) then receives it with its prices.
bool AddCallToStatistics(PeriodStatistics& stats, const ReportPeriod& period,
                         const CurrentMonthFilter& isCurrentMonth, const CallPricing& pricing,
                         TDateTime start, TDateTime end, PricedCall* priced = nullptr);

// The statistics labels in the order they are filled.
enum class AnalysisLabel {
  Period,
  NumberOfCalls,
  AverageCallingTime,
  TotalCallingTime,
  AverageCost,
  TotalCost,
  LowestCost,
  HighestCost,
  EstimatedMonthlyCost,
  MonthlyCostDuringPeriod,
};

// The six statistics labels that both report pages show, Period to TotalCost, in order. With no
// call the averages cannot be formed: filling stops after the number of calls and returns false.
bool FillStatisticsLabels(const RegionalSettings& rs, const PeriodTotals& totals,
                          const std::function<void(AnalysisLabel, const std::string&)>& setText);

// Hands each label its text in order. With no call in the period the averages cannot be formed:
// filling stops after the number of calls and returns false, the rest keep their texts. A text
// that cannot be formed for another reason also stops the filling there.
// The estimate of this month is that of the current billing period (EstimatedPeriodCost).
bool FillAnalysisLabels(const RegionalSettings& rs, const PeriodStatistics& stats, TDateTime today,
                        const std::function<void(AnalysisLabel, const std::string&)>& setText,
                        int billingFirstDay = 1);

// "12/01/1999  -  16/01/1999": the first and the last date of the period's calls.
std::string PeriodText(const RegionalSettings& rs, TDateTime firstDate, TDateTime lastDate);

}  // namespace dorvane
