// The regional settings a data folder's files are written in, kept in the folder's registry
// file where the classic platform keeps a user's regional settings. Every program that works
// on the folder reads and writes its files in these, whatever its own environment says.
#pragma once

#include <optional>

#include "platform/regional.h"
#include "platform/registry.h"

namespace dorvane {

inline constexpr const char* kRegionalSettingsKey =
    "HKEY_CURRENT_USER\\Control Panel\\International";

// The settings recorded in the registry; nullopt when none are (no "sDecimal" value). A value
// missing from a record keeps the built-in default of its field.
std::optional<RegionalSettings> ReadRecordedRegional(Registry& registry);

// Records every field, in one write. Throws what the registry throws.
void RecordRegional(Registry& registry, const RegionalSettings& rs);

// The folder's settings: the recorded ones, or else `environment`, which are then recorded
// when `record` is set. A record that cannot be written leaves the environment's settings in
// force for this run; the next start records them.
RegionalSettings FolderRegional(Registry& registry, const RegionalSettings& environment,
                                bool record);

}  // namespace dorvane
