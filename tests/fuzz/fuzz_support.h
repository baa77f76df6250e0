// What the fuzz targets share: a property check that stops the run where it fails, and a folder
// of their own for the files they write.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace dorvane::fuzz {

inline void Check(bool ok, int line) {
  if (ok) return;
  std::fprintf(stderr, "check on line %d failed\n", line);
  std::abort();
}

// A folder of its own, memory-backed when the machine has it (every write ends in a flushed
// file), removed at exit.
struct ScratchFolder {
  ScratchFolder() {
    char shm[] = "/dev/shm/dorvane-fuzz-XXXXXX";
    char tmp[] = "/tmp/dorvane-fuzz-XXXXXX";
    const char* made = ::mkdtemp(shm);
    if (made == nullptr) made = ::mkdtemp(tmp);
    if (made == nullptr) std::abort();
    path = made;
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string path;
};

// The one scratch folder of the run.
inline const std::string& ScratchDir() {
  static const ScratchFolder folder;
  return folder.path;
}

}  // namespace dorvane::fuzz

#define CHECK(condition) ::dorvane::fuzz::Check(condition, __LINE__)
