// Runs the built program with "CHECK" in a folder of its own, on real files, and compares what it
// leaves behind byte for byte.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"
#include "support/session.h"

namespace fs = std::filesystem;

namespace {

using dorvane::e2e::ProgramFolder, dorvane::e2e::ReadFile, dorvane::e2e::WriteFile;

fs::path Data(const std::string& name) {
  return fs::path(DORVANE_TEST_DATA) / "e2e" / name;
}

class CheckRun : public ::testing::Test {
 protected:
  // Runs "dorvane <args>" in the folder under the given locale; returns the exit status, or -1
  // when the program had to be killed after `seconds` (a minute unless told).
  int Run(const std::vector<std::string>& args, const std::string& locale, int seconds = 60) {
    dorvane::e2e::RunOptions options;
    options.args = args;
    options.locale = locale;
    options.timeoutSeconds = seconds;
    return folder_.Run(options).status;
  }

  static std::string FolderName() {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name)
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
  }

  ProgramFolder folder_{FolderName()};
  const fs::path& dir_ = folder_.Dir();
  const fs::path exe_ = dir_ / "dorvane";
};

struct LocaleCase {
  const char* locale;
  const char* expected;
};

void PrintTo(const LocaleCase& c, std::ostream* os) {
  *os << c.locale;
}

class CheckRunLocale : public CheckRun, public ::testing::WithParamInterface<LocaleCase> {};

// No registry file: the Windows directory is empty and the log is "\ModemLog.txt", which on
// this system lies in the program's folder.
TEST_P(CheckRunLocale, ImportsTheDefaultLogAndDeletesIt) {
  fs::copy_file(Data("ModemLog.txt"), dir_ / "ModemLog.txt");
  ASSERT_EQ(Run({"CHECK"}, GetParam().locale), 0);
  EXPECT_EQ(ReadFile(dir_ / "dorvane.DB"), ReadFile(Data(GetParam().expected)));
  EXPECT_FALSE(fs::exists(dir_ / "ModemLog.txt"));
  const std::string reg = ReadFile(dir_ / "dorvane.REG");
  EXPECT_NE(reg.find("\"LoggingPath\"=\"\\\\ModemLog.txt\""), std::string::npos) << reg;
  EXPECT_NE(reg.find("\"Logging\"=hex:01"), std::string::npos) << reg;
  // The check run saves the settings on its way out: a first start's defaults, in the
  // locale's own notation.
  const std::string ini = ReadFile(dir_ / "dorvane.INI");
  const bool comma = std::string(GetParam().locale).starts_with("de_");
  EXPECT_NE(ini.find("[strgrdCost]\r\nCount=1\r\nCell01=The time not specified above\r\n"),
            std::string::npos)
      << ini;
  EXPECT_NE(ini.find(comma ? "Cell21=0,3\r\nCell31=0,1\r\n" : "Cell21=0.3\r\nCell31=0.1\r\n"),
            std::string::npos)
      << ini;
  EXPECT_NE(ini.find("[PageControl]\r\nActivePage=1\r\n"), std::string::npos) << ini;
}

INSTANTIATE_TEST_SUITE_P(Locales, CheckRunLocale,
                         ::testing::Values(LocaleCase{"C.UTF-8", "expected_point.DB"},
                                           LocaleCase{"en_US.UTF-8", "expected_point.DB"},
                                           LocaleCase{"de_DE.UTF-8", "expected_comma.DB"}),
                         [](const auto& info) {
                           std::string name = info.param.locale;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST_F(CheckRun, ReadsTheWindowsDirectoryFromTheRegistry) {
  const fs::path windir = dir_ / "WINDOWS";
  // The value as it stands in the registry file, and the path written back as "LoggingPath".
  struct Case {
    std::string winDirValue;
    std::string loggingPath;
  } cases[] = {
      {windir.string(), windir.string() + "\\\\ModemLog.txt"},
      // A trailing backslash, escaped or written by hand: the file name is joined on all the same.
      {windir.string() + "\\\\", windir.string() + "\\\\\\\\ModemLog.txt"},
      {windir.string() + "\\", windir.string() + "\\\\\\\\ModemLog.txt"},
      // A drive path: the drive is the program's folder.
      {"C:\\\\WINDOWS", "C:\\\\WINDOWS\\\\ModemLog.txt"},
      {"C:\\WINDOWS\\", "C:\\\\WINDOWS\\\\\\\\ModemLog.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.winDirValue);
    fs::remove(dir_ / "dorvane.DB");
    fs::create_directories(windir);
    fs::copy_file(Data("ModemLog.txt"), windir / "ModemLog.txt");
    WriteFile(dir_ / "dorvane.REG", dorvane::testing::WindowsFolderRegistry(c.winDirValue));
    ASSERT_EQ(Run({"/check"}, "C.UTF-8"), 0);
    EXPECT_EQ(ReadFile(dir_ / "dorvane.DB"), ReadFile(Data("expected_point.DB")));
    EXPECT_FALSE(fs::exists(windir / "ModemLog.txt"));
    EXPECT_NE(ReadFile(dir_ / "dorvane.REG").find("\"LoggingPath\"=\"" + c.loggingPath + "\""),
              std::string::npos)
        << ReadFile(dir_ / "dorvane.REG");
  }
}

TEST_F(CheckRun, SkipsCallsAlreadyInTheStore) {
  fs::copy_file(Data("ModemLog.txt"), dir_ / "ModemLog.txt");
  fs::copy_file(Data("existing_point.DB"), dir_ / "dorvane.DB");
  ASSERT_EQ(Run({"reCheck"}, "C.UTF-8"), 0);
  EXPECT_EQ(ReadFile(dir_ / "dorvane.DB"), ReadFile(Data("expected_existing_point.DB")));
  EXPECT_FALSE(fs::exists(dir_ / "ModemLog.txt"));

  // A second start with the same log adds nothing.
  fs::copy_file(Data("ModemLog.txt"), dir_ / "ModemLog.txt");
  ASSERT_EQ(Run({"CHECK"}, "C.UTF-8"), 0);
  EXPECT_EQ(ReadFile(dir_ / "dorvane.DB"), ReadFile(Data("expected_existing_point.DB")));
  EXPECT_FALSE(fs::exists(dir_ / "ModemLog.txt"));
}

TEST_F(CheckRun, TheProgramsOwnFirstParameterCountsNotTheToolkitsOptions) {
  // "-reverse" is the first parameter, though the toolkit takes it for its own option: no check
  // run, the window stays open until it is killed.
  EXPECT_EQ(Run({"-reverse", "CHECK"}, "C.UTF-8", 5), -1);
  EXPECT_EQ(Run({"CHECK", "-reverse"}, "C.UTF-8"), 0);
}

// Whatever "Log File:" names, the program's own files are never taken for the log; a file with
// no driver's time stamp is not deleted; a log saved as UTF-16 comes in like any other.
TEST_F(CheckRun, DeletesOnlyAModemLogAndNeverItsOwnFiles) {
  const std::string log = ReadFile(Data("ModemLog.txt"));
  std::string utf16 = "\xFF\xFE";
  for (char c : log) utf16 += std::string{c, '\0'};
  const std::string store = ReadFile(Data("existing_point.DB"));
  const std::string exe = ReadFile(exe_);
  struct Case {
    std::string option;  // the log file option
    std::string file;    // the file it names, written before the run
    std::string content;
    std::optional<std::string> storeAfter;
    bool deleted;
  } cases[] = {
      {"\\dorvane.DB", "dorvane.DB", store, store, false},
      {(dir_ / "dorvane").string(), "dorvane", exe, std::nullopt, false},
      {(dir_ / "dorvane.HLP").string(), "dorvane.HLP", log, std::nullopt, false},
      {(dir_ / "dorvane.REG").string(), "dorvane.REG", "REGEDIT4\r\n\r\n" + log, std::nullopt,
       false},
      {(dir_ / "letter.txt").string(), "letter.txt", "Dear John,\r\n", std::nullopt, false},
      {(dir_ / "ModemLog16.txt").string(), "ModemLog16.txt", utf16,
       ReadFile(Data("expected_point.DB")), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    fs::remove(dir_ / "dorvane.DB");
    WriteFile(dir_ / c.file, c.content);
    WriteFile(dir_ / "dorvane.INI", "[Windows Modem Log File]\r\nLogFileName=" + c.option + "\r\n");
    ASSERT_EQ(Run({"CHECK"}, "C.UTF-8"), 0);
    EXPECT_EQ(fs::exists(dir_ / c.file), !c.deleted);
    // The registry file is written at every start; the others are left as they were.
    if (!c.deleted && c.file != "dorvane.REG") {
      EXPECT_EQ(ReadFile(dir_ / c.file), c.content);
    }
    EXPECT_EQ(fs::exists(dir_ / "dorvane.DB"), c.storeAfter.has_value());
    if (c.storeAfter) {
      EXPECT_EQ(ReadFile(dir_ / "dorvane.DB"), *c.storeAfter);
    }
  }
}

TEST_F(CheckRun, WithoutALogLeavesNoStore) {
  ASSERT_EQ(Run({"CHECK"}, "C.UTF-8"), 0);
  EXPECT_FALSE(fs::exists(dir_ / "dorvane.DB"));
}

}  // namespace
