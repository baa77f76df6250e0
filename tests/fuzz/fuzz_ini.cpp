// Arbitrary bytes as an INI file: reads must not crash, the two readers must agree, and a key
// written into the file must read back as written.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/profile.h"

namespace {

std::string& ScratchFile() {
  static std::string path = [] {
    char pattern[] = "/tmp/dorvane-fuzz-XXXXXX";
    const char* dir = ::mkdtemp(pattern);
    return std::string(dir ? dir : "/tmp") + "/fuzz.ini";
  }();
  return path;
}

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The first bytes choose the names looked up, the rest is the file.
  std::string_view names = input.substr(0, input.find('\0'));
  std::string_view file = input.substr(names.size() < input.size() ? names.size() + 1 : size);
  const auto bar = names.find('|');
  const std::string section(names.substr(0, bar));
  const std::string key(bar == std::string_view::npos ? "k" : names.substr(bar + 1));

  const std::string& path = ScratchFile();
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
  }
  dorvane::ProfileFile ini(path);
  for (const char* probe : {"s", "", "[", "="}) {
    Check(ini.ReadString(probe, probe, "d") ==
          dorvane::ProfileEdit(ini).ReadString(probe, probe, "d"));
  }
  const std::string before = ini.ReadString(section, key, "default");
  Check(before == dorvane::ProfileEdit(ini).ReadString(section, key, "default"));
  Check(before.size() <= 1023);
  (void)ini.ReadInteger(section, key, 1);

  const std::string value = "v=1 ;x";
  try {
    ini.WriteString(section, key, value);
  } catch (const dorvane::WriteError&) {
    return 0;  // names that cannot be written are refused, and the file is left alone
  }
  Check(ini.ReadString(section, key, "") == value);
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
      Check(ini.ReadString(section, key, "d") == inBatch);
    }
  } catch (const dorvane::WriteError&) {
    Check(false);
  }
  return 0;
}
