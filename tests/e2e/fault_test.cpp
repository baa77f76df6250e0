// Faults the program must survive, end to end: killed in the middle of an import, two check runs
// at once, a store it may not replace, a full file system, and hostile files where its log, its
// store and its settings should be. A step this machine does not allow is skipped, saying why.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "capture/callstore.h"
#include "e2e/e2e_support.h"
#include "platform/regional.h"

namespace dorvane::e2e {
namespace {

// The store the program writes for calls [from, to) of CallMaker under a decimal point.
std::string StoreText(int from, int to) {
  static const RegionalSettings rs;
  std::string out;
  std::string section;
  for (int i = from; i < to; ++i) {
    const TDateTime start = LogLineToDateTime(CallMaker::StartLine(i));
    const std::string name = MonthSectionName(start);
    if (name != section) {
      out += "[" + name + "]\r\n";
      section = name;
    }
    out += DateTimeText(rs, start) + "=" +
           DateTimeText(rs, LogLineToDateTime(CallMaker::EndLine(i))) + "\r\n";
  }
  return out;
}

// Large texts are compared without printing them.
std::string Describe(const std::optional<std::string>& bytes) {
  return bytes ? std::to_string(bytes->size()) + " bytes" : std::string("no file");
}

// A store with calls [0, oldCalls) and a log that repeats the last `overlap` of them and adds
// `newCalls` more.
struct Import {
  Import(int oldCalls, int newCalls, int overlap)
      : oldStore(StoreText(0, oldCalls)),
        newStore(StoreText(0, oldCalls + newCalls)),
        log(CallMaker::Log(oldCalls - overlap, oldCalls + newCalls)) {}

  void Lay(const ProgramFolder& folder) const {
    folder.Clear();
    WriteFile(folder.Dir() / "dorvane.DB", oldStore);
    WriteFile(folder.Dir() / "ModemLog.txt", log);
  }

  std::string oldStore;
  std::string newStore;
  std::string log;
};

// Files in the program's folder that are neither the program's own nor the test's: temporaries
// of killed writers the next start should have removed, and lock files (one hidden file is
// allowed for a folder that cannot be locked itself).
std::vector<std::string> StrayFiles(const fs::path& dir, const std::string& testFile = "") {
  std::vector<std::string> stray;
  int hidden = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name == testFile || name == "dorvane" || name == "dorvane.HLP" || name == "dorvane.DB" ||
        name == "dorvane.INI" || name == "dorvane.REG" || name == "ModemLog.txt") {
      continue;
    }
    if (name.front() == '.' && ++hidden == 1) continue;
    stray.push_back(name);
  }
  return stray;
}

// The identity of a file, which a replacement changes.
std::optional<std::pair<ino_t, dev_t>> Identity(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return std::pair{st.st_ino, st.st_dev};
}

TEST(FaultRun, KilledImportLeavesTheOldOrTheNewStoreAndTheNextStartRecordsEachCallOnce) {
  // A large import into a large store; smaller under the sanitizers, which run far slower.
  const Import import(kSanitized ? 10000 : 30000, kSanitized ? 4000 : 10000, 500);
  const int rounds = kSanitized ? 6 : 12;
  ProgramFolder folder("killed");
  const fs::path store = folder.Dir() / "dorvane.DB";
  const fs::path log = folder.Dir() / "ModemLog.txt";

  // One whole run first: what the files hold after it, and when the store is replaced.
  import.Lay(folder);
  const auto before = Identity(store);
  const auto started = std::chrono::steady_clock::now();
  double replacedAfter = 0;
  const RunResult whole = ProgramFolder::Wait(folder.Start(), 120, [&] {
    if (replacedAfter == 0 && Identity(store) != before) {
      replacedAfter =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
    return false;
  });
  ASSERT_EQ(whole.status, 0) << folder.MessageText();
  ASSERT_TRUE(FileBytes(store) == import.newStore) << Describe(FileBytes(store));
  ASSERT_FALSE(fs::exists(log));
  const std::optional<std::string> registry = FileBytes(folder.Dir() / "dorvane.REG");
  const std::optional<std::string> settings = FileBytes(folder.Dir() / "dorvane.INI");
  if (replacedAfter == 0) replacedAfter = whole.seconds;

  const unsigned seed = std::random_device{}();
  RecordProperty("seed", static_cast<int>(seed));
  std::mt19937 random(seed);
  // Kills from the start of the program to a little after the store was replaced in the whole
  // run, where the writes are.
  std::uniform_int_distribution<int> delayMs(0, static_cast<int>(replacedAfter * 1600) + 1);
  int keptOld = 0;
  int gotNew = 0;
  for (int round = 0; round < rounds; ++round) {
    const int delay = delayMs(random);
    SCOPED_TRACE("round " + std::to_string(round) + ", killed after " + std::to_string(delay) +
                 " ms (seed " + std::to_string(seed) + ")");
    import.Lay(folder);
    const pid_t pid = folder.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    ::kill(pid, SIGKILL);
    ASSERT_NE(ProgramFolder::Wait(pid, 60).status, -1);

    const std::optional<std::string> after = FileBytes(store);
    const bool isOld = after == import.oldStore;
    const bool isNew = after == import.newStore;
    EXPECT_TRUE(isOld || isNew) << "the store holds " << Describe(after);
    keptOld += isOld ? 1 : 0;
    gotNew += isNew ? 1 : 0;
    // The log goes only once its calls are in the store; killed after the hand-over, it lies
    // aside under its import name, for the next start.
    std::optional<std::string> logAfter = FileBytes(log);
    if (!logAfter) logAfter = FileBytes(folder.Dir() / "ModemLog.txt.import");
    if (logAfter) {
      EXPECT_TRUE(*logAfter == import.log) << "the log holds " << Describe(logAfter);
    } else {
      EXPECT_TRUE(isNew);
    }
    // The settings are written in one go at the end; the registry value by value, each write
    // a whole file.
    const std::optional<std::string> settingsNow = FileBytes(folder.Dir() / "dorvane.INI");
    EXPECT_TRUE(!settingsNow || settingsNow == settings) << "INI: " << Describe(settingsNow);
    const std::optional<std::string> registryNow = FileBytes(folder.Dir() / "dorvane.REG");
    EXPECT_TRUE(!registryNow ||
                (registryNow->starts_with("REGEDIT4\r\n") && registryNow->ends_with("\r\n")))
        << "REG: " << registryNow.value_or("no file");

    // The next start finds every call of the log in the store, once.
    const RunResult next = folder.Run();
    ASSERT_EQ(next.status, 0) << folder.MessageText();
    EXPECT_TRUE(FileBytes(store) == import.newStore) << Describe(FileBytes(store));
    EXPECT_FALSE(fs::exists(log));
    EXPECT_FALSE(fs::exists(folder.Dir() / "ModemLog.txt.import"));
    EXPECT_TRUE(FileBytes(folder.Dir() / "dorvane.REG") == registry);
    EXPECT_EQ(StrayFiles(folder.Dir()), std::vector<std::string>());
    EXPECT_EQ(folder.MessageText(), "");
    if (HasFailure()) break;
  }
  RecordProperty("replaced_after_ms", static_cast<int>(replacedAfter * 1000));
  RecordProperty("kept_old", keptOld);
  RecordProperty("got_new", gotNew);
}

TEST(FaultRun, TwoCheckRunsAtOnceRecordEachCallOnce) {
  const Import import(3000, 3000, 300);
  ProgramFolder folder("twice");
  for (int offsetMs : {0, 5, 30, 120}) {
    SCOPED_TRACE("second run started " + std::to_string(offsetMs) + " ms after the first");
    import.Lay(folder);
    const pid_t first = folder.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(offsetMs));
    const pid_t second = folder.Start();
    EXPECT_EQ(ProgramFolder::Wait(first, 120).status, 0);
    EXPECT_EQ(ProgramFolder::Wait(second, 120).status, 0);
    EXPECT_TRUE(FileBytes(folder.Dir() / "dorvane.DB") == import.newStore)
        << Describe(FileBytes(folder.Dir() / "dorvane.DB"));
    EXPECT_FALSE(fs::exists(folder.Dir() / "ModemLog.txt"));
    EXPECT_EQ(StrayFiles(folder.Dir()), std::vector<std::string>());
    EXPECT_EQ(folder.MessageText(), "");
    if (HasFailure()) break;
  }
}

// --- Writes the file system refuses ------------------------------------------------------------

// Sets or clears the immutable flag (chattr +i / -i); false when the file system refuses.
bool SetImmutable(const fs::path& path, bool on) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return ok;
}

struct RefusedCase {
  const char* name;
  // Makes the program's writes fail; returns the reason when this machine does not allow it.
  std::function<std::string(ProgramFolder&, std::vector<std::function<void()>>& undo)> refuse;
  // The message the program must show, with the folder's path for %s.
  const char* message;
  rlim_t fileSizeLimit = 0;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << c.name;
}

std::string MakeImmutable(const fs::path& path, std::vector<std::function<void()>>& undo) {
  if (::geteuid() != 0) return "only root may set the immutable flag";
  if (!SetImmutable(path, true)) {
    return "this file system does not take the immutable flag: " +
           std::string(std::strerror(errno));
  }
  undo.push_back([path] { SetImmutable(path, false); });
  return "";
}

// A file system of its own, a few pages larger than the program and its files, then filled up.
std::string MountFullTmpfs(ProgramFolder& folder, std::vector<std::function<void()>>& undo) {
  if (::geteuid() != 0) return "only root may mount a small file system";
  const fs::path mount = folder.Root() / "small";
  fs::create_directories(mount);
  const auto size = fs::file_size(DORVANE_EXE) + (8u << 20);
  const std::string options = "size=" + std::to_string(size) + ",mode=0755";
  if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, options.c_str()) != 0) {
    return "cannot mount a tmpfs here: " + std::string(std::strerror(errno));
  }
  undo.push_back([mount] { ::umount2(mount.c_str(), MNT_DETACH); });
  ProgramFolder::InstallProgram(mount);
  // The store and the log are laid by the test; what is left is filled up but for a few pages,
  // enough for the registry file but not for a new store.
  const std::string store = ReadFile(folder.Dir() / "dorvane.DB");
  WriteFile(mount / "dorvane.DB", store);
  WriteFile(mount / "ModemLog.txt", ReadFile(folder.Dir() / "ModemLog.txt"));
  folder.UseProgramFolder(mount);
  struct statvfs info {};
  if (::statvfs(mount.c_str(), &info) != 0) return "statvfs failed";
  const auto free = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
  const std::uint64_t keep = 16 * 4096;
  if (free > keep) WriteFile(mount / ".filler", std::string(free - keep, '\0'));
  return "";
}

class RefusedWrite : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedWrite, ShowsTheMessageKeepsTheLogAndLeavesTheStore) {
  const Import import(20000, 200, 0);
  ProgramFolder folder(GetParam().name);
  import.Lay(folder);
  std::vector<std::function<void()>> undo;
  struct Undo {
    std::vector<std::function<void()>>& steps;
    ~Undo() {
      for (auto it = steps.rbegin(); it != steps.rend(); ++it) (*it)();
    }
  } undoAtEnd{undo};
  const std::string unavailable = GetParam().refuse(folder, undo);
  if (!unavailable.empty()) GTEST_SKIP() << unavailable;

  RunOptions options;
  options.fileSizeLimit = GetParam().fileSizeLimit ? import.oldStore.size() + 1024 : 0;
  options.timeoutSeconds = 60;
  const RunResult run = folder.RunUntilMessage(options);
  EXPECT_NE(run.status, -1) << "no message within a minute";
  const std::string dir = fs::weakly_canonical(folder.Dir()).string();
  std::string expected = GetParam().message;
  if (const auto at = expected.find("%s"); at != std::string::npos) expected.replace(at, 2, dir);
  EXPECT_NE(folder.MessageText().find(expected), std::string::npos)
      << "messages: " << folder.MessageText() << "\nexpected: " << expected;
  EXPECT_TRUE(FileBytes(folder.Dir() / "dorvane.DB") == import.oldStore)
      << Describe(FileBytes(folder.Dir() / "dorvane.DB"));
  EXPECT_TRUE(FileBytes(folder.Dir() / "ModemLog.txt") == import.log)
      << Describe(FileBytes(folder.Dir() / "ModemLog.txt"));
  EXPECT_EQ(StrayFiles(folder.Dir(), ".filler"), std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RefusedWrite,
    ::testing::Values(
        RefusedCase{"immutable_store",
                    [](ProgramFolder& f, auto& undo) {
                      return MakeImmutable(f.Dir() / "dorvane.DB", undo);
                    },
                    "Unable to write to %s/dorvane.DB"},
        RefusedCase{"immutable_folder",
                    [](ProgramFolder& f, auto& undo) { return MakeImmutable(f.Dir(), undo); },
                    "Dorvane cannot write to its data folder %s: Operation not permitted."},
        RefusedCase{"full_tmpfs", MountFullTmpfs, "Unable to write to %s/dorvane.DB"},
        RefusedCase{"file_size_limit", [](ProgramFolder&, auto&) { return std::string(); },
                    "Unable to write to %s/dorvane.DB", 1}),
    [](const auto& info) { return std::string(info.param.name); });

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

// --- Hostile stores ----------------------------------------------------------------------------

struct StoreCase {
  const char* name;
  std::string store;
};

void PrintTo(const StoreCase& c, std::ostream* os) {
  *os << c.name;
}

class HostileStore : public ::testing::TestWithParam<StoreCase> {};

// A store the program did not write stops the start with a short message of its own, not a
// crash nor a hang (a check run without a display ends with status 1 after its message, unless
// the test kills it first), and the store is left as it was.
TEST_P(HostileStore, StopsTheStartWithAShortMessageAndLeavesTheStore) {
  ProgramFolder folder(GetParam().name);
  WriteFile(folder.Dir() / "dorvane.DB", GetParam().store);
  RunOptions options;
  options.timeoutSeconds = 60;
  const RunResult run = folder.RunUntilMessage(options);
  EXPECT_TRUE(run.status == 1 || run.status == 128 + SIGKILL)
      << run.status << " (-1: no message in time)";
  const std::string messages = folder.MessageText();
  // The message names the store's line.
  EXPECT_NE(messages.find("Line "), std::string::npos) << messages;
  EXPECT_LT(messages.size(), 200u) << messages.substr(0, 300);
  EXPECT_TRUE(FileBytes(folder.Dir() / "dorvane.DB") == GetParam().store);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, HostileStore,
    ::testing::Values(StoreCase{"line_of_a_megabyte",
                                "[1998-7]\r\n" + std::string(1 << 20, '7') + "x=36006.5\r\n"},
                      StoreCase{"binary", "[1998-7]\r\n" + RandomBytes(1 << 16, 11)}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Hostile files -----------------------------------------------------------------------------

// Peak memory of a check run with nothing to do: the floor that hostile files must stay near.
long BaselinePeakKb() {
  static const long peak = [] {
    ProgramFolder folder("baseline");
    return folder.Run().peakRssKb;
  }();
  return peak;
}

struct HostileCase {
  const char* name;
  // Lays the hostile files into the program's folder.
  std::function<void(const fs::path& dir)> lay;
  // Checks the folder after a run that ended by itself with status 0 and no message.
  std::function<void(const fs::path& dir)> check;
  // Whether the run's peak memory must stay near that of a run with nothing to do.
  bool boundedMemory = true;
};

void PrintTo(const HostileCase& c, std::ostream* os) {
  *os << c.name;
}

constexpr std::size_t kLongLine = 100000;

void ExpectStore(const fs::path& dir, const std::string& expected) {
  EXPECT_TRUE(FileBytes(dir / "dorvane.DB") == expected)
      << Describe(FileBytes(dir / "dorvane.DB")) << " instead of " << expected.size();
}

const HostileCase kHostileCases[] = {
    {"log_of_100_MB",
     [](const fs::path& dir) {
       // Two calls, a hundred megabytes apart.
       std::ofstream out(dir / "ModemLog.txt", std::ios::binary);
       out << CallMaker::Log(0, 1);
       const std::string filler = std::string(998, 'x') + "\r\n";
       for (int i = 0; i < 100000; ++i) out << filler;
       out << CallMaker::Log(1, 2);
     },
     [](const fs::path& dir) {
       ExpectStore(dir, StoreText(0, 2));
       EXPECT_FALSE(fs::exists(dir / "ModemLog.txt"));
     }},
    {"binary_log",
     [](const fs::path& dir) { WriteFile(dir / "ModemLog.txt", RandomBytes(1 << 18, 7)); },
     [](const fs::path& dir) {
       EXPECT_FALSE(fs::exists(dir / "dorvane.DB"));
       const auto log = FileBytes(dir / "ModemLog.txt");
       EXPECT_TRUE(!log || *log == RandomBytes(1 << 18, 7));
     }},
    {"nul_bytes_in_log",
     [](const fs::path& dir) {
       std::string log = CallMaker::Log(0, 3);
       for (std::size_t at = log.find(" - "); at != std::string::npos; at = log.find(" - ", at + 4))
         log.insert(at + 1, std::string(1, '\0'));
       log.insert(0, std::string("\0\0\0\r\n", 5));
       WriteFile(dir / "ModemLog.txt", log);
     },
     [](const fs::path& dir) {
       ExpectStore(dir, StoreText(0, 3));
       EXPECT_FALSE(fs::exists(dir / "ModemLog.txt"));
     }},
    {"fifo_as_log",
     [](const fs::path& dir) {
       ASSERT_EQ(::mkfifo((dir / "ModemLog.txt").c_str(), 0644), 0) << std::strerror(errno);
     },
     [](const fs::path& dir) {
       EXPECT_TRUE(fs::is_fifo(dir / "ModemLog.txt"));
       EXPECT_FALSE(fs::exists(dir / "dorvane.DB"));
     }},
    {"folder_as_log",
     [](const fs::path& dir) {
       fs::create_directory(dir / "ModemLog.txt");
       WriteFile(dir / "ModemLog.txt" / "inside", CallMaker::Log(0, 1));
     },
     [](const fs::path& dir) {
       EXPECT_TRUE(FileBytes(dir / "ModemLog.txt" / "inside") == CallMaker::Log(0, 1));
       EXPECT_FALSE(fs::exists(dir / "dorvane.DB"));
     }},
    {"lines_of_100000_characters",
     [](const fs::path& dir) {
       WriteFile(dir / "ModemLog.txt", CallMaker::StartLine(0) + std::string(kLongLine, 'x') +
                                           "\r\n" + std::string(kLongLine, '=') + "\r\n" +
                                           CallMaker::EndLine(0) + std::string(kLongLine, 'y') +
                                           "\r\n" + CallMaker::StartLine(1) +
                                           std::string(kLongLine, 'z'));
     },
     [](const fs::path& dir) {
       ExpectStore(dir, StoreText(0, 1));
       EXPECT_FALSE(fs::exists(dir / "ModemLog.txt"));
     }},
    {"settings_of_100000_bands_full_of_equals_and_quotes",
     [](const fs::path& dir) {
       std::string ini = "[strgrdCost]\r\nCount=100000\r\n";
       for (int row = 1; row <= 3; ++row) {
         for (int col = 0; col < 6; ++col) {
           const std::string key = "Cell" + std::to_string(col) + std::to_string(row);
           ini += key + "=" + std::string(200, col % 2 ? '=' : '"') + "'\"='\"\r\n";
         }
       }
       ini += "[Options]\r\n=\r\n===\r\n\"\"=\"\"\r\n[\r\n]\r\n";
       WriteFile(dir / "dorvane.INI", ini);
     },
     [](const fs::path& dir) {
       // Saved on the way out; the test's second run reads them back and saves them unchanged.
       const auto saved = FileBytes(dir / "dorvane.INI");
       ASSERT_TRUE(saved);
       EXPECT_NE(saved->find("[strgrdCost]\r\nCount="), std::string::npos);
     }},
};

class HostileFile : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileFile, RunsToItsEndInBoundedMemoryAndLeavesReadableFiles) {
  const long baseline = BaselinePeakKb();
  ProgramFolder folder(GetParam().name);
  GetParam().lay(folder.Dir());
  if (HasFatalFailure()) return;
  RunOptions options;
  options.timeoutSeconds = 90;
  const RunResult run = folder.Run(options);
  ASSERT_NE(run.status, -1) << "still running after " << options.timeoutSeconds << " s";
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(folder.MessageText(), "");
  GetParam().check(folder.Dir());
  // Whatever the files hold, the next start reads them and leaves them as they are.
  const auto store = FileBytes(folder.Dir() / "dorvane.DB");
  const auto settings = FileBytes(folder.Dir() / "dorvane.INI");
  const RunResult again = folder.Run(options);
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(folder.MessageText(), "");
  EXPECT_TRUE(FileBytes(folder.Dir() / "dorvane.DB") == store);
  EXPECT_TRUE(FileBytes(folder.Dir() / "dorvane.INI") == settings)
      << Describe(settings) << " became " << Describe(FileBytes(folder.Dir() / "dorvane.INI"));
  EXPECT_EQ(StrayFiles(folder.Dir()), std::vector<std::string>());
  RecordProperty("peak_kb", static_cast<int>(run.peakRssKb));
  RecordProperty("baseline_kb", static_cast<int>(baseline));
  // The sanitizers' own bookkeeping swamps the program's memory; measured in plain builds only.
  if (!kSanitized && !UnderMemcheck() && GetParam().boundedMemory) {
    EXPECT_LT(run.peakRssKb, baseline + 64 * 1024)
        << "peak " << run.peakRssKb / 1024 << " MB against " << baseline / 1024
        << " MB with nothing to do";
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, HostileFile, ::testing::ValuesIn(kHostileCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dorvane::e2e
