// The program's own files end to end: files the user made read-only are refused with the
// program's message and left as they were, a replaced file keeps its mode and owner, the files
// are found where the one path rule puts them, and a check run leaves no lock file and no
// temporary of a dead writer behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>

#include "e2e/e2e_support.h"

namespace dorvane::e2e {
namespace {

constexpr const char* kRegistry =
    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Modem\\0000]"
    "\r\n\"LoggingPath\"=\"\\\\ModemLog.txt\"\r\n\"Logging\"=hex:01\r\n";
constexpr const char* kSettings = "[PageControl]\r\nActivePage=3\r\n";

std::string ModemLog() {
  return ReadFile(fs::path(DORVANE_TEST_DATA) / "e2e" / "ModemLog.txt");
}

struct Stat {
  mode_t mode = 0;
  uid_t uid = 0;
};

Stat StatOf(const fs::path& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return {st.st_mode & 07777, st.st_uid};
}

std::set<std::string> Names(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    names.insert(fs::relative(entry.path(), dir).string());
  }
  return names;
}

struct ReadOnlyCase {
  const char* file;
  const char* message;  // %s: the program's folder
  bool logKept;
};

void PrintTo(const ReadOnlyCase& c, std::ostream* os) {
  *os << c.file;
}

class ReadOnlyFile : public ::testing::TestWithParam<ReadOnlyCase> {};

// Mode 444 refuses every writer, also one running as root, as the read-only attribute did.
TEST_P(ReadOnlyFile, IsRefusedWithTheProgramsMessageAndLeftAsItWas) {
  const ReadOnlyCase& c = GetParam();
  ProgramFolder folder(std::string("readonly-") + c.file);
  WriteFile(folder.Dir() / "dorvane.REG", kRegistry);
  WriteFile(folder.Dir() / "dorvane.INI", kSettings);
  WriteFile(folder.Dir() / "dorvane.DB", "[1998-7]\r\n36006.5=36006.6\r\n");
  WriteFile(folder.Dir() / "ModemLog.txt", ModemLog());
  const fs::path file = folder.Dir() / c.file;
  const std::string before = ReadFile(file);
  ::chmod(file.c_str(), 0444);

  RunOptions options;
  options.timeoutSeconds = 60;
  ASSERT_NE(folder.RunUntilMessage(options).status, -1) << "no message within a minute";
  std::string expected = c.message;
  if (const auto at = expected.find("%s"); at != std::string::npos) {
    expected.replace(at, 2, fs::weakly_canonical(folder.Dir()).string());
  }
  EXPECT_NE(folder.MessageText().find(expected), std::string::npos) << folder.MessageText();
  EXPECT_EQ(ReadFile(file), before);
  EXPECT_EQ(StatOf(file).mode, 0444u);
  EXPECT_EQ(fs::exists(folder.Dir() / "ModemLog.txt"), c.logKept);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadOnlyFile,
    ::testing::Values(ReadOnlyCase{"dorvane.REG", "Failed to set data for 'LoggingPath'", true},
                      ReadOnlyCase{"dorvane.DB", "Unable to write to %s/dorvane.DB", true},
                      ReadOnlyCase{"dorvane.INI", "Unable to write to %s/dorvane.INI", false}),
    [](const auto& info) { return std::string(info.param.file).substr(8); });

// A replaced file keeps its mode, and its owner where the program may set it; no lock file and
// no stale temporary stays beside the user's files, and nothing else is touched.
TEST(DataFiles, ReplacedFilesKeepModeAndOwnerAndNothingIsLeftBeside) {
  ProgramFolder folder("keep");
  WriteFile(folder.Dir() / "dorvane.REG", kRegistry);
  WriteFile(folder.Dir() / "dorvane.INI", kSettings);
  WriteFile(folder.Dir() / "ModemLog.txt", ModemLog());
  const bool root = ::geteuid() == 0;
  ::chmod((folder.Dir() / "dorvane.INI").c_str(), 0604);
  if (root) {
    ASSERT_EQ(::chown((folder.Dir() / "dorvane.INI").c_str(), 65534, 65534), 0);
  }
  // Temporaries of writers killed before their rename; a stranger's file of the same form stays.
  for (const char* name : {"dorvane.DB.~99999-3.tmp", "dorvane.INI.~1-0.tmp",
                           "dorvane.REG.~4194303-17.tmp", "notes.txt.~1-0.tmp"}) {
    WriteFile(folder.Dir() / name, "half");
  }
  ASSERT_EQ(folder.Run().status, 0);
  EXPECT_EQ(folder.MessageText(), "");
  EXPECT_EQ(Names(folder.Dir()),
            (std::set<std::string>{"dorvane", "dorvane.HLP", "dorvane.INI", "dorvane.REG",
                                   "dorvane.DB", "notes.txt.~1-0.tmp"}));
  EXPECT_EQ(StatOf(folder.Dir() / "dorvane.INI").mode, 0604u);
  if (root) {
    EXPECT_EQ(StatOf(folder.Dir() / "dorvane.INI").uid, 65534u);
  }
  EXPECT_NE(ReadFile(folder.Dir() / "dorvane.INI").find("ActivePage=3"), std::string::npos);
}

// A folder whose name holds a backslash: the store is written, read and found in that folder,
// never in the folder a reader turning "\" into "/" would take (which holds a broken store).
TEST(DataFiles, ABackslashInTheFoldersNameIsPartOfTheName) {
  ProgramFolder folder("backslash");
  const fs::path dir = folder.Root() / "my\\dorvane";
  const fs::path decoy = folder.Root() / "my" / "dorvane";
  fs::create_directories(dir);
  fs::create_directories(decoy);
  ProgramFolder::InstallProgram(dir);
  folder.UseProgramFolder(dir);
  WriteFile(decoy / "dorvane.DB", "[1998-7]\r\nnot a number=1\r\n");
  WriteFile(dir / "ModemLog.txt", ModemLog());
  RunOptions options;
  options.timeoutSeconds = 60;
  ASSERT_EQ(folder.RunUntilMessage(options).status, 0) << folder.MessageText();
  EXPECT_EQ(folder.MessageText(), "");
  EXPECT_NE(ReadFile(dir / "dorvane.DB").find('='), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "ModemLog.txt"));
  EXPECT_EQ(ReadFile(decoy / "dorvane.DB"), "[1998-7]\r\nnot a number=1\r\n");
}

// Installed under a prefix (help file in <prefix>/share/dorvane): the data lie in the user's XDG
// folder, made private at the first start, and nothing is written under the prefix.
TEST(DataFiles, AnInstalledProgramKeepsItsDataInTheUsersFolder) {
  ProgramFolder folder("installed");
  const fs::path prefix = folder.Root() / "prefix";
  fs::create_directories(prefix / "bin");
  fs::create_directories(prefix / "share" / "dorvane");
  fs::copy_file(DORVANE_EXE, prefix / "bin" / "dorvane");
  fs::copy_file(fs::path(DORVANE_EXE).parent_path() / "dorvane.HLP",
                prefix / "share" / "dorvane" / "dorvane.HLP");
  folder.UseProgramFolder(prefix / "bin");
  const std::set<std::string> installed = Names(prefix);
  const fs::path data = folder.Root() / "home" / "data" / "Dorvane";  // XDG_DATA_HOME/Dorvane

  ASSERT_EQ(folder.Run().status, 0) << folder.MessageText();
  EXPECT_EQ(StatOf(data).mode, 0700u);
  EXPECT_EQ(Names(data), (std::set<std::string>{"dorvane.INI", "dorvane.REG"}));
  // A log at the drive root, which is the data folder: imported into the store there.
  WriteFile(data / "ModemLog.txt", ModemLog());
  ASSERT_EQ(folder.Run().status, 0) << folder.MessageText();
  EXPECT_EQ(Names(data), (std::set<std::string>{"dorvane.INI", "dorvane.REG", "dorvane.DB"}));
  const std::string store = ReadFile(data / "dorvane.DB");
  ASSERT_EQ(folder.Run().status, 0) << folder.MessageText();
  EXPECT_EQ(ReadFile(data / "dorvane.DB"), store);
  EXPECT_EQ(folder.MessageText(), "");
  EXPECT_EQ(Names(prefix), installed);
}

}  // namespace
}  // namespace dorvane::e2e
