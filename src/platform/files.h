// The file-system seam: the few operations the program performs on files it does not own,
// and the atomic replacement of the files it does own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dorvane {

// Size and modification time, to tell whether a file changed between two looks.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;
  bool operator==(const FileStamp&) const = default;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool Exists(const std::string& path) const = 0;
  // The whole file; nullopt when it cannot be opened for reading.
  virtual std::optional<std::string> ReadAll(const std::string& path) const = 0;
  // False when the file could not be deleted (missing, or refused).
  virtual bool Delete(const std::string& path) = 0;
  virtual std::optional<FileStamp> Stamp(const std::string& path) const = 0;
};

// Opens paths through NativePath with the program's folder as the drive root.
class RealFileSystem : public FileSystem {
 public:
  explicit RealFileSystem(std::string driveRoot) : driveRoot_(std::move(driveRoot)) {}
  bool Exists(const std::string& path) const override;
  std::optional<std::string> ReadAll(const std::string& path) const override;
  bool Delete(const std::string& path) override;
  std::optional<FileStamp> Stamp(const std::string& path) const override;

 private:
  std::string driveRoot_;
};

// Paths built the Windows way are opened on POSIX with "\" taken as the directory separator.
// There are no drives here: a drive-rooted path ("\\ModemLog.txt", "C:\\WINDOWS\\x") is taken
// relative to `driveRoot` (the program's folder). POSIX paths pass through unchanged apart from
// the separators. An empty `driveRoot` makes a drive-rooted path relative to the working folder.
std::string NativePath(std::string_view path, std::string_view driveRoot);

// The path with its extension (after the last "." of the file name) replaced, e.g. ".DB".
std::string ChangeFileExt(std::string_view path, std::string_view ext);

// Splits text into lines at CR LF, LF or CR; a final line end adds no empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

// Writes the file through a temporary beside it, flushed to disk, renamed over the target.
// False when any step fails (the target is then untouched and the temporary removed). An existing
// target keeps its permissions; a symbolic link is followed and the file it names is replaced.
bool WriteFileAtomically(const std::string& path, std::string_view content);

// An advisory lock on a file (a lock file "<path>.lock" beside it), held for the object's life.
// Serialises writers in different processes. Within one process the lock is re-entrant for the
// thread that holds it (a nested lock on the same file neither blocks nor releases early) and
// other threads wait. When the lock file cannot be created (no folder, no right) the object holds
// nothing: the write that follows fails on its own and reports it.
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool Held() const { return held_; }

 private:
  int fd_ = -1;
  bool held_ = false;
  std::uint64_t device_ = 0;
  std::uint64_t inode_ = 0;
};

}  // namespace dorvane
