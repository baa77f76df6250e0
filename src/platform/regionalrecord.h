// The regional settings a data folder's files are written in, kept in the folder's registry
// file where the classic platform keeps a user's regional settings. Every program that works
// on the folder reads and writes its files in these, whatever its own environment says.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/regional.h"
#include "platform/registry.h"

namespace dorvane {

inline constexpr const char* kRegionalSettingsKey =
    "HKEY_CURRENT_USER\\Control Panel\\International";

// The settings recorded in the registry; nullopt when none are (no "sDecimal" value). A value
// missing from a record keeps the built-in default of its field.
std::optional<RegionalSettings> ReadRecordedRegional(Registry& registry);

// A change of notation under way: the new settings wait under this key, and the value
// kPendingNotationValue of the settings' own key holds the digest of the settings file as it
// is once converted (empty or absent when no change is under way).
inline constexpr const char* kPendingRegionalKey =
    "HKEY_CURRENT_USER\\Control Panel\\International\\Dorvane Pending";
inline constexpr const char* kPendingNotationValue = "sDorvanePending";

// Records every field, in one write, and ends any change under way. Throws what the registry
// throws.
void RecordRegional(Registry& registry, const RegionalSettings& rs);

// Notes a change to `to` before any file is replaced: from now until RecordRegional, a settings
// file whose digest is `settingsDigest` is read in `to`, any other in the recorded settings.
void RecordPendingRegional(Registry& registry, const RegionalSettings& to,
                           const std::string& settingsDigest);

// The size and a 64-bit hash of a file's bytes, as text.
std::string SettingsDigest(std::string_view text);

// The settings file's bytes; nullopt when it cannot be read.
using SettingsText = std::function<std::optional<std::string>()>;

// The folder's settings: the recorded ones, or else `environment`, which are then recorded
// when `record` is set. A record that cannot be written leaves the environment's settings in
// force for this run; the next start records them. When a change of notation stopped part way,
// `settingsText` decides which settings the folder is in (see RecordPendingRegional), and with
// `record` that choice is recorded.
RegionalSettings FolderRegional(Registry& registry, const RegionalSettings& environment,
                                bool record, const SettingsText& settingsText = {});

}  // namespace dorvane
