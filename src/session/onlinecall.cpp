#include "session/onlinecall.h"

#include <algorithm>

#include "capture/modemlog.h"
#include "capture/modemstamp.h"
#include "platform/error.h"

namespace dorvane {

namespace {

bool Has(std::string_view line, std::string_view word) {
  return line.find(word) != std::string_view::npos;
}

}  // namespace

std::optional<TDateTime> OpenSessionStart(LineSource& lines) {
  std::optional<TDateTime> start;
  std::string_view line;
  while (lines.Next(line)) {
    if (Has(line, "in use") || Has(line, "closed") || Has(line, "NO CARRIER") ||
        Has(line, "Hanging up")) {
      start.reset();
    }
    if ((Has(line, "Dialing") || Has(line, "ATDT")) && !Has(line, "closed") &&
        !Has(line, "NO CARRIER") && !Has(line, "Hanging up") && IsModemTimeStamp(line)) {
      start = LogLineToDateTime(line);
    }
  }
  return start;
}

double RunningCallCost(const CallPricing& pricing, TDateTime start, TDateTime now) {
  return pricing.CallCost(start, std::max(start, now));
}

std::string CallInProgressLine(const RegionalSettings& rs, const CallInProgressFigures& f) {
  // The start's date is given only when the call began on another day.
  const bool sameDay = DatePart(f.start) == DatePart(f.now);
  const std::string since = sameDay ? TimeToStr(rs, f.start) : DateTimeToStr(rs, f.start);
  return "Online since " + since + " (" + DurationToStr(rs, std::max(0.0, f.now - f.start)) +
         "): " + MoneyToStr(rs, f.cost) + "; this period " + MoneyToStr(rs, f.periodCost);
}

std::optional<std::string> RunningCostWarning::Check(const RegionalSettings& rs,
                                                     const WarningSetting& monthly,
                                                     TDateTime callStart,
                                                     double periodCostWithCall) {
  if (warnedFor_ && *warnedFor_ == callStart) return std::nullopt;
  std::optional<std::string> text;
  try {
    text = MonthlyCostWarning(rs, monthly, periodCostWithCall);
  } catch (const Error&) {
    return std::nullopt;  // a figure that cannot be shown warns of nothing, as at start-up
  }
  if (text) warnedFor_ = callStart;
  return text;
}

}  // namespace dorvane
