// "Check calls and warn at login": an entry in the user's autostart folder that runs a check
// when the desktop session starts, as the classic program's start-up folder shortcut did.
#pragma once

#include <string>
#include <string_view>

#include "platform/datapaths.h"

namespace dorvane {

inline constexpr const char* kAutostartFileName = "dorvane-check.desktop";
inline constexpr const char* kAutostartCaption = "Check calls and warn at login";

// $XDG_CONFIG_HOME/autostart/dorvane-check.desktop (an absolute XDG_CONFIG_HOME), else
// $HOME/.config/autostart/...; empty when neither is known.
std::string AutostartPath(const ProcessEnvironment& env);

// The entry that runs the program at `exePath` with "CHECK".
std::string AutostartEntry(std::string_view exePath);

// True when the text is an entry this program wrote: only that may be replaced or removed.
bool IsOwnAutostartEntry(std::string_view text);

// Writes the entry (making the folder) or removes it. Throws "Unable to write to %s" when the
// entry cannot be written, and refuses to replace or remove a file of that name that this
// program did not write.
void SetAutostart(const std::string& path, std::string_view exePath, bool enabled);

// True when the path holds this program's entry.
bool AutostartEnabled(const std::string& path);

}  // namespace dorvane
