// Where the pppd hook keeps the modem log on Linux, and the probe that finds that folder.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace dorvane {

// The hook writes ModemLog.txt here; when the folder exists it stands for the Windows directory.
inline constexpr const char* kHookLogFolder = "/var/log/dorvane";

// While a link is up, the hook notes its dial in this folder as ".<interface>.call" (".ppp0.call"),
// written at ip-up and removed at ip-down: a regular file of root's, mode 644, of three lines
// ending in LF: pppd's process id, the dial in seconds since 1970-01-01 UTC, and the dial as a
// modem-log stamp in local time ("MM-DD-YYYY HH:MM:SS.00"). A reader takes it only when it is
// root's regular file (the folder's group may plant others).
inline constexpr const char* kHookDialNotePrefix = ".";
inline constexpr const char* kHookDialNoteSuffix = ".call";

// What a note says: the pppd process that holds the link, and the moment it was dialled in
// seconds since 1970.
struct CallNote {
  std::int64_t pid = 0;
  std::int64_t dialledAt = 0;
};

// The note's text: the two numbers and the dial's modem-log stamp, each line ended by LF.
std::string CallNoteText(const CallNote& note, std::string_view stamp);

// A note begins with two lines, the pppd process number and the dial moment, each a plain
// decimal number ended by LF; further lines are not read. Anything else (a note cut off while
// it was written, a foreign file) is no note.
std::optional<CallNote> ParseCallNote(std::string_view text);

// Whether a path names a folder; a seam so tests decide what the machine holds.
using FolderProbe = std::function<bool(const std::string& path)>;

// The real probe: true for a folder or a link to one.
bool FolderExists(const std::string& path);

}  // namespace dorvane
