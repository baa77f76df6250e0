// Where the pppd hook keeps the modem log on Linux, and the probe that finds that folder.
#pragma once

#include <functional>
#include <string>

namespace dorvane {

// The hook writes ModemLog.txt here; when the folder exists it stands for the Windows directory.
inline constexpr const char* kHookLogFolder = "/var/log/dorvane";

// Whether a path names a folder; a seam so tests decide what the machine holds.
using FolderProbe = std::function<bool(const std::string& path)>;

// The real probe: true for a folder or a link to one.
bool FolderExists(const std::string& path);

}  // namespace dorvane
