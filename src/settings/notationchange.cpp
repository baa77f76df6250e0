#include "settings/notationchange.h"

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "capture/storemerge.h"
#include "charges/chargestable.h"
#include "platform/ascii.h"
#include "platform/datetime.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/regionalrecord.h"
#include "settings/settingsfile.h"

namespace dorvane {

namespace {

bool IsChargesSection(std::string_view name) {
  const std::string_view base = kChargesSection;
  return EqualNoCase(name, base) ||
         (name.size() > base.size() && EqualNoCase(name.substr(0, base.size()), base) &&
          name[base.size()] == ' ');
}

// "Cell<column><row>": the column digit and the row number; false for any other key.
bool ParseCellKey(std::string_view key, int& column, int& row) {
  if (key.size() < 6 || !EqualNoCase(key.substr(0, 4), "Cell")) return false;
  const char c = key[4];
  if (c < '0' || c >= '0' + kChargeColumns) return false;
  column = c - '0';
  return TryStrToInt(key.substr(5), row) && row >= 1;
}

std::optional<std::string> NumberIn(std::string_view text, const RegionalSettings& from,
                                    const RegionalSettings& to) {
  double value = 0;
  if (!TryStrToFloat(from, text, value)) return std::nullopt;
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text.substr(i, from.decimalSeparator.size()) == from.decimalSeparator &&
        !from.decimalSeparator.empty()) {
      out += to.decimalSeparator;
      i += from.decimalSeparator.size();
    } else {
      out += text[i++];
    }
  }
  double back = 0;
  if (!TryStrToFloat(to, out, back) || back != value) return std::nullopt;
  return out;
}

std::optional<std::string> DaysIn(std::string_view cell, const RegionalSettings& from,
                                  const RegionalSettings& to) {
  DaySet days{};
  bool any = false;
  for (int d = 1; d <= 7; ++d) {
    days[static_cast<std::size_t>(d)] = BandHasDay(from, d, cell);
    any = any || days[static_cast<std::size_t>(d)];
  }
  if (!any) return std::nullopt;
  return DaysText(to, days);
}

std::optional<std::string> TimesIn(std::string_view cell, const RegionalSettings& from,
                                   const RegionalSettings& to) {
  std::string_view fromPart;
  std::string_view toPart;
  try {
    SplitTimeCell(cell, fromPart, toPart);
  } catch (const Error&) {
    return std::nullopt;
  }
  TDateTime a = 0;
  TDateTime b = 0;
  if (!TryStrToTime(from, fromPart, a) || !TryStrToTime(from, toPart, b)) return std::nullopt;
  return TimeWindowText(to, a, b);
}

void Stop(const std::function<void(NotationStep)>& afterStep, NotationStep step) {
  if (afterStep) afterStep(step);
}

// The cell rewritten; nullopt when it stays as it is.
std::optional<std::string> CellIn(int column, bool catchAll, std::string_view cell,
                                  const RegionalSettings& from, const RegionalSettings& to) {
  if (column == 0) return catchAll ? std::nullopt : DaysIn(cell, from, to);
  if (column == 1) return TimesIn(cell, from, to);
  return NumberIn(cell, from, to);
}

}  // namespace

std::string NumberTextInNotation(std::string_view text, const RegionalSettings& from,
                                 const RegionalSettings& to) {
  return NumberIn(text, from, to).value_or(std::string(text));
}

ChargeRows ChargeRowsInNotation(const ChargeRows& rows, const RegionalSettings& from,
                                const RegionalSettings& to) {
  ChargeRows out = rows;
  for (std::size_t r = 0; r < out.size(); ++r) {
    for (int c = 0; c < kChargeColumns; ++c) {
      std::string& cell = out[r][static_cast<std::size_t>(c)];
      if (auto value = CellIn(c, r + 1 == out.size(), cell, from, to)) cell = *value;
    }
  }
  return out;
}

std::string SettingsTextInNotation(std::string_view text, const RegionalSettings& from,
                                   const RegionalSettings& to) {
  // The band count of each charges section, to tell its catch-all band.
  std::vector<std::pair<std::string, int>> counts;
  {
    std::string section;
    for (std::string_view line : SplitLines(text)) {
      const ProfileLine parsed = ParseProfileLine(line);
      if (parsed.kind == ProfileLineKind::Section) section = std::string(parsed.name);
      int count = 0;
      if (parsed.kind == ProfileLineKind::Key && IsChargesSection(section) &&
          EqualNoCase(parsed.name, "Count") &&
          ParseProfileInteger(ProfileValueText(parsed.value), count)) {
        bool known = false;
        for (const auto& [name, n] : counts) known = known || EqualNoCase(name, section);
        if (!known) counts.emplace_back(section, count);
      }
    }
  }
  std::string out;
  out.reserve(text.size());
  std::string_view section;
  int count = 0;
  LineCursor lines(text);
  std::string_view line;
  std::string_view lineEnd;
  while (lines.Next(line, lineEnd)) {
    const ProfileLine parsed = ParseProfileLine(line);
    std::optional<std::string> value;
    if (parsed.kind == ProfileLineKind::Section) {
      section = parsed.name;
      count = 0;
      for (const auto& [name, n] : counts) {
        if (EqualNoCase(name, section)) count = n;
      }
    } else if (parsed.kind == ProfileLineKind::Key) {
      const std::string cell = ProfileValueText(parsed.value);
      int column = 0;
      int row = 0;
      if (IsChargesSection(section) && ParseCellKey(parsed.name, column, row)) {
        value = CellIn(column, row >= count, cell, from, to);
      } else if ((EqualNoCase(section, kWarnMonthlySection) ||
                  EqualNoCase(section, kWarnAverageSection)) &&
                 EqualNoCase(parsed.name, "Cost")) {
        value = NumberIn(cell, from, to);
      }
      if (value && *value == cell) value.reset();
    }
    if (value) {
      out.append(parsed.name);
      out += '=';
      out += *value;
    } else {
      out.append(line);
    }
    out.append(lineEnd);
  }
  return out;
}

void ConvertFolderNotation(const std::string& storePath, const std::string& settingsPath,
                           Registry& registry, const RegionalSettings& from,
                           const RegionalSettings& to,
                           const std::function<void(NotationStep)>& afterStep) {
  // The store's lock is the folder's: no merge, import or save runs while the files change.
  FileLock lock(storePath);
  std::optional<AtomicFileWriter> store;
  if (::access(storePath.c_str(), F_OK) == 0) {
    store.emplace(storePath);
    if (!store->IsOpen() || !WriteStoreInNotation(storePath, to, *store)) {
      ThrowProfileWriteError(storePath);
    }
  }
  std::optional<AtomicFileWriter> settings;
  std::string digest;
  if (const auto text = ReadWholeFile(settingsPath)) {
    const std::string converted = SettingsTextInNotation(*text, from, to);
    digest = SettingsDigest(converted);
    settings.emplace(settingsPath);
    if (!settings->Write(converted)) ThrowProfileWriteError(settingsPath);
  }
  Stop(afterStep, NotationStep::kFilesWritten);
  if (settings) RecordPendingRegional(registry, to, digest);
  Stop(afterStep, NotationStep::kChangeNoted);
  if (store && !store->Commit()) ThrowProfileWriteError(storePath);
  Stop(afterStep, NotationStep::kStoreReplaced);
  if (settings && !settings->Commit()) ThrowProfileWriteError(settingsPath);
  Stop(afterStep, NotationStep::kSettingsReplaced);
  RecordRegional(registry, to);
}

std::string NotationSample(const RegionalSettings& rs) {
  const TDateTime sample = EncodeDate(2026, 12, 31) + EncodeTime(17, 59, 59, 0);
  return MoneyToStr(rs, 1234.56) + " " + DateToStr(rs, sample) + " " + TimeToStr(rs, sample);
}

}  // namespace dorvane
