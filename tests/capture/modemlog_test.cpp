#include "capture/modemlog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "capture/capture_test_util.h"
#include "platform/error.h"

namespace dorvane {
namespace {

using testing::CallLines;
using testing::CommaSettings;
using testing::MemoryFileSystem;
using testing::PointSettings;
using testing::ReadBytes;
using testing::ScriptedMessages;
using testing::TempDir;
using testing::WriteBytes;

// -----------------------------------------------------------------------------------------------
// Switching the driver's log on

class RecordingRegistry : public Registry {
 public:
  std::map<std::string, std::string> strings;  // "key|name" -> value
  std::vector<std::string> calls;
  bool failWrites = false;

  bool OpenKey(const std::string& key) override {
    calls.push_back("open " + key);
    return true;
  }
  std::optional<std::string> ReadString(const std::string& key, const std::string& name) override {
    calls.push_back("read " + key + "|" + name);
    auto it = strings.find(key + "|" + name);
    if (it == strings.end()) return std::nullopt;
    return it->second;
  }
  void WriteString(const std::string& key, const std::string& name,
                   const std::string& value) override {
    if (failWrites) throw Error(FormatMessage("Failed to set data for '%s'", name));
    calls.push_back("write " + key + "|" + name + "=" + value);
  }
  void WriteBinary(const std::string& key, const std::string& name,
                   const std::vector<std::uint8_t>& data) override {
    std::string bytes;
    for (auto b : data) bytes += std::to_string(b) + " ";
    calls.push_back("binary " + key + "|" + name + "=" + bytes);
  }
};

TEST(EnableModemLogging, PointsTheDriversLogIntoTheWindowsDirectory) {
  const std::string setup = kSetupKey;
  const std::string modem = kModemKey;
  // Without "WinDir", the pppd hook's folder stands in where the machine has it.
  struct Case {
    std::optional<std::string> winDir;
    bool hookFolder;
    std::string windowsDirectory;
    std::string logPath;
  } cases[] = {
      {"C:\\WINDOWS", false, "C:\\WINDOWS", "C:\\WINDOWS\\ModemLog.txt"},
      {std::nullopt, false, "", "\\ModemLog.txt"},
      {"", false, "", "\\ModemLog.txt"},
      {std::nullopt, true, "/var/log/dorvane", "/var/log/dorvane\\ModemLog.txt"},
      {"C:\\WINDOWS", true, "C:\\WINDOWS", "C:\\WINDOWS\\ModemLog.txt"},
      {"", true, "", "\\ModemLog.txt"},
  };
  for (const auto& c : cases) {
    RecordingRegistry registry;
    if (c.winDir) registry.strings[setup + "|WinDir"] = *c.winDir;
    std::vector<std::string> probed;
    const FolderProbe probe = [&](const std::string& path) {
      probed.push_back(path);
      return c.hookFolder;
    };
    EXPECT_EQ(EnableModemLogging(registry, probe), c.windowsDirectory);
    EXPECT_EQ(probed.size(), c.winDir ? 0u : 1u);
    const std::vector<std::string> expected = {
        "open " + setup,
        "read " + setup + "|WinDir",
        "open " + modem,
        "write " + modem + "|LoggingPath=" + c.logPath,
        "binary " + modem + "|Logging=1 ",
    };
    EXPECT_EQ(registry.calls, expected);
    EXPECT_EQ(DefaultLogFileName(c.windowsDirectory), c.logPath);
  }
}

TEST(EnableModemLogging, PassesTheRegistryErrorOn) {
  RecordingRegistry registry;
  registry.failWrites = true;
  try {
    EnableModemLogging(registry, [](const std::string&) { return false; });
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'LoggingPath'");
  }
}

// -----------------------------------------------------------------------------------------------
// Import

constexpr const char* kLog = "C:\\WINDOWS\\ModemLog.txt";

// A driver line on 30 July 1998: "20:14:03.25" and a text become
// "07-30-1998 20:14:03.25 - <text>".
std::string At(const std::string& time, const std::string& text) {
  return "07-30-1998 " + time + " - " + text;
}

std::string LogText(const std::vector<std::string>& lines, const char* lineEnd = "\r\n") {
  std::string text;
  for (const auto& line : lines) text += line + lineEnd;
  return text;
}

// The store key and value of a call between two times of 30 July 1998.
std::pair<std::string, std::string> Call(const std::string& start, const std::string& end,
                                         const RegionalSettings& rs = PointSettings()) {
  return {DateTimeText(rs, LogLineToDateTime(At(start, ""))),
          DateTimeText(rs, LogLineToDateTime(At(end, "")))};
}

class ImportTest : public ::testing::Test {
 protected:
  std::vector<std::pair<std::string, std::string>> StoredCalls() const {
    return CallLines(ReadBytes(store.Path()).value_or(""));
  }
  void Import(const std::vector<std::string>& lines, bool ignoreBusy = true) {
    fs.Put(kLog, LogText(lines));
    importer.ImportModemLog(kLog, ignoreBusy);
  }

  TempDir dir;
  RegionalSettings rs = PointSettings();
  CallStore store{dir.File("dorvane.DB"), rs};
  MemoryFileSystem fs;
  ScriptedMessages messages{testing::FailGTest};
  ModemLogImport importer{store, fs, messages};
};

TEST_F(ImportTest, PairsStartAndEndLinesWithinEachSession) {
  using Calls = std::vector<std::pair<std::string, std::string>>;
  struct Case {
    const char* name;
    std::vector<std::string> log;
    bool ignoreBusy;
    Calls calls;
  };
  const Case cases[] = {
      {"one session",
       {At("20:14:00.00", "Standard Modem in use."), At("20:14:01.00", "Dialing."),
        At("20:14:03.25", "Send: ATDT5551234<cr>"), At("20:14:30.00", "Recv: CONNECT 28800"),
        At("20:52:41.80", "Recv: NO CARRIER"), At("20:52:42.00", "Hanging up the modem."),
        At("20:52:43.00", "Standard Modem closed.")},
       true,
       {Call("20:14:03.25", "20:52:41.80")}},
      {"an end line with no start",
       {At("20:00:00.00", "in use"), At("20:01:00.00", "Hanging up"), At("20:02:00.00", "closed")},
       true,
       {}},
      {"a start line with no end",
       {At("20:00:00.00", "in use"), At("20:01:00.00", "Dialing"), At("20:02:00.00", "closed")},
       true,
       {}},
      {"a line with start and end words is a start",
       {At("20:00:00.00", "in use"), At("20:01:00.00", "Dialing after NO CARRIER"),
        At("20:02:00.00", "Hanging up"), At("20:03:00.00", "closed")},
       true,
       {Call("20:01:00.00", "20:02:00.00")}},
      {"keywords are case-sensitive",
       {At("20:00:00.00", "in use"), At("20:01:00.00", "dialing"), At("20:02:00.00", "Dialing"),
        At("20:03:00.00", "no carrier"), At("20:04:00.00", "hanging up"),
        At("20:05:00.00", "Hanging up"), At("20:06:00.00", "closed")},
       true,
       {Call("20:02:00.00", "20:05:00.00")}},
      {"two sessions are paired apart",
       {At("20:00:00.00", "in use"), At("20:01:00.00", "Dialing"), At("20:02:00.00", "closed"),
        At("21:00:00.00", "in use"), At("21:01:00.00", "NO CARRIER"), At("21:02:00.00", "Dialing"),
        At("21:03:00.00", "Hanging up"), At("21:04:00.00", "closed")},
       true,
       {Call("21:02:00.00", "21:03:00.00")}},
      {"two closed lines record each call once",
       {At("20:00:00.00", "in use"), At("20:01:00.00", "Dialing"), At("20:02:00.00", "NO CARRIER"),
        At("20:03:00.00", "closed"), At("20:04:00.00", "ATDT"), At("20:05:00.00", "Hanging up"),
        At("20:06:00.00", "closed")},
       true,
       {Call("20:01:00.00", "20:02:00.00"), Call("20:04:00.00", "20:05:00.00")}},
      {"no in use: the log is one session",
       {At("20:01:00.00", "Dialing"), At("20:02:00.00", "NO CARRIER"), At("20:03:00.00", "closed")},
       true,
       {Call("20:01:00.00", "20:02:00.00")}},
      {"in use drops a start read before it",
       {At("20:01:00.00", "Dialing"), At("20:02:00.00", "in use"), At("20:03:00.00", "NO CARRIER"),
        At("20:04:00.00", "closed")},
       true,
       {}},
      {"the same start twice: the first call wins",
       {At("20:00:00.00", "in use"), At("20:01:00.00", "Dialing"), At("20:02:00.00", "NO CARRIER"),
        At("20:01:00.00", "Dialing"), At("20:09:00.00", "NO CARRIER"), At("20:10:00.00", "closed")},
       true,
       {Call("20:01:00.00", "20:02:00.00")}},
      {"busy attempt ignored",
       {At("20:00:00.00", "in use"), At("20:01:00.00", "Dialing"), At("20:01:05.00", "Recv: BUSY"),
        At("20:01:06.00", "Hanging up"), At("20:02:00.00", "Dialing"),
        At("20:03:00.00", "NO CARRIER"), At("20:04:00.00", "closed")},
       true,
       {Call("20:02:00.00", "20:03:00.00")}},
      {"busy attempt recorded",
       {At("20:00:00.00", "in use"), At("20:01:00.00", "Dialing"), At("20:01:05.00", "Recv: BUSY"),
        At("20:01:06.00", "Hanging up"), At("20:02:00.00", "Dialing"),
        At("20:03:00.00", "NO CARRIER"), At("20:04:00.00", "closed")},
       false,
       {Call("20:01:00.00", "20:01:05.00"), Call("20:02:00.00", "20:03:00.00")}},
      {"busy without a start",
       {At("20:00:00.00", "in use"), At("20:01:05.00", "BUSY"), At("20:04:00.00", "closed")},
       false,
       {}},
      {"a start before closed ends at the next end line of the session",
       {At("20:00:00.00", "in use"), At("20:01:00.00", "Dialing"), At("20:02:00.00", "closed"),
        At("20:03:00.00", "NO CARRIER"), At("20:04:00.00", "closed"), At("20:05:00.00", "ATDT"),
        At("20:06:00.00", "closed"), At("20:07:00.00", "BUSY"), At("20:08:00.00", "closed")},
       false,
       {Call("20:01:00.00", "20:03:00.00"), Call("20:05:00.00", "20:07:00.00")}},
      {"a log cut off before closed",
       {At("20:00:00.00", "in use"), At("20:01:00.00", "Dialing"), At("20:02:00.00", "closed"),
        At("21:00:00.00", "in use"), At("21:01:00.00", "Dialing"), At("21:02:00.00", "NO CARRIER")},
       true,
       {Call("21:01:00.00", "21:02:00.00")}},
  };
  // Read whole, and a byte at a time: no word, line end or stamp is lost between two reads.
  for (const std::size_t chunk : {0, 1}) {
    fs.chunk = chunk;
    for (const auto& c : cases) {
      SCOPED_TRACE(c.name);
      std::remove(store.Path().c_str());
      Import(c.log, c.ignoreBusy);
      EXPECT_EQ(StoredCalls(), c.calls);
      EXPECT_FALSE(fs.Has(kLog));
    }
  }
}

// Without "in use" lines the whole log is one session, and every "closed" line pairs it again.
TEST_F(ImportTest, ALongLogWithoutInUseLinesTakesOneWalk) {
  constexpr int kSessions = 10000;
  std::string log;
  for (int i = 0; i < kSessions; ++i) {
    // One session a minute from 1 January 1998 00:00 on.
    const int day = i / 1440 + 1;
    const int hour = i / 60 % 24;
    const int minute = i % 60;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "01-%02d-1998 %02d:%02d:", day, hour, minute);
    log += std::string(stamp) + "00.00 - Dialing\r\n";
    log += std::string(stamp) + "30.00 - Recv: NO CARRIER\r\n";
    log += std::string(stamp) + "31.00 - Hanging up\r\n";
    log += std::string(stamp) + "32.00 - COM2 closed\r\n";
  }
  fs.Put(kLog, log);
  importer.ImportModemLog(kLog, true);  // minutes instead of moments when each pass starts over
  const auto calls = StoredCalls();
  ASSERT_EQ(calls.size(), std::size_t{kSessions});
  EXPECT_EQ(calls.back(),
            std::make_pair(DateTimeText(rs, LogLineToDateTime("01-07-1998 22:39:00.00")),
                           DateTimeText(rs, LogLineToDateTime("01-07-1998 22:39:30.00"))));
  EXPECT_FALSE(fs.Has(kLog));
}

TEST_F(ImportTest, ReadsAnyLineEnd) {
  const std::vector<std::string> lines = {
      At("20:01:00.00", "Dialing"), At("20:02:00.00", "NO CARRIER"), At("20:03:00.00", "closed")};
  for (const char* lineEnd : {"\n", "\r", "\r\n"}) {
    std::remove(store.Path().c_str());
    fs.Put(kLog, LogText(lines, lineEnd));
    importer.ImportModemLog(kLog, true);
    EXPECT_EQ(StoredCalls(), (decltype(StoredCalls()){Call("20:01:00.00", "20:02:00.00")}));
  }
}

TEST_F(ImportTest, NoLogMeansNothingToDo) {
  importer.ImportModemLog("", true);
  importer.ImportModemLog(kLog, true);
  EXPECT_FALSE(ReadBytes(store.Path()).has_value());
  EXPECT_TRUE(fs.deleted.empty());
}

TEST_F(ImportTest, ALogHeldByTheDriverIsLeftForALaterStart) {
  messages.Expect(testing::BoxKind::Information, "Dorvane cannot register new calls while online");
  fs.Put(kLog, LogText({At("20:01:00.00", "Dialing"), At("20:02:00.00", "NO CARRIER")}), false);
  importer.ImportModemLog(kLog, true);
  EXPECT_TRUE(messages.AllShown());
  EXPECT_TRUE(fs.Has(kLog));
  EXPECT_TRUE(fs.deleted.empty());
  EXPECT_FALSE(ReadBytes(store.Path()).has_value());
}

TEST_F(ImportTest, ALogWrittenToDuringTheImportIsKept) {
  fs.afterRead = [&](const std::string& path) {
    fs.Append(path, At("20:05:00.00", "in use") + "\r\n");
  };
  Import(
      {At("20:01:00.00", "Dialing"), At("20:02:00.00", "NO CARRIER"), At("20:03:00.00", "closed")});
  EXPECT_EQ(StoredCalls(), (decltype(StoredCalls()){Call("20:01:00.00", "20:02:00.00")}));
  EXPECT_TRUE(fs.Has(kLog));

  // The next start reads it again: the call already recorded is skipped, the log goes.
  fs.afterRead = nullptr;
  const auto before = ReadBytes(store.Path());
  importer.ImportModemLog(kLog, true);
  EXPECT_EQ(ReadBytes(store.Path()), before);
  EXPECT_FALSE(fs.Has(kLog));
}

TEST_F(ImportTest, AnErrorKeepsTheCallsBeforeItAndTheLog) {
  const std::vector<std::string> log = {
      At("20:00:00.00", "in use"),     At("20:01:00.00", "Dialing"),
      At("20:02:00.00", "NO CARRIER"), "07-32-1998 20:03:00.00 - Dialing",
      At("20:04:00.00", "NO CARRIER"), At("20:05:00.00", "Dialing"),
      At("20:06:00.00", "NO CARRIER"), At("20:07:00.00", "closed")};
  fs.Put(kLog, LogText(log));
  try {
    importer.ImportModemLog(kLog, true);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Invalid argument to date encode");
  }
  EXPECT_EQ(StoredCalls(), (decltype(StoredCalls()){Call("20:01:00.00", "20:02:00.00")}));
  EXPECT_TRUE(fs.Has(kLog));
}

// An end line is converted only for a start that is not recorded by then, in the store or
// earlier in the log; and only a pass at "closed" (or the end of the log) reaches a line.
TEST_F(ImportTest, AnEndLineFailsOnlyWhenItsCallWouldBeRecorded) {
  using Calls = std::vector<std::pair<std::string, std::string>>;
  const std::string stored = "[1998-7]\r\n" + Call("20:01:00.00", "20:02:00.00").first + "=1\r\n";
  const std::string badEnd = "07-30-1998 2x:00:00.00 - NO CARRIER";
  struct Case {
    const char* name;
    std::string store;
    std::vector<std::string> log;
    Calls calls;
    const char* error;
  };
  const Case cases[] = {
      {"start in the store",
       stored,
       {At("20:01:00.00", "Dialing"), badEnd, At("20:05:00.00", "Dialing"),
        At("20:06:00.00", "NO CARRIER"), At("20:07:00.00", "closed")},
       {{Call("20:01:00.00", "20:02:00.00").first, "1"}, Call("20:05:00.00", "20:06:00.00")},
       ""},
      {"start recorded earlier in the log",
       "",
       {At("20:01:00.00", "Dialing"), At("20:02:00.00", "NO CARRIER"), At("20:01:00.00", "Dialing"),
        badEnd, At("20:05:00.00", "Dialing"), At("20:06:00.00", "NO CARRIER")},
       {Call("20:01:00.00", "20:02:00.00"), Call("20:05:00.00", "20:06:00.00")},
       ""},
      {"a new start: the import stops there",
       "",
       {At("20:01:00.00", "Dialing"), At("20:02:00.00", "NO CARRIER"), At("20:03:00.00", "Dialing"),
        badEnd, At("20:05:00.00", "Dialing"), At("20:06:00.00", "NO CARRIER")},
       {Call("20:01:00.00", "20:02:00.00")},
       "'2x' is not a valid integer value"},
      {"a session cleared before its pass",
       "",
       {At("20:00:00.00", "in use"), At("20:03:00.00", "Dialing"), badEnd,
        "07-3x-1998 20:04:00.00 - ATDT", At("20:04:30.00", "Hanging up"),
        At("20:05:00.00", "in use"), At("20:05:00.00", "Dialing"), At("20:06:00.00", "NO CARRIER"),
        At("20:07:00.00", "closed")},
       {Call("20:05:00.00", "20:06:00.00")},
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(store.Path(), c.store);
    std::string error;
    try {
      Import(c.log);
    } catch (const Error& e) {
      error = e.what();
    }
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(StoredCalls(), c.calls);
    EXPECT_EQ(fs.Has(kLog), !error.empty());
  }
}

// Only a modem log is deleted: a file the option names by mistake is read, and stays.
TEST_F(ImportTest, DeletesTheLogOnlyWhenItIsAModemLog) {
  const struct {
    std::string log;
    bool deleted;
  } cases[] = {
      {"", true},
      {"\xEF\xBB\xBF", true},
      {"letter\r\n" + At("20:00:00.00", "in use"), true},
      {"07-30-1998 20:00:00.00", true},
      {"Dear John,\r\nDialing works, Hanging up does not.\r\n", false},
      {" \r\n", false},
      {"13-30-1998 20:00:00.00 - in use\r\n", false},
      {"07-30-1998 20:00:00,00 - in use\r\n", false},
      {" 7-30-1998 20:00:00.00 - in use\r\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log);
    fs.Put(kLog, c.log);
    importer.ImportModemLog(kLog, true);
    EXPECT_EQ(fs.Has(kLog), !c.deleted);
  }
  EXPECT_FALSE(ReadBytes(store.Path()).has_value());
}

// Some tools save the log as UTF-16 with a byte-order mark, or put a UTF-8 mark before it.
TEST_F(ImportTest, ReadsALogInTheEncodingOfItsByteOrderMark) {
  // A telephone sign (outside the 16-bit plane) and an accent in the free text.
  const std::string text = LogText({At("20:00:00.00", "Modem \xC3\xA9 in use"),
                                    At("20:01:00.00", "Dialing \xF0\x9F\x93\x9E"),
                                    At("20:02:00.00", "NO CARRIER"), At("20:03:00.00", "closed")});
  std::u32string codes;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (int k = 1; k < length; ++k) code = (code << 6) | (text[i + k] & 0x3F);
    codes += code;
    i += length;
  }
  const auto utf16 = [&](bool littleEndian) {
    std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    const auto unit = [&](char32_t u) {
      const char high = static_cast<char>(u >> 8);
      const char low = static_cast<char>(u & 0xFF);
      bytes += littleEndian ? std::string{low, high} : std::string{high, low};
    };
    for (char32_t code : codes) {
      if (code < 0x10000) {
        unit(code);
      } else {
        unit(0xD800 + ((code - 0x10000) >> 10));
        unit(0xDC00 + ((code - 0x10000) & 0x3FF));
      }
    }
    return bytes;
  };
  for (const std::size_t chunk : {0, 1, 3}) {
    fs.chunk = chunk;
    for (const std::string& log : {text, "\xEF\xBB\xBF" + text, utf16(true), utf16(false)}) {
      SCOPED_TRACE(log.substr(0, 4));
      std::remove(store.Path().c_str());
      fs.Put(kLog, log);
      importer.ImportModemLog(kLog, true);
      EXPECT_EQ(StoredCalls(), (decltype(StoredCalls()){Call("20:01:00.00", "20:02:00.00")}));
      EXPECT_FALSE(fs.Has(kLog));
    }
  }
}

// Whatever path the option holds, and however it is spelt, the program's own files are no log.
TEST(Import, LeavesTheProgramsOwnFilesAlone) {
  TempDir dir;
  const RegionalSettings rs = PointSettings();
  const std::vector<std::string> own = {dir.File("dorvane"), dir.File("dorvane.DB"),
                                        dir.File("dorvane.INI"), dir.File("dorvane.REG"),
                                        dir.File("dorvane.HLP")};
  const std::string log = LogText({At("20:01:00.00", "Dialing"), At("20:02:00.00", "NO CARRIER")});
  for (const auto& path : own) WriteBytes(path, log);
  std::filesystem::create_symlink(dir.File("dorvane.INI"), dir.File("ModemLog.txt"));
  CallStore store(dir.File("dorvane.DB"), rs);
  RealFileSystem fs(dir.Path());
  ScriptedMessages messages{testing::FailGTest};
  ModemLogImport importer(store, fs, messages, own);
  for (const std::string& name : {dir.File("dorvane"), std::string("\\dorvane.DB"),
                                  dir.Path() + "/./dorvane.INI", std::string("C:\\dorvane.REG"),
                                  std::string("\\dorvane.HLP"), std::string("\\ModemLog.txt")}) {
    SCOPED_TRACE(name);
    importer.ImportModemLog(name, true);
    for (const auto& path : own) EXPECT_EQ(ReadBytes(path), log);
  }
}

TEST(Import, AStoreThatCannotBeWrittenKeepsTheLog) {
  TempDir dir;
  const RegionalSettings rs = PointSettings();
  const std::string path = dir.File("missing/dorvane.DB");
  CallStore store(path, rs);
  MemoryFileSystem fs;
  ScriptedMessages messages{testing::FailGTest};
  ModemLogImport importer(store, fs, messages);
  fs.Put(kLog, LogText({At("20:01:00.00", "Dialing"), At("20:02:00.00", "NO CARRIER")}));
  try {
    importer.ImportModemLog(kLog, true);
    ADD_FAILURE() << "no error";
  } catch (const WriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
  EXPECT_TRUE(fs.Has(kLog));
}

TEST_F(ImportTest, CallsAlreadyStoredAddNothingAndTheLogGoes) {
  const std::vector<std::string> log = {At("20:01:00.00", "Dialing"),
                                        At("20:02:00.00", "NO CARRIER")};
  Import(log);
  const auto before = ReadBytes(store.Path());
  ASSERT_TRUE(before.has_value());
  Import(log);
  EXPECT_EQ(ReadBytes(store.Path()), before);
  EXPECT_FALSE(fs.Has(kLog));
  EXPECT_EQ(fs.deleted, (std::vector<std::string>{kLog, kLog}));
}

TEST(Import, WritesTheDecimalSeparatorOfTheSettings) {
  TempDir dir;
  const RegionalSettings rs = CommaSettings();
  CallStore store(dir.File("dorvane.DB"), rs);
  MemoryFileSystem fs;
  ScriptedMessages messages{testing::FailGTest};
  ModemLogImport importer(store, fs, messages);
  fs.Put(kLog, LogText({At("20:14:03.25", "Dialing"), At("20:52:41.80", "NO CARRIER"),
                        "08-01-1998 06:00:00.00 - ATDT", "08-01-1998 12:00:00.00 - Hanging up"}));
  importer.ImportModemLog(kLog, true);
  EXPECT_EQ(ReadBytes(store.Path()),
            "[1998-7]\r\n36006,8430905671=36006,8699199074\r\n[1998-8]\r\n36008,25=36008,5\r\n");
}

TEST(Import, WorksOnRealFiles) {
  TempDir dir;
  const RegionalSettings rs = PointSettings();
  CallStore store(dir.File("dorvane.DB"), rs);
  RealFileSystem fs(dir.Path());
  ScriptedMessages messages{testing::FailGTest};
  ModemLogImport importer(store, fs, messages);
  WriteBytes(dir.File("ModemLog.txt"),
             LogText({At("20:01:00.00", "Dialing"), At("20:02:00.00", "NO CARRIER")}));
  importer.ImportModemLog("\\ModemLog.txt", true);
  EXPECT_EQ(ReadBytes(store.Path()), "[1998-7]\r\n36006.8340277778=36006.8347222222\r\n");
  EXPECT_FALSE(ReadBytes(dir.File("ModemLog.txt")).has_value());
}

}  // namespace
}  // namespace dorvane
