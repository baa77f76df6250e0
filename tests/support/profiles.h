// The regional settings profiles of the reference vectors (tests/data/reference/PROFILES.md),
// built field by field so that no test depends on the machine's locale.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/regional.h"

namespace dorvane::test {

struct ProfileFields {
  const char* name;
  const char* decimal;
  const char* thousand;
  const char* currency;
  int currencyFormat;
  int negCurrFormat;
  const char* dateSeparator;
  const char* timeSeparator;
  const char* shortDate;
  const char* shortTime;
  const char* longTime;
  const char* am;
  const char* pm;
};

inline constexpr ProfileFields kProfiles[] = {
    {"EN_US", ".", ",", "$", 0, 0, "/", ":", "m/d/yyyy", "h:nn AMPM", "h:nn:ss AMPM", "AM", "PM"},
    {"EN_GB", ".", ",", "$", 0, 1, "/", ":", "dd/mm/yyyy", "hh:nn", "hh:nn:ss", "AM", "PM"},
    {"DE", ",", ".", "EUR", 3, 8, ".", ":", "dd.mm.yyyy", "hh:nn", "hh:nn:ss", "", ""},
    {"ISO", ".", " ", "EUR", 3, 8, "-", ":", "yyyy-mm-dd", "hh:nn", "hh:nn:ss", "AM", "PM"},
    {"SE", ",", " ", "kr", 3, 8, "-", ":", "yyyy-mm-dd", "hh:nn", "hh:nn:ss", "", ""},
    {"FI", ",", " ", "EUR", 3, 8, ".", ".", "d.m.yyyy", "hh:nn", "hh:nn:ss", "", ""},
    {"T12_DOT", ",", " ", "$", 0, 0, ".", ".", "dd.mm.yyyy", "h:nn AMPM", "h:nn:ss AMPM", "AM",
     "PM"},
    {"T24_DOTDOT", ".", ",", "$", 0, 0, "/", ".", "dd/mm/yyyy", "hh:nn", "hh:nn:ss", "AM", "PM"},
};

inline RegionalSettings Profile(const std::string& name) {
  for (const auto& p : kProfiles) {
    if (name != p.name) continue;
    RegionalSettings rs;
    rs.decimalSeparator = p.decimal;
    rs.thousandSeparator = p.thousand;
    rs.currencySymbol = p.currency;
    rs.currencyFormat = p.currencyFormat;
    rs.negCurrFormat = p.negCurrFormat;
    rs.currencyDecimals = 2;
    rs.dateSeparator = p.dateSeparator;
    rs.timeSeparator = p.timeSeparator;
    rs.shortDateFormat = p.shortDate;
    rs.shortTimeFormat = p.shortTime;
    rs.longTimeFormat = p.longTime;
    rs.timeAMString = p.am;
    rs.timePMString = p.pm;
    return rs;  // day and month names are English in every profile, as the defaults are
  }
  throw std::invalid_argument("unknown profile " + name);
}

// The two profiles most tests need: a point and a twelve-hour clock, a comma and a 24-hour clock.
inline const RegionalSettings kUs = Profile("EN_US");
inline const RegionalSettings kDe = Profile("DE");

}  // namespace dorvane::test
