#include "session/onlinecall.h"

#include <algorithm>

#include "capture/modemlog.h"
#include "capture/modemstamp.h"
#include "platform/error.h"

namespace dorvane {

namespace {

std::optional<std::int64_t> PlainNumber(std::string_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool Has(std::string_view line, std::string_view word) {
  return line.find(word) != std::string_view::npos;
}

}  // namespace

std::optional<CallNote> ParseCallNote(std::string_view text) {
  // The first two lines, each ended: a note is written beside and renamed, never cut, but a
  // reader must not take half a number from anything else. Lines after them are the hook's.
  const std::size_t firstEnd = text.find('\n');
  if (firstEnd == std::string_view::npos) return std::nullopt;
  const std::size_t secondEnd = text.find('\n', firstEnd + 1);
  if (secondEnd == std::string_view::npos) return std::nullopt;
  const auto pid = PlainNumber(text.substr(0, firstEnd));
  const auto at = PlainNumber(text.substr(firstEnd + 1, secondEnd - firstEnd - 1));
  if (!pid || !at || *pid == 0) return std::nullopt;
  return CallNote{*pid, *at};
}

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
