#include "charges/holidays.h"

#include <algorithm>

#include "platform/ascii.h"

namespace dorvane {

namespace {

constexpr int kMostEasterOffset = 366;
constexpr std::string_view kEaster = "Easter";

}  // namespace

std::optional<HolidayRule> ParseHolidayRule(std::string_view text) {
  HolidayRule rule;
  if (HasAtIgnoringCase(text, 0, kEaster)) {
    rule.kind = HolidayRule::Kind::Easter;
    std::string_view rest = text.substr(kEaster.size());
    if (rest.empty()) return rule;
    const bool minus = rest.front() == '-';
    if (!minus && rest.front() != '+') return std::nullopt;
    rest.remove_prefix(1);
    int offset = 0;
    if (rest.empty() || rest.size() > 3 || !ReadFixedDigits(rest, rest.size(), offset) ||
        offset > kMostEasterOffset) {
      return std::nullopt;
    }
    rule.easterOffset = minus ? -offset : offset;
    return rule;
  }
  if (text.size() == 5 && text[2] == '-' && ReadFixedDigits(text.substr(0, 2), 2, rule.month) &&
      ReadFixedDigits(text.substr(3, 2), 2, rule.day)) {
    // Checked against a leap year, so that 02-29 is a holiday of the years that have it.
    TDateTime unused = 0;
    if (!TryEncodeDate(2000, rule.month, rule.day, unused)) return std::nullopt;
    rule.kind = HolidayRule::Kind::EveryYear;
    return rule;
  }
  if (const std::optional<TDateTime> day = ParseIsoDay(text)) {
    const DateParts d = DecodeDate(*day);
    rule.kind = HolidayRule::Kind::OneDate;
    rule.year = d.year;
    rule.month = d.month;
    rule.day = d.day;
    return rule;
  }
  return std::nullopt;
}

std::string HolidayRuleText(const HolidayRule& rule) {
  std::string text;
  switch (rule.kind) {
    case HolidayRule::Kind::Easter:
      text = kEaster;
      if (rule.easterOffset != 0) {
        text += rule.easterOffset > 0 ? '+' : '-';
        text += std::to_string(rule.easterOffset > 0 ? rule.easterOffset : -rule.easterOffset);
      }
      return text;
    case HolidayRule::Kind::OneDate:
      AppendFixedDigits(text, rule.year, 4);
      text += '-';
      break;
    case HolidayRule::Kind::EveryYear:
      break;
  }
  AppendFixedDigits(text, rule.month, 2);
  text += '-';
  AppendFixedDigits(text, rule.day, 2);
  return text;
}

void AddHolidayRules(std::vector<HolidayRule>& list, const std::vector<HolidayRule>& more) {
  for (const HolidayRule& rule : more) {
    if (std::find(list.begin(), list.end(), rule) == list.end()) list.push_back(rule);
  }
}

TDateTime EasterSunday(int year) {
  // The anonymous Gregorian computus.
  const int a = year % 19;
  const int b = year / 100;
  const int c = year % 100;
  const int d = b / 4;
  const int e = b % 4;
  const int f = (b + 8) / 25;
  const int g = (b - f + 1) / 3;
  const int h = (19 * a + b - d - g + 15) % 30;
  const int i = c / 4;
  const int k = c % 4;
  const int l = (32 + 2 * e + 2 * i - h - k) % 7;
  const int m = (a + 11 * h + 22 * l) / 451;
  const int month = (h + l - 7 * m + 114) / 31;
  const int day = (h + l - 7 * m + 114) % 31 + 1;
  return EncodeDate(year, month, day);
}

Holidays::Holidays(int pricedAs, std::vector<HolidayRule> rules)
    : pricedAs_(pricedAs), rules_(std::move(rules)) {}

bool Holidays::IsHoliday(TDateTime value) const {
  if (rules_.empty()) return false;
  const DateParts d = DecodeDate(value);
  auto [it, added] = years_.try_emplace(d.year);
  std::vector<TDateTime>& days = it->second;
  if (added) {
    for (const HolidayRule& rule : rules_) {
      TDateTime day = 0;
      switch (rule.kind) {
        case HolidayRule::Kind::EveryYear:
          if (!TryEncodeDate(d.year, rule.month, rule.day, day)) continue;
          break;
        case HolidayRule::Kind::OneDate:
          if (rule.year != d.year || !TryEncodeDate(rule.year, rule.month, rule.day, day)) continue;
          break;
        case HolidayRule::Kind::Easter:
          day = EasterSunday(d.year) + rule.easterOffset;
          break;
      }
      days.push_back(day);
    }
    // An Easter-relative day of the year before or after can fall into this year.
    for (const HolidayRule& rule : rules_) {
      if (rule.kind != HolidayRule::Kind::Easter) continue;
      for (int other : {d.year - 1, d.year + 1}) {
        if (other < 1 || other > 9999) continue;
        days.push_back(EasterSunday(other) + rule.easterOffset);
      }
    }
    std::sort(days.begin(), days.end());
  }
  TDateTime date = 0;
  if (!TryEncodeDate(d.year, d.month, d.day, date)) return false;
  return std::binary_search(days.begin(), days.end(), date);
}

int Holidays::PricingDay(TDateTime value) const {
  return IsHoliday(value) ? pricedAs_ : DayOfWeek(value);
}

}  // namespace dorvane
