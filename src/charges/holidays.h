// Public holidays for pricing: the days a bill charges as another weekday (as a rule Sunday).
// A holiday is a day of every year ("12-25"), one date ("2026-12-24") or a day counted from
// Western Easter Sunday ("Easter+1").
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/datetime.h"
#include "platform/plaintext.h"

namespace dorvane {

struct HolidayRule {
  enum class Kind { EveryYear, OneDate, Easter };
  Kind kind = Kind::EveryYear;
  int year = 0;  // OneDate only
  int month = 0;
  int day = 0;
  int easterOffset = 0;  // Easter only: whole days from Easter Sunday

  bool operator==(const HolidayRule&) const = default;
};

// Reads "MM-DD" (02-29 allowed: it falls in leap years), "YYYY-MM-DD" (a date that exists) and
// "Easter", "Easter+N", "Easter-N" (N whole days, at most 366). Nothing for anything else.
std::optional<HolidayRule> ParseHolidayRule(std::string_view text);
// The rule as the settings file writes it; ParseHolidayRule reads it back.
std::string HolidayRuleText(const HolidayRule& rule);

// Appends the rules of `more` that `list` does not hold yet, in their order.
void AddHolidayRules(std::vector<HolidayRule>& list, const std::vector<HolidayRule>& more);

// The day number of Western (Gregorian) Easter Sunday of a year, 1583 onwards as the calendar
// has it; earlier years get the same formula.
TDateTime EasterSunday(int year);

// The holidays of a settings file and the weekday they are priced as.
class Holidays {
 public:
  Holidays() = default;
  Holidays(int pricedAs, std::vector<HolidayRule> rules);

  int PricedAs() const { return pricedAs_; }
  const std::vector<HolidayRule>& Rules() const { return rules_; }
  bool Empty() const { return rules_.empty(); }

  // True when the date of `value` (rounded to the millisecond) is a listed holiday.
  bool IsHoliday(TDateTime value) const;
  // The weekday a moment is priced as: PricedAs() on a holiday, its own weekday otherwise.
  int PricingDay(TDateTime value) const;

 private:
  int pricedAs_ = 1;
  std::vector<HolidayRule> rules_;
  // The holidays of each year asked for, as day numbers, worked out once per year.
  mutable std::map<int, std::vector<TDateTime>> years_;
};

}  // namespace dorvane
