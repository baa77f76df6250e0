// Arbitrary bytes as an INI file, and a section, key and value to write into it. Reads must not
// crash and the two readers must agree; a write either is refused with the file left as it was,
// or reads back as written (trimmed and unquoted, as the profile functions read every value)
// and leaves every other key of the file reading as before; deletes in a batch read the same
// before and after the commit.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/error.h"
#include "platform/profile.h"
#include "support/files.h"

namespace {

const std::string& ScratchFile() {
  static const std::string path = dorvane::fuzz::ScratchDir() + "/fuzz.ini";
  return path;
}

std::string FileText(const std::string& path) {
  return dorvane::testing::ReadBytes(path).value_or("");
}

bool IsProfileSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  a = Trim(a);
  b = Trim(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// What a read gives for a value written as `value`: trimmed, one pair of matching quotes
// removed, at most 1023 characters.
std::string ReadBack(std::string_view value) {
  value = Trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, 1023));
}

// Section and key names as they stand in the file (at most 64 pairs).
std::vector<std::pair<std::string, std::string>> NamesInFile(std::string_view file) {
  std::vector<std::pair<std::string, std::string>> names;
  std::string section;
  bool inSection = false;
  std::size_t from = 0;
  while (from <= file.size() && names.size() < 64) {
    std::size_t to = file.find_first_of("\r\n", from);
    if (to == std::string_view::npos) to = file.size();
    const std::string_view line = Trim(file.substr(from, to - from));
    from = to + 1;
    if (line.empty() || line.front() == ';') continue;
    const auto close = line.rfind(']');
    if (line.front() == '[' && close != std::string_view::npos && close > 0) {
      section = Trim(line.substr(1, close - 1));
      inSection = true;
      names.emplace_back(section, "k");
    } else if (inSection) {
      names.emplace_back(section, Trim(line.substr(0, line.find('='))));
    }
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // "section|key|value", a NUL, then the file.
  const std::string_view names = input.substr(0, input.find('\0'));
  const std::string_view file = input.substr(names.size() < input.size() ? names.size() + 1 : size);
  const auto bar = names.find('|');
  const auto bar2 = bar == std::string_view::npos ? bar : names.find('|', bar + 1);
  const std::string section(names.substr(0, bar));
  const std::string key(bar == std::string_view::npos ? "k"
                                                      : names.substr(bar + 1, bar2 - bar - 1));
  const std::string value(bar2 == std::string_view::npos ? "v=1 ;x" : names.substr(bar2 + 1));

  const std::string& path = ScratchFile();
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
  }
  dorvane::ProfileFile ini(path);
  for (const char* probe : {"s", "", "[", "="}) {
    CHECK(ini.ReadString(probe, probe, "d") ==
          dorvane::ProfileEdit(ini).ReadString(probe, probe, "d"));
  }
  const std::string before = ini.ReadString(section, key, "default");
  CHECK(before == dorvane::ProfileEdit(ini).ReadString(section, key, "default"));
  CHECK(before.size() <= 1023);
  (void)ini.ReadInteger(section, key, 1);

  const auto others = NamesInFile(file);
  std::vector<std::string> othersBefore;
  {
    dorvane::ProfileEdit edit(ini);
    for (const auto& [s, k] : others) othersBefore.push_back(edit.ReadString(s, k, "\x01"));
  }

  try {
    ini.WriteString(section, key, value);
  } catch (const dorvane::WriteError&) {
    // Names and values that would not read back are refused, and the file is left alone.
    CHECK(FileText(path) == file);
    return 0;
  }
  CHECK(ini.ReadString(section, key, "") == ReadBack(value));
  {
    dorvane::ProfileEdit edit(ini);
    CHECK(edit.ReadString(section, key, "") == ReadBack(value));
    for (std::size_t i = 0; i < others.size(); ++i) {
      const auto& [s, k] = others[i];
      if (SameName(s, section) && SameName(k, key)) continue;
      CHECK(edit.ReadString(s, k, "\x01") == othersBefore[i]);
    }
  }

  // The batch keeps its indexes right through deletes: what it reads before the commit is what
  // the file gives after it.
  try {
    for (int round = 0; round < 2; ++round) {
      dorvane::ProfileEdit edit(ini);
      if (round == 0) {
        edit.DeleteKey(section, key);
      } else {
        edit.EraseSection(section);
      }
      const std::string inBatch = edit.ReadString(section, key, "d");
      edit.Commit();
      CHECK(ini.ReadString(section, key, "d") == inBatch);
    }
  } catch (const dorvane::WriteError&) {
    CHECK(false);
  }
  return 0;
}
