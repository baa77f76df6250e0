#include "platform/regionalrecord.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error.h"

namespace dorvane {

namespace {

// The value names of the classic platform. Day names count from Monday (1) to Sunday (7) there;
// the settings hold them from Sunday. Format patterns are kept in the program's own letters.
struct TextField {
  const char* name;
  std::string RegionalSettings::*field;
};

constexpr TextField kTextFields[] = {
    {"sCurrency", &RegionalSettings::currencySymbol},
    {"sThousand", &RegionalSettings::thousandSeparator},
    {"sDecimal", &RegionalSettings::decimalSeparator},
    {"sDate", &RegionalSettings::dateSeparator},
    {"sShortDate", &RegionalSettings::shortDateFormat},
    {"sTime", &RegionalSettings::timeSeparator},
    {"sTimeFormat", &RegionalSettings::longTimeFormat},
    {"sShortTime", &RegionalSettings::shortTimeFormat},
    {"s1159", &RegionalSettings::timeAMString},
    {"s2359", &RegionalSettings::timePMString},
};

struct NumberField {
  const char* name;
  int RegionalSettings::*field;
};

constexpr NumberField kNumberFields[] = {
    {"iCurrency", &RegionalSettings::currencyFormat},
    {"iNegCurr", &RegionalSettings::negCurrFormat},
    {"iCurrDigits", &RegionalSettings::currencyDecimals},
};

template <std::size_t N>
void ForEachName(std::array<std::string, N>& names, const char* prefix, bool mondayFirst,
                 const auto& visit) {
  for (std::size_t i = 1; i <= N; ++i) {
    const std::size_t index = mondayFirst ? i % N : i - 1;
    visit(std::string(prefix) + std::to_string(i), names[index]);
  }
}

// Every named text of the settings, mutable, in the order they are recorded.
template <typename Visit>
void ForEachNameField(RegionalSettings& rs, const Visit& visit) {
  ForEachName(rs.longDayNames, "sDayName", true, visit);
  ForEachName(rs.shortDayNames, "sAbbrevDayName", true, visit);
  ForEachName(rs.longMonthNames, "sMonthName", false, visit);
  ForEachName(rs.shortMonthNames, "sAbbrevMonthName", false, visit);
}

std::optional<RegionalSettings> ReadRegionalUnder(Registry& registry, const std::string& key) {
  if (!registry.ReadString(key, "sDecimal")) return std::nullopt;
  RegionalSettings rs;
  for (const TextField& f : kTextFields) {
    if (auto value = registry.ReadString(key, f.name)) rs.*f.field = *value;
  }
  for (const NumberField& f : kNumberFields) {
    int number = 0;
    if (auto value = registry.ReadString(key, f.name); value && TryStrToInt(*value, number)) {
      rs.*f.field = number;
    }
  }
  ForEachNameField(rs, [&](const std::string& name, std::string& field) {
    if (auto value = registry.ReadString(key, name)) field = *value;
  });
  return rs;
}

std::vector<std::pair<std::string, std::string>> RecordValues(const RegionalSettings& settings) {
  RegionalSettings rs = settings;
  std::vector<std::pair<std::string, std::string>> values;
  for (const TextField& f : kTextFields) values.emplace_back(f.name, rs.*f.field);
  for (const NumberField& f : kNumberFields) {
    values.emplace_back(f.name, std::to_string(rs.*f.field));
  }
  ForEachNameField(
      rs, [&](const std::string& name, std::string& field) { values.emplace_back(name, field); });
  return values;
}

}  // namespace

std::optional<RegionalSettings> ReadRecordedRegional(Registry& registry) {
  return ReadRegionalUnder(registry, kRegionalSettingsKey);
}

void RecordRegional(Registry& registry, const RegionalSettings& settings) {
  auto values = RecordValues(settings);
  if (registry.ReadString(kRegionalSettingsKey, kPendingNotationValue)) {
    values.emplace_back(kPendingNotationValue, "");
  }
  registry.WriteStrings(kRegionalSettingsKey, values);
}

void RecordPendingRegional(Registry& registry, const RegionalSettings& to,
                           const std::string& settingsDigest) {
  registry.WriteStrings(kPendingRegionalKey, RecordValues(to));
  registry.WriteStrings(kRegionalSettingsKey, {{kPendingNotationValue, settingsDigest}});
}

std::string SettingsDigest(std::string_view text) {
  std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string digest = std::to_string(text.size()) + "-";
  for (int shift = 60; shift >= 0; shift -= 4) digest += kHex[(hash >> shift) & 0xF];
  return digest;
}

RegionalSettings FolderRegional(Registry& registry, const RegionalSettings& environment,
                                bool record, const SettingsText& settingsText) {
  if (auto recorded = ReadRecordedRegional(registry)) {
    const auto pending = registry.ReadString(kRegionalSettingsKey, kPendingNotationValue);
    if (!pending || pending->empty()) return *recorded;
    // A change of notation stopped part way: the settings file tells which side it is on.
    const std::optional<std::string> text = settingsText ? settingsText() : std::nullopt;
    std::optional<RegionalSettings> chosen = recorded;
    if (text && SettingsDigest(*text) == *pending) {
      if (auto to = ReadRegionalUnder(registry, kPendingRegionalKey)) chosen = to;
    }
    if (record) {
      try {
        RecordRegional(registry, *chosen);
      } catch (const Error&) {
        // Left for the next start that can write.
      }
    }
    return *chosen;
  }
  if (record) {
    try {
      RecordRegional(registry, environment);
    } catch (const Error&) {
      // A folder that cannot be written now is reported by the first write that needs it.
    }
  }
  return environment;
}

}  // namespace dorvane
