#include "platform/files.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform_test_util.h"

namespace dorvane {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
  }
  return names;
}

TEST(NativePath, MapsWindowsPathsOntoTheProgramFolder) {
  struct Case {
    const char* path;
    const char* root;
    const char* native;
  } cases[] = {
      {"\\ModemLog.txt", "/opt/dorvane", "/opt/dorvane/ModemLog.txt"},
      {"C:\\WINDOWS\\ModemLog.txt", "/opt/dorvane", "/opt/dorvane/WINDOWS/ModemLog.txt"},
      {"c:\\x", "/opt/dorvane/", "/opt/dorvane/x"},
      {"D:x.txt", "/opt/dorvane", "/opt/dorvane/x.txt"},
      {"/var/log/ModemLog.txt", "/opt/dorvane", "/var/log/ModemLog.txt"},
      {"logs\\ModemLog.txt", "/opt/dorvane", "logs/ModemLog.txt"},
      {"ModemLog.txt", "/opt/dorvane", "ModemLog.txt"},
      {"\\\\server\\share\\x", "/opt/dorvane", "//server/share/x"},
      {"\\ModemLog.txt", "", "ModemLog.txt"},
      {"\\ModemLog.txt", "/", "/ModemLog.txt"},
      {"", "/opt/dorvane", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(NativePath(c.path, c.root), c.native) << c.path;
}

TEST(ChangeFileExt, ReplacesOnlyTheFileNamesExtension) {
  struct Case {
    const char* path;
    const char* ext;
    const char* changed;
  } cases[] = {
      {"/opt/dorvane/dorvane", ".INI", "/opt/dorvane/dorvane.INI"},
      {"/opt/dorvane/dorvane.exe", ".DB", "/opt/dorvane/dorvane.DB"},
      {"/opt/v1.2/dorvane", ".DB", "/opt/v1.2/dorvane.DB"},
      {"C:\\v1.2\\DORVANE", ".HLP", "C:\\v1.2\\DORVANE.HLP"},
      {"a.b.c", ".d", "a.b.d"},
      {"x.txt", "", "x"},
  };
  for (const auto& c : cases) EXPECT_EQ(ChangeFileExt(c.path, c.ext), c.changed) << c.path;
}

TEST(SplitLines, EveryKindOfLineEnd) {
  struct Case {
    std::string text;
    std::vector<std::string_view> lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"\r\n", {""}},
      {"a\n\n", {"a", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
}

TEST(WriteFileAtomically, CreatesAndReplacesKeepingPermissions) {
  TempDir dir;
  const std::string path = dir.File("data.DB");
  ASSERT_TRUE(WriteFileAtomically(path, "first"));
  EXPECT_EQ(ReadBytes(path), "first");
  chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(path, std::string(100000, 'x')));
  EXPECT_EQ(ReadBytes(path), std::string(100000, 'x'));
  struct stat st {};
  stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"data.DB"});
}

TEST(WriteFileAtomically, ReplacesTheFileALinkNamesNotTheLink) {
  TempDir dir;
  WriteBytes(dir.File("real.ini"), "old");
  ASSERT_EQ(symlink("real.ini", dir.File("link.ini").c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(dir.File("link.ini"), "new"));
  EXPECT_EQ(ReadBytes(dir.File("real.ini")), "new");
  struct stat st {};
  lstat(dir.File("link.ini").c_str(), &st);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(WriteFileAtomically, FailureLeavesTargetAndNoTemporary) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.File("folder").c_str(), 0755), 0);
  WriteBytes(dir.File("plain"), "x");
  EXPECT_FALSE(WriteFileAtomically(dir.File("missing/data.DB"), "x"));
  EXPECT_FALSE(WriteFileAtomically(dir.File("plain/data.DB"), "x"));
  EXPECT_FALSE(WriteFileAtomically(dir.File("folder"), "x"));
  auto entries = FolderEntries(dir.Path());
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"folder", "plain"}));
  EXPECT_TRUE(FolderEntries(dir.File("folder")).empty());
}

// A process that died between writing its temporary and the rename leaves the temporary behind;
// the target still holds the old content and the next write is not disturbed by it.
TEST(WriteFileAtomically, StrayTemporaryOfADeadWriterDoesNotMatter) {
  TempDir dir;
  const std::string path = dir.File("data.DB");
  WriteBytes(path, "old");
  for (int i = 0; i < 4; ++i) {
    WriteBytes(path + ".~" + std::to_string(getpid()) + "-" + std::to_string(i) + ".tmp", "half");
  }
  EXPECT_EQ(ReadBytes(path), "old");
  ASSERT_TRUE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(ReadBytes(path), "new");
}

TEST(RealFileSystem, WorksThroughTheDriveRoot) {
  TempDir dir;
  RealFileSystem fs(dir.Path());
  EXPECT_FALSE(fs.Exists("\\ModemLog.txt"));
  EXPECT_FALSE(fs.ReadAll("\\ModemLog.txt").has_value());
  EXPECT_FALSE(fs.Stamp("\\ModemLog.txt").has_value());
  EXPECT_FALSE(fs.Delete("\\ModemLog.txt"));

  WriteBytes(dir.File("ModemLog.txt"), "line\r\n");
  EXPECT_TRUE(fs.Exists("C:\\ModemLog.txt"));
  EXPECT_EQ(fs.ReadAll("\\ModemLog.txt"), "line\r\n");
  EXPECT_EQ(fs.Stamp(dir.File("ModemLog.txt"))->size, 6u);
  EXPECT_TRUE(fs.Delete("\\ModemLog.txt"));
  EXPECT_FALSE(fs.Exists(dir.File("ModemLog.txt")));

  EXPECT_FALSE(fs.Exists(dir.Path()));  // a folder is not a file
}

}  // namespace
}  // namespace dorvane
