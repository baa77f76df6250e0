#include "platform/regionalrecord.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/error.h"
#include "support/files.h"

namespace dorvane {
namespace {

using testing::ReadBytes;
using testing::TempDir;

std::vector<std::string> InstalledLocales() {
  std::vector<std::string> names = {"C", "POSIX"};
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen("locale -a 2>/dev/null", "r"), ::pclose);
  if (!pipe) return names;
  char line[256];
  while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
    std::string name(line);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

// String values kept in memory: the record's fields, without a file per locale.
class MemoryRegistry : public Registry {
 public:
  bool OpenKey(const std::string&) override { return true; }
  std::optional<std::string> ReadString(const std::string& key, const std::string& name) override {
    const auto it = values_.find(key + "\n" + name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
  }
  void WriteString(const std::string& key, const std::string& name,
                   const std::string& value) override {
    values_[key + "\n" + name] = value;
  }
  void WriteBinary(const std::string&, const std::string&,
                   const std::vector<std::uint8_t>&) override {}

 private:
  std::map<std::string, std::string> values_;
};

// The record keeps every field, so a folder reads back on a machine that lacks the locale
// which wrote it.
TEST(RegionalRecord, EveryInstalledLocaleReadsBackAsRecorded) {
  MemoryRegistry reg;
  std::size_t checked = 0;
  for (const std::string& name : InstalledLocales()) {
    RegionalSettings rs;
    try {
      rs = RegionalSettings::FromLocale(name);
    } catch (const Error&) {
      continue;
    }
    SCOPED_TRACE(name);
    RecordRegional(reg, rs);
    const std::optional<RegionalSettings> back = ReadRecordedRegional(reg);
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(*back == rs) << "decimal '" << back->decimalSeparator << "' time '"
                             << back->longTimeFormat << "'";
    ++checked;
  }
  EXPECT_GT(checked, 1u);
}

// In the registry file the record sits apart from the machine-wide values, and texts that need
// escaping come back as they were.
TEST(RegionalRecord, TheRegistryFileKeepsItUnderTheUsersKey) {
  TempDir dir;
  RegFileRegistry reg(dir.File("dorvane.REG"));
  reg.WriteString("Software\\Microsoft\\Windows\\CurrentVersion\\Setup", "WinDir", "C:\\W");
  EXPECT_EQ(ReadRecordedRegional(reg), std::nullopt);
  RegionalSettings rs = RegionalSettings::FromLocale("de_DE.UTF-8");
  rs.currencySymbol = "\\\"€";
  rs.timeAMString = "";
  RecordRegional(reg, rs);
  EXPECT_TRUE(ReadRecordedRegional(reg) == rs);
  const std::string text = ReadBytes(reg.Path()).value_or("");
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Control Panel\\International]\r\n"), std::string::npos);
  EXPECT_EQ(reg.ReadString("Software\\Microsoft\\Windows\\CurrentVersion\\Setup", "WinDir"),
            "C:\\W");
}

TEST(RegionalRecord, TheFirstStartRecordsAndLaterOnesKeepWhatItRecorded) {
  TempDir dir;
  RegFileRegistry reg(dir.File("dorvane.REG"));
  RegionalSettings german;
  german.decimalSeparator = ",";
  german.thousandSeparator = ".";
  german.shortDayNames = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
  const RegionalSettings plain;

  // A run that only reads records nothing.
  EXPECT_TRUE(FolderRegional(reg, german, false) == german);
  EXPECT_EQ(ReadRecordedRegional(reg), std::nullopt);
  EXPECT_TRUE(FolderRegional(reg, german, true) == german);
  EXPECT_TRUE(FolderRegional(reg, plain, true) == german);
  EXPECT_TRUE(FolderRegional(reg, plain, false) == german);
  EXPECT_EQ(reg.ReadString(kRegionalSettingsKey, "sAbbrevDayName1"), "Mo");
  EXPECT_EQ(reg.ReadString(kRegionalSettingsKey, "sAbbrevDayName7"), "So");

  // A folder that cannot be written keeps the environment's settings for the run.
  RegFileRegistry nowhere(dir.File("missing/dorvane.REG"));
  EXPECT_TRUE(FolderRegional(nowhere, german, true) == german);
}

}  // namespace
}  // namespace dorvane
