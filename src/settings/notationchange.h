// Changing the notation a data folder's files are written in: the call store, the charges tables
// and the threshold texts of the settings file are rewritten in the new notation, then the new
// settings are recorded, in an order that leaves a readable folder wherever it stops.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "charges/chargerow.h"
#include "platform/regional.h"
#include "platform/registry.h"

namespace dorvane {

// The settings file's text with every notation-bound cell rewritten from `from` to `to`: in
// every charges table ("strgrdCost" and the dated "strgrdCost YYYY-MM-DD") the day names of a
// band's Days cell (not the catch-all band's), both times of a Time cell, and the decimal
// separator of the four typed numbers; and the two cost thresholds. A cell that does not read
// in `from` is left as it is, and so is every other byte of the file.
std::string SettingsTextInNotation(std::string_view text, const RegionalSettings& from,
                                   const RegionalSettings& to);

// A typed number with its decimal separator that of `to`; the text as it is when it is no number
// in `from`.
std::string NumberTextInNotation(std::string_view text, const RegionalSettings& from,
                                 const RegionalSettings& to);

// The bands of a charges table (the window's grid) rewritten as SettingsTextInNotation rewrites
// those of the file.
ChargeRows ChargeRowsInNotation(const ChargeRows& rows, const RegionalSettings& from,
                                const RegionalSettings& to);

// The points between the steps of a change, for a test that stops it there.
enum class NotationStep { kFilesWritten, kChangeNoted, kStoreReplaced, kSettingsReplaced };

// Rewrites the store and the settings file from `from` to `to` and records `to` in the registry,
// under the store's lock. Both new files are written completely beside their targets first; then
// the change is noted in the registry with the digest of the new settings file, the store is
// renamed into place (it reads in either notation), then the settings file, and last `to` is
// recorded, which ends the change. Stopped between those steps, the folder reads in the
// notation its settings file is in (FolderRegional). A missing file is not made. Throws
// WriteError "Unable to write to %s" when a file cannot be read or written, and what the
// registry throws; up to the note in the registry nothing has changed.
void ConvertFolderNotation(const std::string& storePath, const std::string& settingsPath,
                           Registry& registry, const RegionalSettings& from,
                           const RegionalSettings& to,
                           const std::function<void(NotationStep)>& afterStep = {});

// One line on the notation: a money amount, a date and a time, e.g. "1.234,56 € 31.12.2026
// 17:59:59" for German settings.
std::string NotationSample(const RegionalSettings& rs);

}  // namespace dorvane
