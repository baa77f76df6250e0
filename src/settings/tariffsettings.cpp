#include "settings/tariffsettings.h"

#include <algorithm>
#include <limits>
#include <map>

#include "platform/ascii.h"
#include "platform/error.h"
#include "platform/files.h"
#include "settings/chargecells.h"
#include "settings/settingsfile.h"

namespace dorvane {

namespace {

constexpr std::string_view kHolidayKeyPrefix = "Day";

std::string HolidayKey(int n) {
  return std::string(kHolidayKeyPrefix) + std::to_string(n);
}

// The date of a section named "strgrdCost YYYY-MM-DD" (any letter case, blanks between);
// nothing when the section is no dated table. `isDated` tells whether it was meant to be one.
std::optional<TDateTime> DatedSectionDay(std::string_view name, bool& isDated) {
  const std::string_view prefix = kChargesSection;
  isDated = false;
  if (name.size() <= prefix.size() || !EqualNoCase(name.substr(0, prefix.size()), prefix)) {
    return std::nullopt;
  }
  std::string_view rest = name.substr(prefix.size());
  if (rest.front() != ' ' && rest.front() != '\t') return std::nullopt;
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  isDated = true;
  return ParseIsoDay(rest);
}

void Problem(std::vector<std::string>* problems, std::string_view section, std::string_view key,
             std::string_view value) {
  if (problems == nullptr) return;
  std::string pattern = "[";
  pattern.append(section).append("] ").append(key).append("=%s is not valid and is left out.");
  problems->push_back(FormatMessage(pattern, value));
}

// The value of one of these entries: a "; remark" after it, as in a file written by hand, is
// not part of it (no date, number or day name holds a semicolon).
template <typename Source>
std::string ReadEntry(const Source& source, std::string_view section, std::string_view key) {
  std::string text = source.ReadString(section, key, "");
  if (const std::size_t semicolon = text.find(';'); semicolon != std::string::npos) {
    text.resize(semicolon);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
  }
  return text;
}

template <typename Source>
TariffSettings ReadTariffSettings(const Source& source, const RegionalSettings& rs,
                                  std::vector<std::string>* problems) {
  TariffSettings s;
  // An integer entry: absent (or blank) gives the default without a word.
  auto readInt = [&](const char* section, const char* key, int low, int high, int def) {
    const std::string text = ReadEntry(source, section, key);
    if (text.empty()) return def;
    int value = 0;
    if (!ParseProfileInteger(text, value) || value < low || value > high) {
      Problem(problems, section, key, text);
      return def;
    }
    return value;
  };
  s.billingFirstDay = readInt(kBillingSection, kFirstDayKey, 1, 28, 1);

  const int pricedAs = readInt(kHolidaysSection, kPricedAsKey, 1, 7, 1);
  const int count = readInt(kHolidaysSection, "Count", 0, std::numeric_limits<int>::max(), 0);
  std::vector<HolidayRule> rules;
  for (int n = 1; n <= std::min(count, kMostHolidays); ++n) {
    const std::string text = ReadEntry(source, kHolidaysSection, HolidayKey(n));
    if (text.empty()) continue;
    if (const std::optional<HolidayRule> rule = ParseHolidayRule(text)) {
      rules.push_back(*rule);
    } else {
      Problem(problems, kHolidaysSection, HolidayKey(n), text);
    }
  }
  s.calendar.holidays = Holidays(pricedAs, std::move(rules));

  const std::string validFrom = ReadEntry(source, kChargesSection, kValidFromKey);
  if (!validFrom.empty()) {
    s.calendar.validFrom = ParseIsoDay(validFrom);
    if (!s.calendar.validFrom) Problem(problems, kChargesSection, kValidFromKey, validFrom);
  }

  for (const std::string& name : source.SectionNames()) {
    bool isDated = false;
    const std::optional<TDateTime> day = DatedSectionDay(name, isDated);
    if (!isDated) continue;
    if (!day) {
      if (problems != nullptr) {
        problems->push_back(FormatMessage("[%s] is not valid and is left out.", name));
      }
      continue;
    }
    // The first section of a date is the one the profile functions read.
    const bool seen = std::any_of(s.calendar.earlier.begin(), s.calendar.earlier.end(),
                                  [&](const DatedCharges& t) { return t.from == *day; });
    if (seen) continue;
    s.calendar.earlier.push_back(DatedCharges{*day, ReadChargeRows(source, name, rs)});
  }
  return s;
}

// A file's text read as the profile functions read it: names without regard to letter case,
// the first section and the first key of a name win.
class ProfileText {
 public:
  explicit ProfileText(std::string_view text) {
    std::map<std::string, std::string>* section = nullptr;
    for (std::string_view line : SplitLines(text)) {
      const ProfileLine parsed = ParseProfileLine(line);
      if (parsed.kind == ProfileLineKind::Section) {
        names_.emplace_back(parsed.name);
        auto [it, added] = sections_.try_emplace(Lower(parsed.name));
        section = added ? &it->second : nullptr;
      } else if (parsed.kind == ProfileLineKind::Key && section != nullptr && parsed.hasValue) {
        section->try_emplace(Lower(parsed.name), ProfileValueText(parsed.value));
      }
    }
  }
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const {
    const auto s = sections_.find(Lower(section));
    if (s != sections_.end()) {
      const auto k = s->second.find(Lower(key));
      if (k != s->second.end()) return k->second;
    }
    return std::string(defaultValue);
  }
  const std::vector<std::string>& SectionNames() const { return names_; }

 private:
  static std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = AsciiLower(c);
    return lower;
  }
  std::vector<std::string> names_;
  std::map<std::string, std::map<std::string, std::string>> sections_;
};

}  // namespace

TariffSettings TariffSettingsFromText(std::string_view text, const RegionalSettings& rs,
                                      std::vector<std::string>* problems) {
  return ReadTariffSettings(ProfileText(text), rs, problems);
}

bool TariffSettings::operator==(const TariffSettings& other) const {
  if (billingFirstDay != other.billingFirstDay) return false;
  const TariffCalendar& a = calendar;
  const TariffCalendar& b = other.calendar;
  if (a.validFrom != b.validFrom || a.holidays.PricedAs() != b.holidays.PricedAs() ||
      a.holidays.Rules() != b.holidays.Rules() || a.earlier.size() != b.earlier.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.earlier.size(); ++i) {
    if (a.earlier[i].from != b.earlier[i].from || a.earlier[i].rows != b.earlier[i].rows) {
      return false;
    }
  }
  return true;
}

std::string DatedChargesSection(TDateTime from) {
  return std::string(kChargesSection) + " " + IsoDayText(from);
}

TariffSettings LoadTariffSettings(const ProfileFile& file, const RegionalSettings& rs,
                                  std::vector<std::string>* problems) {
  return ReadTariffSettings(ProfileEdit(file), rs, problems);
}

TariffSettings LoadTariffSettingsReadOnly(const ProfileFile& file, const RegionalSettings& rs,
                                          std::vector<std::string>* problems) {
  return ReadTariffSettings(file, rs, problems);
}

std::string SettingsProblemsText(const std::vector<std::string>& problems) {
  std::string text;
  for (const std::string& p : problems) {
    if (!text.empty()) text += '\n';
    text += p;
  }
  return text;
}

void WriteTariffSettings(ProfileEdit& edit, const TariffSettings& s) {
  const std::vector<std::string> sections = edit.SectionNames();
  auto has = [&](std::string_view name) {
    return std::any_of(sections.begin(), sections.end(),
                       [&](const std::string& n) { return EqualNoCase(n, name); });
  };
  if (s.billingFirstDay != 1 || has(kBillingSection)) {
    edit.WriteString(kBillingSection, kFirstDayKey, std::to_string(s.billingFirstDay));
  }
  const Holidays& holidays = s.calendar.holidays;
  if (!holidays.Empty() || holidays.PricedAs() != 1 || has(kHolidaysSection)) {
    int oldCount = 0;
    ParseProfileInteger(edit.ReadString(kHolidaysSection, "Count", ""), oldCount);
    edit.WriteString(kHolidaysSection, kPricedAsKey, std::to_string(holidays.PricedAs()));
    const int count = static_cast<int>(holidays.Rules().size());
    edit.WriteString(kHolidaysSection, "Count", std::to_string(count));
    for (int n = 1; n <= count; ++n) {
      edit.WriteString(kHolidaysSection, HolidayKey(n),
                       HolidayRuleText(holidays.Rules()[static_cast<std::size_t>(n - 1)]));
    }
    for (int n = count + 1; n <= std::min(oldCount, kMostHolidays); ++n) {
      edit.DeleteKey(kHolidaysSection, HolidayKey(n));
    }
  }
  if (s.calendar.validFrom) {
    edit.WriteString(kChargesSection, kValidFromKey, IsoDayText(*s.calendar.validFrom));
  } else if (!edit.ReadString(kChargesSection, kValidFromKey, "").empty()) {
    edit.DeleteKey(kChargesSection, kValidFromKey);
  }
  // Dated tables that are gone leave the file; a section that is no valid date stays as it was.
  for (const std::string& name : sections) {
    bool isDated = false;
    const std::optional<TDateTime> day = DatedSectionDay(name, isDated);
    if (!day) continue;
    const bool kept = std::any_of(s.calendar.earlier.begin(), s.calendar.earlier.end(),
                                  [&](const DatedCharges& t) { return t.from == *day; });
    if (!kept) edit.EraseSection(name);
  }
  for (const DatedCharges& table : s.calendar.earlier) {
    const std::string section = DatedChargesSection(table.from);
    edit.WriteString(section, "Count", std::to_string(table.rows.size()));
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
      for (int c = 0; c < kChargeColumns; ++c) {
        edit.WriteString(section, ChargeCellKey(c, static_cast<int>(r + 1)),
                         table.rows[r][static_cast<std::size_t>(c)]);
      }
    }
  }
}

}  // namespace dorvane
