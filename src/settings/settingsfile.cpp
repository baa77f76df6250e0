#include "settings/settingsfile.h"

#include <algorithm>
#include <exception>
#include <unordered_map>
#include <utility>

#include "capture/modemlog.h"
#include "platform/ascii.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "settings/chargecells.h"

namespace dorvane {

namespace {

constexpr const char* kIgnoreBusyKey = "Ignore Busy Calls";
constexpr const char* kLogFileKey = "LogFileName";
constexpr const char* kWarnKey = "Warn";
constexpr const char* kCostKey = "Cost";
constexpr const char* kActivePageKey = "ActivePage";
constexpr const char* kCountKey = "Count";
constexpr const char* kFirstTimeKey = "FirstTime";

// Integer and boolean reads over a batch, with the settings file's integer encoding.
int ReadInteger(const ProfileEdit& edit, std::string_view section, std::string_view key,
                int defaultValue) {
  int value = 0;
  return ParseProfileInteger(edit.ReadString(section, key, ""), value) ? value : defaultValue;
}

bool ReadBool(const ProfileEdit& edit, std::string_view section, std::string_view key,
              bool defaultValue) {
  return ReadInteger(edit, section, key, defaultValue ? 1 : 0) != 0;
}

const char* BoolText(bool value) {
  return value ? "1" : "0";
}

}  // namespace

std::string ChargeCellKey(int column, int row) {
  return "Cell" + std::to_string(column) + std::to_string(row);
}

ChargeRow DefaultChargeCells(const RegionalSettings& rs) {
  return {kCatchAllBandText,   TimeToStr(rs, 0.0) + " - " + TimeToStr(rs, 0.99999),
          FloatToStr(rs, 0.3), FloatToStr(rs, 0.1),
          FloatToStr(rs, 0.0), FloatToStr(rs, 0.0)};
}

std::optional<ChargeRows> ChargesTableFromText(std::string_view text, const RegionalSettings& rs) {
  std::unordered_map<std::string, std::string> cells;
  std::optional<std::string> countText;
  bool inTable = false;
  bool tableSeen = false;
  for (std::string_view line : SplitLines(text)) {
    const ProfileLine parsed = ParseProfileLine(line);
    if (parsed.kind == ProfileLineKind::Section) {
      // Only the first section of the name is read, as the profile functions do.
      inTable = !tableSeen && EqualNoCase(parsed.name, kChargesSection);
      tableSeen = tableSeen || inTable;
      continue;
    }
    if (!inTable || parsed.kind != ProfileLineKind::Key) continue;
    std::string name(parsed.name);
    for (char& c : name) c = AsciiLower(c);
    if (name == "count") {
      if (!countText) countText = ProfileValueText(parsed.value);
    } else {
      cells.emplace(std::move(name), ProfileValueText(parsed.value));
    }
  }
  int count = 0;
  if (!countText || !ParseProfileInteger(*countText, count) || count < 1) return std::nullopt;
  count = std::min(count, kMostChargeBands);
  const ChargeRow defaults = DefaultChargeCells(rs);
  ChargeRows rows(static_cast<std::size_t>(count));
  for (int r = 1; r <= count; ++r) {
    for (int c = 0; c < kChargeColumns; ++c) {
      std::string key = ChargeCellKey(c, r);
      for (char& ch : key) ch = AsciiLower(ch);
      const auto it = cells.find(key);
      rows[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(c)] =
          it != cells.end() ? it->second : defaults[static_cast<std::size_t>(c)];
    }
  }
  return rows;
}

Options SettingsFile::LoadOptions(std::string_view windowsDirectory) const {
  const ProfileEdit edit(file_);
  Options o;
  o.ignoreBusyCalls = ReadBool(edit, kLogFileSection, kIgnoreBusyKey, true);
  o.logFileName =
      edit.ReadString(kLogFileSection, kLogFileKey, DefaultLogFileName(windowsDirectory));
  o.warnCost = ReadBool(edit, kWarnMonthlySection, kWarnKey, false);
  o.warnCostText = edit.ReadString(kWarnMonthlySection, kCostKey, "0");
  o.warnAverageCost = ReadBool(edit, kWarnAverageSection, kWarnKey, false);
  o.warnAverageCostText = edit.ReadString(kWarnAverageSection, kCostKey, "0");
  return o;
}

ChargeRows SettingsFile::LoadChargesTable(const RegionalSettings& rs) const {
  return ReadChargeRows(ProfileEdit(file_), kChargesSection, rs);
}

ChargeRows SettingsFile::LoadChargesTableReadOnly(const RegionalSettings& rs) const {
  return ReadChargeRows(file_, kChargesSection, rs);
}

int SettingsFile::LoadActivePage() const {
  return file_.ReadInteger(kPageSection, kActivePageKey, 1);
}

bool SettingsFile::ReadFirstTime() const {
  return file_.ReadBool(kFirstRunSection, kFirstTimeKey, false);
}

void SettingsFile::ClearFirstTime() {
  file_.EraseSection(kFirstRunSection);
}

void SettingsFile::Save(const Options& options, int activePage, const ChargeRows& bands) {
  Save(&options, &activePage, &bands);
}

void SettingsFile::Save(const Options* options, const int* activePage, const ChargeRows* bands) {
  if (options == nullptr && activePage == nullptr && bands == nullptr) return;
  ProfileEdit edit(file_);
  try {
    if (options != nullptr) {
      edit.WriteString(kLogFileSection, kIgnoreBusyKey, BoolText(options->ignoreBusyCalls));
      edit.WriteString(kLogFileSection, kLogFileKey, options->logFileName);
      edit.WriteString(kWarnMonthlySection, kWarnKey, BoolText(options->warnCost));
      edit.WriteString(kWarnMonthlySection, kCostKey, options->warnCostText);
      edit.WriteString(kWarnAverageSection, kWarnKey, BoolText(options->warnAverageCost));
      edit.WriteString(kWarnAverageSection, kCostKey, options->warnAverageCostText);
    }
    if (activePage != nullptr) {
      edit.WriteString(kPageSection, kActivePageKey, std::to_string(*activePage));
    }
    if (bands != nullptr) {
      edit.WriteString(kChargesSection, kCountKey, std::to_string(bands->size()));
      for (std::size_t r = 0; r < bands->size(); ++r) {
        for (int c = 0; c < kChargeColumns; ++c) {
          edit.WriteString(kChargesSection, ChargeCellKey(c, static_cast<int>(r + 1)),
                           (*bands)[r][static_cast<std::size_t>(c)]);
        }
      }
    }
  } catch (const WriteError&) {
    // The values before the refused one reach the file; the refusal is what the user sees.
    try {
      edit.Commit();
    } catch (const WriteError&) {
    }
    throw;
  }
  edit.Commit();
}

}  // namespace dorvane
