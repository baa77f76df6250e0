#include "reports/analysis.h"

#include <algorithm>
#include <cmath>

#include "capture/callstore.h"
#include "charges/pricing.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/rounding.h"
#include "reports/billingperiod.h"

namespace dorvane {

bool IsCurrentMonth(TDateTime value, TDateTime today) {
  const DateParts a = DecodeDate(value);
  const DateParts b = DecodeDate(today);
  return a.year == b.year && a.month == b.month;
}

CurrentMonthFilter::CurrentMonthFilter(TDateTime today, int billingFirstDay) : today_(today) {
  if (billingFirstDay > kFirstBillingDayMin && billingFirstDay <= kFirstBillingDayMax) {
    const BillingPeriod period = CurrentBillingPeriod(today, billingFirstDay);
    first_ = period.first;
    next_ = period.next;
    calendarMonth_ = false;
    return;
  }
  const DateParts d = DecodeDate(today);
  first_ = EncodeDate(d.year, d.month, 1);
  next_ = d.month == 12 ? EncodeDate(d.year + 1, 1, 1) : EncodeDate(d.year, d.month + 1, 1);
}

bool CurrentMonthFilter::operator()(TDateTime value) const {
  // A day's margin on either side leaves the rounding to the millisecond to DecodeDate, and the
  // bounds (the values DecodeDate takes) keep a value that is no date for it to refuse.
  constexpr TDateTime kDecodableRange[] = {-600000, 2900000};
  if ((value < first_ - 1 || value > next_ + 1) && value > kDecodableRange[0] &&
      value < kDecodableRange[1]) {
    return false;
  }
  if (!calendarMonth_) return BillingPeriod{first_, next_}.Contains(value);
  return IsCurrentMonth(value, today_);
}

double EstimatedMonthlyCost(double monthCost, TDateTime today) {
  return monthCost * (31.0 / DecodeDate(today).day);
}

double AverageMonthlyCost(double totalCost, TDateTime firstDate, TDateTime lastDate,
                          TDateTime today) {
  const DateParts first = DecodeDate(firstDate);
  const DateParts last = DecodeDate(IsCurrentMonth(lastDate, today) ? today : lastDate);
  const int days =
      (last.year - first.year) * 365 + (last.month - first.month) * 30 + (last.day - first.day) + 1;
  return totalCost * (31.0 / days);
}

std::string CostDifferenceText(const RegionalSettings& rs, double amount) {
  const std::string money = MoneyToStr(rs, amount);
  std::string text;
  text.reserve(money.size() + 3);
  text.push_back('(');
  if (amount > 0) text.push_back('+');
  text.append(money).push_back(')');
  return text;
}

int ScanProgress(std::uint64_t charactersRead, std::uint64_t fileSize) {
  const std::uint64_t units = std::max<std::uint64_t>(fileSize / 128, 1);
  const std::int64_t position =
      Round(static_cast<double>(charactersRead) / static_cast<double>(units));
  return static_cast<int>(std::min<std::int64_t>(position, 100));
}

void ScanCallStore(LineSource& lines, const RegionalSettings& rs,
                   const std::function<void(TDateTime start, TDateTime end)>& onCall,
                   const std::function<void(int position)>& onProgress,
                   std::string_view storePath) {
  const std::uint64_t size = lines.Size();
  const std::uint64_t units = std::max<std::uint64_t>(size / 128, 1);
  std::uint64_t charactersRead = 0;
  int shown = -1;
  // The position can change only once the characters reach the next half unit; below that the
  // division and its rounding are skipped.
  std::uint64_t nextHalf = 0;
  std::string_view line;
  std::string_view startText;
  std::string_view endText;
  std::uint64_t lineNumber = 0;
  while (lines.Next(line)) {
    ++lineNumber;
    if (ParseCallLine(line, startText, endText)) {
      const StoreCall call = ReadStoreCall(rs, line, storePath, lineNumber);
      onCall(call.start, call.end);
    }
    charactersRead += line.size();
    if (2 * charactersRead < nextHalf) continue;
    const int position = ScanProgress(charactersRead, size);
    if (position != shown) {
      shown = position;
      onProgress(position);
    }
    nextHalf =
        position >= 100 ? UINT64_MAX : (2 * static_cast<std::uint64_t>(position) + 1) * units;
  }
}

PeriodTotals PeriodTotals::Starting(TDateTime now) {
  PeriodTotals totals;
  totals.firstDate = now;
  totals.lastDate = now;
  return totals;
}

void PeriodTotals::Add(TDateTime start, TDateTime end, double cost) {
  if (count == 0) firstDate = start;
  ++count;
  totalCost += cost;
  totalDuration += CallSpan(start, end);
  lastDate = end;
}

PeriodStatistics StartStatistics(TDateTime now) {
  PeriodStatistics stats;
  static_cast<PeriodTotals&>(stats) = PeriodTotals::Starting(now);
  return stats;
}

bool AddCallToStatistics(PeriodStatistics& stats, const ReportPeriod& period,
                         const CurrentMonthFilter& isCurrentMonth, const CallPricing& pricing,
                         TDateTime start, TDateTime end, PricedCall* priced) {
  const bool inMonth = isCurrentMonth(start);
  const bool inPeriod = period.InReportPeriod(start);
  // A call of the month and the period is priced once for both: the same price, and the same
  // failure first.
  if (inMonth && !inPeriod) stats.currentMonthCost += pricing.CallCost(start, end);
  if (!inPeriod) {
    if (inMonth) ++stats.currentMonthCount;
    return false;
  }
  const PricedCall call = pricing.Prices(start, end);
  if (inMonth) {
    stats.currentMonthCost += call.cost;
    ++stats.currentMonthCount;
  }
  stats.Add(start, end, call.cost);
  stats.totalLowest += call.lowest;
  stats.totalHighest += call.highest;
  if (priced) *priced = call;
  return true;
}

std::string PeriodText(const RegionalSettings& rs, TDateTime firstDate, TDateTime lastDate) {
  return DateToStr(rs, firstDate) + "  -  " + DateToStr(rs, lastDate);
}

bool FillStatisticsLabels(const RegionalSettings& rs, const PeriodTotals& t,
                          const std::function<void(AnalysisLabel, const std::string&)>& setText) {
  setText(AnalysisLabel::Period, PeriodText(rs, t.firstDate, t.lastDate));
  setText(AnalysisLabel::NumberOfCalls, std::to_string(t.count));
  // An average over no calls is no number: the remaining labels keep their texts.
  if (t.count == 0) return false;
  setText(AnalysisLabel::AverageCallingTime, DurationToStr(rs, t.totalDuration / t.count));
  setText(AnalysisLabel::TotalCallingTime, DurationToStr(rs, t.totalDuration));
  setText(AnalysisLabel::AverageCost, MoneyToStr(rs, t.totalCost / t.count));
  setText(AnalysisLabel::TotalCost, MoneyToStr(rs, t.totalCost));
  return true;
}

bool FillAnalysisLabels(const RegionalSettings& rs, const PeriodStatistics& s, TDateTime today,
                        const std::function<void(AnalysisLabel, const std::string&)>& setText,
                        int billingFirstDay) {
  try {
    if (!FillStatisticsLabels(rs, s, setText)) {
      return false;
    }
    setText(AnalysisLabel::LowestCost, MoneyToStr(rs, s.totalLowest) + " " +
                                           CostDifferenceText(rs, s.totalLowest - s.totalCost));
    setText(AnalysisLabel::HighestCost, MoneyToStr(rs, s.totalHighest) + " " +
                                            CostDifferenceText(rs, s.totalHighest - s.totalCost));
    setText(AnalysisLabel::EstimatedMonthlyCost,
            MoneyToStr(rs, EstimatedPeriodCost(s.currentMonthCost, today, billingFirstDay)));
    setText(AnalysisLabel::MonthlyCostDuringPeriod,
            MoneyToStr(rs, AverageMonthlyCost(s.totalCost, s.firstDate, s.lastDate, today)));
  } catch (const Error&) {
    // A text that cannot be formed (a date out of range, an amount that is no number) ends the
    // filling quietly; the labels not reached keep their texts.
    return false;
  }
  return true;
}

}  // namespace dorvane
