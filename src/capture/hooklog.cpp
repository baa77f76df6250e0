#include "capture/hooklog.h"

#include <sys/stat.h>

#include "platform/linereader.h"

namespace dorvane {

namespace {

std::optional<std::int64_t> PlainNumber(std::string_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::string CallNoteText(const CallNote& note, std::string_view stamp) {
  std::string text = std::to_string(note.pid) + "\n" + std::to_string(note.dialledAt) + "\n";
  text.append(stamp).append("\n");
  return text;
}

std::optional<CallNote> ParseCallNote(std::string_view text) {
  // The first two lines, each ended: a note is written beside and renamed, never cut, but a
  // reader must not take half a number from anything else. Lines after them are the hook's.
  LineCursor lines(text);
  std::string_view pidLine;
  std::string_view atLine;
  std::string_view end;
  if (!lines.Next(pidLine, end) || end != "\n" || !lines.Next(atLine, end) || end != "\n") {
    return std::nullopt;
  }
  const auto pid = PlainNumber(pidLine);
  const auto at = PlainNumber(atLine);
  if (!pid || !at || *pid == 0) return std::nullopt;
  return CallNote{*pid, *at};
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace dorvane
