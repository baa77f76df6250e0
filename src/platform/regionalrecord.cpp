#include "platform/regionalrecord.h"

#include <string>
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

}  // namespace

std::optional<RegionalSettings> ReadRecordedRegional(Registry& registry) {
  if (!registry.ReadString(kRegionalSettingsKey, "sDecimal")) return std::nullopt;
  RegionalSettings rs;
  for (const TextField& f : kTextFields) {
    if (auto value = registry.ReadString(kRegionalSettingsKey, f.name)) rs.*f.field = *value;
  }
  for (const NumberField& f : kNumberFields) {
    int number = 0;
    if (auto value = registry.ReadString(kRegionalSettingsKey, f.name);
        value && TryStrToInt(*value, number)) {
      rs.*f.field = number;
    }
  }
  ForEachNameField(rs, [&](const std::string& name, std::string& field) {
    if (auto value = registry.ReadString(kRegionalSettingsKey, name)) field = *value;
  });
  return rs;
}

void RecordRegional(Registry& registry, const RegionalSettings& settings) {
  RegionalSettings rs = settings;
  std::vector<std::pair<std::string, std::string>> values;
  for (const TextField& f : kTextFields) values.emplace_back(f.name, rs.*f.field);
  for (const NumberField& f : kNumberFields) {
    values.emplace_back(f.name, std::to_string(rs.*f.field));
  }
  ForEachNameField(
      rs, [&](const std::string& name, std::string& field) { values.emplace_back(name, field); });
  registry.WriteStrings(kRegionalSettingsKey, values);
}

RegionalSettings FolderRegional(Registry& registry, const RegionalSettings& environment,
                                bool record) {
  if (auto recorded = ReadRecordedRegional(registry)) return *recorded;
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
