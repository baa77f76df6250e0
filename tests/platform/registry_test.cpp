#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/error.h"
#include "support/files.h"

namespace dorvane {
namespace {

using testing::ReadBytes, testing::TempDir, testing::WriteBytes;

constexpr const char* kSetup = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup";
constexpr const char* kModem = "System\\CurrentControlSet\\Services\\Class\\Modem\\0000";

TEST(RegFileRegistry, MissingFileIsAnEmptyRegistryAndOpenKeyCreatesIt) {
  TempDir dir;
  RegFileRegistry reg(dir.File("dorvane.REG"));
  EXPECT_EQ(reg.ReadString(kSetup, "WinDir"), std::nullopt);
  EXPECT_FALSE(ReadBytes(reg.Path()).has_value());
  ASSERT_TRUE(reg.OpenKey(kSetup));
  EXPECT_EQ(ReadBytes(reg.Path()),
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
            "Setup]\r\n\r\n");
  ASSERT_TRUE(reg.OpenKey("software\\MICROSOFT\\windows\\currentversion\\setup"));
  EXPECT_EQ(reg.ReadString(kSetup, "WinDir"), std::nullopt);
}

TEST(RegFileRegistry, WritesTheModemValuesAndReadsThemBack) {
  TempDir dir;
  RegFileRegistry reg(dir.File("dorvane.REG"));
  ASSERT_TRUE(reg.OpenKey(kModem));
  reg.WriteString(kModem, "LoggingPath", "C:\\WINDOWS\\ModemLog.txt");
  reg.WriteBinary(kModem, "Logging", {0x01});
  EXPECT_EQ(ReadBytes(reg.Path()),
            "REGEDIT4\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Modem\\0000]\r\n"
            "\"LoggingPath\"=\"C:\\\\WINDOWS\\\\ModemLog.txt\"\r\n"
            "\"Logging\"=hex:01\r\n\r\n");
  EXPECT_EQ(reg.ReadString(kModem, "LoggingPath"), "C:\\WINDOWS\\ModemLog.txt");
  EXPECT_EQ(reg.ReadString(kModem, "loggingpath"), "C:\\WINDOWS\\ModemLog.txt");
  EXPECT_EQ(reg.ReadString(kModem, "Logging"), std::nullopt);  // binary, not a string

  // Writing again replaces the values in place.
  reg.WriteString(kModem, "LoggingPath", "\\ModemLog.txt");
  reg.WriteBinary(kModem, "Logging", {0x01, 0xAB});
  EXPECT_EQ(ReadBytes(reg.Path()),
            "REGEDIT4\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Modem\\0000]\r\n"
            "\"LoggingPath\"=\"\\\\ModemLog.txt\"\r\n"
            "\"Logging\"=hex:01,ab\r\n\r\n");
}

TEST(RegFileRegistry, StringsRoundTripWithEscapes) {
  TempDir dir;
  RegFileRegistry reg(dir.File("r.REG"));
  const std::string values[] = {"",      "plain",    "a\"quote\"", "back\\slash\\", "\\\\server\\x",
                                "Größe", "tail \\\""};
  for (const auto& value : values) {
    reg.WriteString(kSetup, "Name \"odd\\\"", value);
    EXPECT_EQ(reg.ReadString(kSetup, "Name \"odd\\\""), value) << value;
  }
  reg.WriteString(kSetup, "", "default value");
  EXPECT_EQ(reg.ReadString(kSetup, ""), "default value");
  EXPECT_NE(ReadBytes(reg.Path())->find("\r\n@=\"default value\"\r\n"), std::string::npos);
}

TEST(RegFileRegistry, ReadsAnExportWithLfAndKeepsWhatItDoesNotKnow) {
  TempDir dir;
  RegFileRegistry reg(dir.File("r.REG"));
  WriteBytes(reg.Path(),
             "REGEDIT4\n\n"
             "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup]\n"
             "\"WinDir\"=\"D:\\\\OTHER\"\n\n"
             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup]\n"
             "@=\"x\"\n"
             "\"Count\"=dword:00000002\n"
             "\"Path\"=hex(2):25,00,\\\n"
             "  41,00\n"
             "; a note\n"
             "\"WinDir\"=\"C:\\\\WINDOWS\"\n\n");
  EXPECT_EQ(reg.ReadString(kSetup, "WinDir"), "C:\\WINDOWS");
  EXPECT_EQ(reg.ReadString(kSetup, "Count"), std::nullopt);
  EXPECT_EQ(reg.ReadString(kSetup, "Path"), std::nullopt);

  reg.WriteBinary(kSetup, "Path", {0x41});
  reg.WriteString(kSetup, "New", "n");
  EXPECT_EQ(ReadBytes(reg.Path()),
            "REGEDIT4\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup]\r\n"
            "\"WinDir\"=\"D:\\\\OTHER\"\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup]\r\n"
            "@=\"x\"\r\n"
            "\"Count\"=dword:00000002\r\n"
            "\"Path\"=hex:41\r\n"
            "; a note\r\n"
            "\"WinDir\"=\"C:\\\\WINDOWS\"\r\n"
            "\"New\"=\"n\"\r\n\r\n");
}

TEST(RegFileRegistry, ReadsTheWindowsDirectoryAsPeopleWriteItByHand) {
  struct Case {
    const char* line;
    std::optional<std::string> value;
  } cases[] = {
      {"\"WinDir\"=\"C:\\\\WINDOWS\\\\\"", "C:\\WINDOWS\\"},
      // Backslashes not doubled, the last one before the closing quote.
      {"\"WinDir\"=\"C:\\WINDOWS\\\"", "C:\\WINDOWS\\"},
      {"\"WinDir\"=\"/srv/win\\\"  ", "/srv/win\\"},
      {"\"WinDir\"=\"C:\\WINDOWS\"", "C:\\WINDOWS"},
      {"\"WinDir\" = \"C:\\\\WINDOWS\"", "C:\\WINDOWS"},
      {"\"WinDir\"=\"C:\\WINDOWS", std::nullopt},
      {"\"WinDir\"=\"", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    TempDir dir;
    RegFileRegistry reg(dir.File("r.REG"));
    WriteBytes(reg.Path(), std::string("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\") + kSetup + "]\r\n" +
                               c.line + "\r\n\r\n");
    EXPECT_EQ(reg.ReadString(kSetup, "WinDir"), c.value);
  }
}

// The write fails with the message that names the value.
void ExpectRefused(const std::function<void()>& write, const std::string& value) {
  try {
    write();
    ADD_FAILURE() << "the write succeeded";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Failed to set data for '" + value + "'");
  }
}

TEST(RegFileRegistry, FailedWritesNameTheValue) {
  TempDir dir;
  WriteBytes(dir.File("plain"), "x");
  for (const std::string& path : {dir.File("missing/r.REG"), dir.File("plain/r.REG")}) {
    RegFileRegistry reg(path);
    EXPECT_FALSE(reg.OpenKey(kModem));
    ExpectRefused([&] { reg.WriteString(kModem, "LoggingPath", "x"); }, "LoggingPath");
    ExpectRefused([&] { reg.WriteBinary(kModem, "Logging", {1}); }, "Logging");
  }
  // A file the user made read-only is refused even when the value would not change.
  const std::string readOnly = dir.File("ro.REG");
  const std::string content = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\" + std::string(kModem) +
                              "]\r\n\"LoggingPath\"=\"x\"\r\n";
  WriteBytes(readOnly, content);
  chmod(readOnly.c_str(), 0444);
  RegFileRegistry ro(readOnly);
  EXPECT_TRUE(ro.OpenKey(kModem));
  ExpectRefused([&] { ro.WriteString(kModem, "LoggingPath", "x"); }, "LoggingPath");
  EXPECT_EQ(ReadBytes(readOnly), content);
  // A line break cannot be held by an export line.
  RegFileRegistry reg(dir.File("r.REG"));
  EXPECT_THROW(reg.WriteString(kModem, "LoggingPath", "a\r\n[HKEY_LOCAL_MACHINE\\x]"), Error);
}

}  // namespace
}  // namespace dorvane
