#include "session/autostart.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/error.h"
#include "platform/files.h"

namespace dorvane {

namespace {

// The line that marks an entry as the program's own.
constexpr std::string_view kOwnMark = "X-Dorvane-Check=true";
constexpr const char* kNotOurs = "'%s' was not written by Dorvane and is left as it is";

// The desktop entry's Exec quoting: a path with blanks or specials goes in double quotes, with
// the four characters that need it escaped.
std::string ExecArgument(std::string_view path) {
  bool plain = !path.empty();
  for (char c : path) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '/' || c == '.' || c == '_' ||
          c == '-' || c == '+')) {
      plain = false;
    }
  }
  if (plain) return std::string(path);
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    // A percent sign is a field code unless doubled.
    if (c == '%') quoted += '%';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string AutostartPath(const ProcessEnvironment& env) {
  std::string folder;
  const auto config = env.Variable("XDG_CONFIG_HOME");
  if (config && !config->empty() && config->front() == '/') {
    folder = *config;
  } else {
    const auto home = env.Variable("HOME");
    if (!home || home->empty()) return {};
    folder = *home + "/.config";
  }
  return folder + "/autostart/" + kAutostartFileName;
}

std::string AutostartEntry(std::string_view exePath) {
  std::string entry = "[Desktop Entry]\n";
  entry += "Type=Application\n";
  entry += "Name=Dorvane check\n";
  entry += "Comment=Records new calls and warns when this month's cost has passed its limit\n";
  entry += "Exec=" + ExecArgument(exePath) + " CHECK\n";
  entry += "Icon=dorvane\n";
  entry += "Terminal=false\n";
  entry += "NoDisplay=true\n";
  entry += std::string(kOwnMark) + "\n";
  return entry;
}

bool IsOwnAutostartEntry(std::string_view text) {
  for (const std::string_view line : SplitLines(text)) {
    if (line == kOwnMark) return true;
  }
  return false;
}

bool AutostartEnabled(const std::string& path) {
  if (path.empty()) return false;
  const auto text = ReadWholeFile(path);
  return text && IsOwnAutostartEntry(*text);
}

void SetAutostart(const std::string& path, std::string_view exePath, bool enabled) {
  namespace fs = std::filesystem;
  if (path.empty()) throw WriteError(FormatMessage("Unable to write to %s", kAutostartFileName));
  std::error_code ec;
  const bool exists = fs::exists(fs::symlink_status(path, ec));
  if (exists) {
    const auto text = ReadWholeFile(path);
    if (!text || !IsOwnAutostartEntry(*text)) throw Error(FormatMessage(kNotOurs, path));
  }
  if (!enabled) {
    if (exists && !fs::remove(path, ec)) {
      throw WriteError(FormatMessage("Unable to write to %s", path));
    }
    return;
  }
  fs::create_directories(fs::path(path).parent_path(), ec);
  if (!WriteFileAtomically(path, AutostartEntry(exePath))) {
    throw WriteError(FormatMessage("Unable to write to %s", path));
  }
}

}  // namespace dorvane
