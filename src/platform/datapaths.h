// Where the program's own files lie: the settings file, the call store, the registry file and
// the help file. Every reader, writer and delete of those files, in the program and in its
// companion tools, takes its path from here, so that all of them meet the same file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dorvane {

// What the path rules look at in the running process, so that tests can hand in their own.
class ProcessEnvironment {
 public:
  virtual ~ProcessEnvironment() = default;
  // An environment variable; nullopt when it is not set.
  virtual std::optional<std::string> Variable(const char* name) const = 0;
  // The running executable's absolute path, links resolved.
  virtual std::string ExecutablePath() const = 0;
  // True when this user may make and replace files in `folder`.
  virtual bool FolderWritable(const std::string& folder) const;
};

// The real process: getenv, with the password database's home folder when HOME is not set, and
// /proc/self/exe.
class SystemEnvironment : public ProcessEnvironment {
 public:
  std::optional<std::string> Variable(const char* name) const override;
  std::string ExecutablePath() const override;
};

struct DataPaths {
  // Installed: the help file lies in <prefix>/share/dorvane/, the data in the user's folder.
  // Portable: everything beside the executable, named after it.
  bool installed = false;
  // The folder of the data files; it also stands for the drive root of Windows paths.
  std::string folder;
  std::string settings;  // .INI
  std::string store;     // .DB
  std::string registry;  // .REG
  std::string help;      // .HLP
  // No help file where the rule looked for it: the program runs on, in the data folder, and
  // says so.
  bool helpMissing = false;
};

// The program's files as they lie beside a program at `exePath`: the path with its extension
// replaced by ".INI", ".DB", ".REG" and ".HLP".
DataPaths PortableDataPaths(std::string_view exePath);

// The one rule for the program's files. `programName` names the program whose files are meant;
// empty means the running executable itself, and a companion tool beside the program passes
// "dorvane". The program is portable when its folder is the user's own: its help file
// "<name>.HLP" lies beside the executable (as in the build tree) and the user may write that
// folder, or the folder already holds the program's .INI, .DB or .REG. Otherwise its data files are
// <name>.INI, .DB and .REG in $XDG_DATA_HOME/Dorvane (an absolute XDG_DATA_HOME; otherwise
// $HOME/.local/share/Dorvane), and nothing is written beside the program: the help is the one
// beside it, or <prefix>/share/dorvane/<name>.HLP for an executable in <prefix>/bin; when neither
// exists, `helpMissing` says so. Paths are native: a backslash in a folder name is a character of
// that name.
DataPaths FindDataPaths(const ProcessEnvironment& env, std::string_view programName = {});

// Creates the data folder of an installed program with mode 700 (and its missing parents) when
// it is absent. False when it cannot be made; the first write then reports the failure.
bool CreateDataFolder(const DataPaths& paths);

// Removes the temporaries that dead writers left beside the three data files; a running
// instance's temporaries are left alone. Says nothing.
void RemoveStaleDataTemporaries(const DataPaths& paths);

}  // namespace dorvane
