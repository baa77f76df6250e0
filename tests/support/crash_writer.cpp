// Rewrites a large INI file over and over, flipping between two known contents, until killed.
// Usage: dorvane_crash_writer <file>. Prints "ready" once the file holds a whole first content.
#include <unistd.h>

#include <cstdio>

#include "crash_content.h"
#include "platform/error.h"
#include "platform/profile.h"

namespace {

void WriteAll(dorvane::ProfileFile& ini, bool second) {
  dorvane::ProfileEdit edit(ini);
  for (int s = 0; s < dorvane::crash::kSections; ++s) {
    const std::string section = dorvane::crash::SectionName(s);
    for (int k = 0; k < dorvane::crash::kKeysPerSection; ++k) {
      edit.WriteString(section, dorvane::crash::KeyName(s, k), dorvane::crash::Value(s, k, second));
    }
  }
  edit.Commit();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dorvane_crash_writer <file>\n");
    return 2;
  }
  try {
    dorvane::ProfileFile ini(argv[1]);
    WriteAll(ini, false);
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (bool second = true;; second = !second) {
      WriteAll(ini, second);
      // A single write through the accessor that changes nothing must not disturb the file.
      ini.WriteString(dorvane::crash::SectionName(0), dorvane::crash::KeyName(0, 0),
                      dorvane::crash::Value(0, 0, second));
    }
  } catch (const dorvane::Error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
