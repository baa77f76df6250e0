// What the fuzz targets share: a property check that stops the run where it fails, and a folder
// of their own for the files they write.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "support/files.h"

namespace dorvane::fuzz {

inline void Check(bool ok, int line) {
  if (ok) return;
  std::fprintf(stderr, "check on line %d failed\n", line);
  std::abort();
}

// The one scratch folder of the run, memory-backed when the machine has it (every write ends in
// a flushed file), removed at exit.
inline const std::string& ScratchDir() {
  static const std::unique_ptr<testing::TempDir> folder = [] {
    try {
      return std::make_unique<testing::TempDir>("dorvane-fuzz", "/dev/shm");
    } catch (const std::runtime_error&) {
      return std::make_unique<testing::TempDir>("dorvane-fuzz");
    }
  }();
  return folder->Path();
}

}  // namespace dorvane::fuzz

#define CHECK(condition) ::dorvane::fuzz::Check(condition, __LINE__)
