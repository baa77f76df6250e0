#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/files.h"

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

// Two runs that find one handed-over log: only one imports it, and a log already gone is no
// claim at all.
TEST(ClaimFile, OneReaderAtATimeAndOnlyTheFileNamed) {
  TempDir dir;
  const std::string path = dir.File("ModemLog.txt.import");
  ASSERT_TRUE(WriteBytes(path, "log"));
  RealFileSystem files(dir.Path());
  FileSystem::Claim first = files.ClaimFile(path);
  ASSERT_TRUE(first);
  EXPECT_FALSE(files.ClaimFile(path));
  first.reset();
  EXPECT_TRUE(files.ClaimFile(path));
  EXPECT_FALSE(files.ClaimFile(dir.File("gone")));
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

// Runs `work` in a child process as the unprivileged user "nobody"; its exit status 0 means true.
// Skips (returns nullopt) when this process cannot change its user.
std::optional<bool> AsNobody(const std::function<bool()>& work) {
  if (geteuid() != 0) return std::nullopt;
  pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    _exit(work() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) return std::nullopt;
  return WEXITSTATUS(status) == 0;
}

// A file the user may not write is refused, whoever runs the program: the superuser is refused a
// file without write bits, as the classic read-only attribute refused everybody.
TEST(AtomicFileWriter, RefusesFilesThisUserMayNotWrite) {
  TempDir dir;
  chmod(dir.Path().c_str(), 0777);
  const std::string path = dir.File("data.INI");
  WriteBytes(path, "old");
  for (mode_t mode : {0444, 0400, 0000}) {
    SCOPED_TRACE(mode);
    chmod(path.c_str(), mode);
    EXPECT_FALSE(MayWriteFile(path));
    AtomicFileWriter writer(path);
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_FALSE(writer.Write("new"));
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(ReadBytes(path), "old");
  }
  // Someone else's file, writable only by its owner.
  chmod(path.c_str(), 0644);
  const auto refused = AsNobody([&] { return !WriteFileAtomically(path, "new"); });
  EXPECT_NE(refused, std::optional<bool>(false));
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"data.INI"});
}

TEST(AtomicFileWriter, ReplacedFileKeepsModeOwnerAndGroup) {
  TempDir dir;
  const std::string path = dir.File("data.DB");
  WriteBytes(path, "old");
  chmod(path.c_str(), 0604);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
  }
  AtomicFileWriter writer(path);
  ASSERT_TRUE(writer.IsOpen());
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(writer.Write(std::string(100, 'a' + i % 26)));
  EXPECT_EQ(ReadBytes(path), "old");  // nothing shows before the commit
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(ReadBytes(path)->size(), 100000u);
  struct stat st {};
  stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
  if (root) {
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
  }
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"data.DB"});
}

TEST(AtomicFileWriter, UncommittedWriterRemovesItsTemporary) {
  TempDir dir;
  const std::string path = dir.File("data.REG");
  WriteBytes(path, "old");
  {
    AtomicFileWriter writer(path);
    ASSERT_TRUE(writer.Write(std::string(200000, 'x')));
    EXPECT_EQ(FolderEntries(dir.Path()).size(), 2u);
  }
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"data.REG"});
}

// Temporaries of writers that died are removed; a live writer's, and other files, stay.
TEST(RemoveStaleTemporaries, RemovesOnlyTheDeadWritersTemporaries) {
  TempDir dir;
  const std::string path = dir.File("dorvane.DB");
  WriteBytes(path, "store");
  const std::vector<std::string> dead = {"dorvane.DB.~99999-0.tmp", "dorvane.DB.~1-12.tmp"};
  const std::vector<std::string> kept = {"dorvane.DB.~x-1.tmp", "dorvane.DB.~1-.tmp",
                                         "dorvane.INI.~1-1.tmp", "other.DB.~1-1.tmp"};
  for (const auto& name : dead) WriteBytes(dir.File(name), "half");
  for (const auto& name : kept) WriteBytes(dir.File(name), "mine");
  AtomicFileWriter live(path);
  ASSERT_TRUE(live.Write("new"));
  // A live writer in another process holds its temporary's lock as well.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t child = fork();
  if (child == 0) {
    AtomicFileWriter other(path);
    char c = other.IsOpen() ? '1' : '0';
    if (write(ready[1], &c, 1) != 1) _exit(1);
    pause();
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, '1');

  EXPECT_EQ(RemoveStaleTemporaries(path), 2);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  auto entries = FolderEntries(dir.Path());
  for (const auto& name : dead) EXPECT_EQ(std::count(entries.begin(), entries.end(), name), 0);
  for (const auto& name : kept) EXPECT_EQ(std::count(entries.begin(), entries.end(), name), 1);
  EXPECT_EQ(entries.size(), kept.size() + 3);  // the store, the live writer's, the killed one's
  ASSERT_TRUE(live.Commit());
  EXPECT_EQ(RemoveStaleTemporaries(path), 1);  // the killed child's
  EXPECT_EQ(ReadBytes(path), "new");
  close(ready[0]);
  close(ready[1]);
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

// Whoever may read the log's folder may also hold its lock: the hand-over then gives up within
// seconds and leaves the log where it is, and takes it once the lock is free.
TEST(RealFileSystem, AHandOverDoesNotWaitForALockHeldForGood) {
  TempDir dir;
  const std::string log = dir.File("ModemLog.txt");
  const std::string aside = log + ".import";
  ASSERT_TRUE(WriteBytes(log, "log"));
  RealFileSystem fs(dir.Path());
  const int folder = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(folder, 0);
  ASSERT_EQ(::flock(folder, LOCK_EX), 0);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(fs.HandOver(log, aside));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  EXPECT_EQ(ReadBytes(log), "log");
  EXPECT_FALSE(fs.Exists(aside));
  ::close(folder);
  EXPECT_TRUE(fs.HandOver(log, aside));
  EXPECT_EQ(ReadBytes(aside), "log");
}

}  // namespace
}  // namespace dorvane
