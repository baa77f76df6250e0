#include "platform/datapaths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "support/files.h"

namespace dorvane {
namespace {

using testing::ReadBytes, testing::TempDir, testing::WriteBytes;

class FakeEnvironment : public ProcessEnvironment {
 public:
  std::optional<std::string> Variable(const char* name) const override {
    auto it = variables.find(name);
    if (it == variables.end()) return std::nullopt;
    return it->second;
  }
  std::string ExecutablePath() const override { return exe; }
  bool FolderWritable(const std::string& folder) const override {
    return readOnly.count(folder) == 0;
  }

  std::string exe;
  std::set<std::string> readOnly;
  std::map<std::string, std::string> variables;
};

void Touch(const std::string& path) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  WriteBytes(path, "");
}

TEST(FindDataPaths, PortableBesideTheProgramInstalledInTheUsersDataFolder) {
  TempDir dir;
  const std::string d = dir.Path();
  // A build tree and a folder of the user's own, each with the help file beside the program.
  Touch(d + "/build/bin/dorvane.HLP");
  Touch(d + "/my\\tools/dorvane.HLP");
  // An installed program.
  Touch(d + "/usr/share/dorvane/dorvane.HLP");
  Touch(d + "/shared/dorvane.HLP");
  Touch(d + "/kept/dorvane.DB");
  const std::string userData = d + "/home/.local/share/Dorvane";
  const std::string installedHelp = d + "/usr/share/dorvane/dorvane.HLP";
  struct Case {
    std::string exe;
    std::string program;  // a companion tool names the program whose files it means
    std::map<std::string, std::string> env;
    bool installed;
    std::string folder;  // the settings, the store and the registry file in it
    std::string help;
  } cases[] = {
      {d + "/build/bin/dorvane", "", {}, false, d + "/build/bin", d + "/build/bin/dorvane.HLP"},
      {d + "/build/bin/dorvane-report",
       "dorvane",
       {},
       false,
       d + "/build/bin",
       d + "/build/bin/dorvane.HLP"},
      // A backslash is part of the folder's name, never a separator.
      {d + "/my\\tools/dorvane", "", {}, false, d + "/my\\tools", d + "/my\\tools/dorvane.HLP"},
      // An installed program whose help file went missing keeps to the user's data folder.
      {d + "/copy/bin/dorvane",
       "",
       {{"HOME", d + "/home"}},
       true,
       userData,
       d + "/copy/share/dorvane/dorvane.HLP"},
      // A folder that holds the program's files stays portable, even without the help.
      {d + "/kept/dorvane",
       "",
       {{"HOME", d + "/home"}},
       false,
       d + "/kept",
       d + "/kept/dorvane.HLP"},
      // A folder the user may not write is not the user's own, help beside it or not.
      {d + "/shared/dorvane",
       "",
       {{"HOME", d + "/home"}},
       true,
       userData,
       d + "/shared/dorvane.HLP"},
      {d + "/usr/bin/dorvane",
       "",
       {{"XDG_DATA_HOME", d + "/xdg"}, {"HOME", d + "/home"}},
       true,
       d + "/xdg/Dorvane",
       installedHelp},
      {d + "/usr/bin/dorvane-import",
       "dorvane",
       {{"HOME", d + "/home"}},
       true,
       userData,
       installedHelp},
      // A relative XDG_DATA_HOME is ignored, as is an empty one.
      {d + "/usr/bin/dorvane",
       "",
       {{"XDG_DATA_HOME", "rel"}, {"HOME", d + "/home"}},
       true,
       userData,
       installedHelp},
      {d + "/usr/bin/dorvane",
       "",
       {{"XDG_DATA_HOME", ""}, {"HOME", d + "/home/"}},
       true,
       userData,
       installedHelp},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exe);
    FakeEnvironment env;
    env.exe = c.exe;
    env.variables = c.env;
    env.readOnly = {d + "/shared"};
    const DataPaths paths = FindDataPaths(env, c.program);
    EXPECT_EQ(paths.installed, c.installed);
    EXPECT_EQ(paths.folder, c.folder);
    EXPECT_EQ(paths.settings, c.folder + "/dorvane.INI");
    EXPECT_EQ(paths.store, c.folder + "/dorvane.DB");
    EXPECT_EQ(paths.registry, c.folder + "/dorvane.REG");
    EXPECT_EQ(paths.help, c.help);
    EXPECT_EQ(paths.helpMissing, c.installed && !std::filesystem::exists(c.help));
  }
}

TEST(CreateDataFolder, MakesThePrivateFolderOnlyForAnInstalledProgram) {
  TempDir dir;
  DataPaths installed;
  installed.installed = true;
  installed.folder = dir.File("home/.local/share/Dorvane");
  ASSERT_TRUE(CreateDataFolder(installed));
  for (const char* folder : {"home", "home/.local/share/Dorvane"}) {
    struct stat st {};
    ASSERT_EQ(stat(dir.File(folder).c_str(), &st), 0) << folder;
    EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
  }
  DataPaths portable;
  portable.folder = dir.File("elsewhere");
  EXPECT_TRUE(CreateDataFolder(portable));
  EXPECT_FALSE(std::filesystem::exists(portable.folder));
}

// The writer of a data file and every reader and delete meet the same file, whatever characters
// its folder's name holds.
TEST(FindDataPaths, ReadersWritersAndDeletesMeetTheSameFile) {
  TempDir dir;
  Touch(dir.File("a\\b/dorvane.HLP"));
  Touch(dir.File("a/b/dorvane.DB"));  // what a reader turning "\" into "/" would meet
  FakeEnvironment env;
  env.exe = dir.File("a\\b/dorvane");
  const DataPaths paths = FindDataPaths(env);
  ProfileFile(paths.store).WriteString("1998-7", "36006.5", "36006.6");
  RealFileSystem fs(paths.folder, {paths.settings, paths.store, paths.registry, paths.help});
  EXPECT_EQ(fs.ReadAll(paths.store), "[1998-7]\r\n36006.5=36006.6\r\n");
  EXPECT_TRUE(fs.Delete(paths.store));
  EXPECT_FALSE(fs.Exists(paths.store));
  EXPECT_EQ(ReadBytes(dir.File("a/b/dorvane.DB")), "");
  RegFileRegistry registry(paths.registry);
  registry.WriteString("Setup", "WinDir", "a");
  registry.WriteString("Setup", "WinDir", "b");
  EXPECT_EQ(registry.ReadString("Setup", "WinDir"), "b");
  // Paths the user typed are still Windows paths, rooted in the data folder.
  WriteBytes(dir.File("a\\b/ModemLog.txt"), "log");
  EXPECT_EQ(fs.ReadAll("\\ModemLog.txt"), "log");
}

}  // namespace
}  // namespace dorvane
