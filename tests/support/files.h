// Scratch folders and raw file access for the tests: one fresh folder per test, and a file's
// bytes read or written as they are, without the program's own file layer.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace dorvane::testing {

// A fresh folder "<prefix>-XXXXXX" in `base` (the system's temporary folder when empty), removed
// with everything in it.
class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "dorvane", const std::string& base = "") {
    const std::filesystem::path in =
        base.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(base);
    std::string pattern = (in / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    if (keep_) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Leaves the folder in place, for a failed test's files to be looked at.
  void Keep() { keep_ = true; }

 private:
  std::string path_;
  bool keep_ = false;
};

// The file's bytes; nothing when it cannot be opened or is not a regular file.
inline std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Replaces the file's bytes; false when that failed.
inline bool WriteBytes(const std::filesystem::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  out.flush();
  return out.good();
}

}  // namespace dorvane::testing
