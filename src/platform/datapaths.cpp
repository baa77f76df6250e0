#include "platform/datapaths.h"

#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/files.h"

namespace dorvane {

namespace {

constexpr std::string_view kInstalledHelpFolder = "share/dorvane";
constexpr std::string_view kDataFolderName = "Dorvane";
constexpr std::string_view kDefaultDataHome = ".local/share";

std::string Join(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (out.empty() || out.back() != '/') out += '/';
  out += name;
  return out;
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The name a file of the program takes: the executable's own name without its extension, or the
// program named by a companion tool.
std::string ProgramStem(std::string_view exePath, std::string_view programName) {
  if (!programName.empty()) return std::string(programName);
  return ChangeFileExt(exePath.substr(exePath.rfind('/') + 1), "");
}

DataPaths NamedIn(std::string folder, const std::string& stem) {
  DataPaths paths;
  paths.settings = Join(folder, stem + ".INI");
  paths.store = Join(folder, stem + ".DB");
  paths.registry = Join(folder, stem + ".REG");
  paths.help = Join(folder, stem + ".HLP");
  paths.folder = std::move(folder);
  return paths;
}

}  // namespace

std::optional<std::string> SystemEnvironment::Variable(const char* name) const {
  if (const char* value = std::getenv(name)) return std::string(value);
  if (std::string_view(name) == "HOME") {
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
      return std::string(user->pw_dir);
    }
  }
  return std::nullopt;
}

std::string SystemEnvironment::ExecutablePath() const {
  std::string path(PATH_MAX, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0) return {};
  path.resize(static_cast<std::size_t>(length));
  return path;
}

bool ProcessEnvironment::FolderWritable(const std::string& folder) const {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

DataPaths PortableDataPaths(std::string_view exePath) {
  DataPaths paths;
  paths.folder = FolderOf(exePath);
  paths.settings = ChangeFileExt(exePath, ".INI");
  paths.store = ChangeFileExt(exePath, ".DB");
  paths.registry = ChangeFileExt(exePath, ".REG");
  paths.help = ChangeFileExt(exePath, ".HLP");
  return paths;
}

DataPaths FindDataPaths(const ProcessEnvironment& env, std::string_view programName) {
  const std::string exe = env.ExecutablePath();
  const std::string exeFolder = FolderOf(exe);
  const std::string stem = ProgramStem(exe, programName);
  DataPaths portable =
      programName.empty() ? PortableDataPaths(exe) : NamedIn(exeFolder, std::string(programName));
  // The folder is the user's own when the help lies beside the program in a folder the user
  // may write, or when it already holds the program's files: those are never left behind.
  const bool helpBeside = IsRegularFile(portable.help);
  if (helpBeside && env.FolderWritable(exeFolder)) return portable;
  for (const std::string* file : {&portable.settings, &portable.store, &portable.registry}) {
    if (IsRegularFile(*file)) return portable;
  }

  // <prefix>/bin/<program> with <prefix>/share/dorvane/<name>.HLP. A program whose folder is
  // not the user's own never writes there, with or without its help.
  std::string help = portable.help;
  if (!helpBeside) {
    const auto slash = exeFolder.rfind('/');
    if (slash != std::string::npos && exeFolder.substr(slash + 1) == "bin") {
      const std::string prefix = slash == 0 ? "/" : exeFolder.substr(0, slash);
      help = Join(Join(prefix, kInstalledHelpFolder), stem + ".HLP");
    }
  }

  // The XDG rule: a relative XDG_DATA_HOME is to be ignored.
  std::string dataHome;
  if (auto xdg = env.Variable("XDG_DATA_HOME"); xdg && !xdg->empty() && xdg->front() == '/') {
    dataHome = *xdg;
  } else if (auto home = env.Variable("HOME"); home && !home->empty()) {
    dataHome = Join(*home, kDefaultDataHome);
  } else {
    dataHome = Join("/", kDefaultDataHome);  // no home at all: never the prefix, though
  }
  DataPaths installed = NamedIn(Join(dataHome, kDataFolderName), stem);
  installed.installed = true;
  installed.help = help;
  installed.helpMissing = !IsRegularFile(help);
  return installed;
}

bool CreateDataFolder(const DataPaths& paths) {
  if (!paths.installed) return true;
  // Every missing folder on the way is made private to the user, as the XDG rules ask.
  std::vector<std::string> missing;
  std::string folder = paths.folder;
  struct stat st {};
  while (folder.size() > 1 && ::stat(folder.c_str(), &st) != 0 && errno == ENOENT) {
    missing.push_back(folder);
    folder = FolderOf(folder);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (::mkdir(it->c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return ::stat(paths.folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void RemoveStaleDataTemporaries(const DataPaths& paths) {
  for (const std::string* file : {&paths.settings, &paths.store, &paths.registry}) {
    RemoveStaleTemporaries(*file);
  }
}

}  // namespace dorvane
