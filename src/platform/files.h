// The file-system seam: the few operations the program performs on files it does not own,
// and the atomic replacement of the files it does own.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/linereader.h"

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
  // The file's lines, read as they are asked for; nullptr when it cannot be opened for reading.
  // Unless a file system reads in blocks, the file is read whole through ReadAll.
  virtual std::unique_ptr<LineSource> OpenLines(const std::string& path) const;
  // The file opened once, its lines to be read in as many passes as needed, all of one version
  // of it; nullptr when it cannot be opened for reading. Unless a file system keeps the file
  // open, the file is read whole through ReadAll.
  virtual std::unique_ptr<LineSnapshot> OpenSnapshot(const std::string& path) const;
  // The file's bytes, a block at a time as they are asked for; an empty function when it cannot
  // be opened for reading. Unless a file system reads in blocks, the file is read whole through
  // ReadAll.
  virtual ReadBlock OpenBytes(const std::string& path) const;
  // False when the file could not be deleted (missing, or refused).
  virtual bool Delete(const std::string& path) = 0;
  virtual std::optional<FileStamp> Stamp(const std::string& path) const = 0;
  // True when both paths lead to one existing file, however they are spelt.
  virtual bool SameFile(const std::string& a, const std::string& b) const { return a == b; }
  // Hands a log over to its reader: under the lock its writer takes (the lock on its folder),
  // renames `path` to `aside` unless that name is taken, so whatever is written after this moment
  // starts a new log and nothing is lost when the handed-over file is deleted. False when it could
  // not (the name taken, or the lock not had within seconds); the reader then reads the log where
  // it is.
  virtual bool HandOver(const std::string& /*path*/, const std::string& /*aside*/) { return false; }
  // Gives a handed-over log its name back, under the same lock, unless a new log has it.
  virtual bool GiveBack(const std::string& /*aside*/, const std::string& /*path*/) { return false; }
  // Claims a handed-over log for this reader alone while the handle lives, so that two runs
  // never import one log at once; null when another reader holds it or the name no longer leads
  // to the file claimed. A file system that cannot tell hands every claim out.
  using Claim = std::shared_ptr<void>;
  virtual Claim ClaimFile(const std::string& /*path*/) { return std::make_shared<int>(0); }
  // Why no file can be made in the folder (the system's reason, "Permission denied"); nullopt
  // when one can.
  virtual std::optional<std::string> FolderWriteProblem(const std::string& /*folder*/) const {
    return std::nullopt;
  }
};

// Opens paths through NativePath with the program's folder as the drive root. The program's own
// files (`ownFiles`, native paths from DataPaths) are opened exactly as named, as their writers
// open them: a backslash in their folder's name is part of the name.
class RealFileSystem : public FileSystem {
 public:
  explicit RealFileSystem(std::string driveRoot, std::vector<std::string> ownFiles = {})
      : driveRoot_(std::move(driveRoot)), ownFiles_(std::move(ownFiles)) {}
  bool Exists(const std::string& path) const override;
  std::optional<std::string> ReadAll(const std::string& path) const override;
  std::unique_ptr<LineSource> OpenLines(const std::string& path) const override;
  std::unique_ptr<LineSnapshot> OpenSnapshot(const std::string& path) const override;
  ReadBlock OpenBytes(const std::string& path) const override;
  bool Delete(const std::string& path) override;
  std::optional<FileStamp> Stamp(const std::string& path) const override;
  bool SameFile(const std::string& a, const std::string& b) const override;
  bool HandOver(const std::string& path, const std::string& aside) override;
  bool GiveBack(const std::string& aside, const std::string& path) override;
  Claim ClaimFile(const std::string& path) override;
  // Makes and removes a file of its own in the folder, so that a read-only mount, an immutable
  // folder or missing rights show, also to root.
  std::optional<std::string> FolderWriteProblem(const std::string& folder) const override;

 private:
  std::string Native(const std::string& path) const;

  std::string driveRoot_;
  std::vector<std::string> ownFiles_;
};

// Paths built the Windows way are opened on POSIX with "\" taken as the directory separator.
// There are no drives here: a drive-rooted path ("\\ModemLog.txt", "C:\\WINDOWS\\x") is taken
// relative to `driveRoot` (the program's folder). POSIX paths pass through unchanged apart from
// the separators. An empty `driveRoot` makes a drive-rooted path relative to the working folder.
std::string NativePath(std::string_view path, std::string_view driveRoot);

// The path with its extension (after the last "." of the file name) replaced, e.g. ".DB".
std::string ChangeFileExt(std::string_view path, std::string_view ext);

// The folder that holds a native path's file: "." for a bare name, "/" for a file at the root.
std::string FolderOf(std::string_view path);

// Appends what the descriptor reads to `out`, up to its end or `limit` bytes: the one reader of
// whole files. False when a read fails; what was read before stays in `out`.
bool ReadDescriptor(int fd, std::string& out, std::size_t limit = static_cast<std::size_t>(-1));

// What ReadWholeFile found: the file read, no such file, or one that cannot be read (or, for
// kRegularFile, is no regular file: a FIFO would block, a device never end).
enum class FileRead { kRead, kMissing, kFailed };
enum class FileKinds { kAny, kRegularFile };

// The whole file at a native path into `content`.
FileRead ReadWholeFile(const std::string& nativePath, std::string& content,
                       FileKinds kinds = FileKinds::kAny);
// The same when only "read or not" matters: nullopt for a missing or unreadable file.
std::optional<std::string> ReadWholeFile(const std::string& nativePath);

// True when the program may replace the file at `path`: it does not exist yet, or it is a
// regular file this user may write. A file without any write bit (mode 444, the read-only
// attribute of the classic platform) is refused even to the superuser, who could otherwise
// replace anything; a file owned by someone else that this user may not write is refused too.
bool MayWriteFile(const std::string& path);

// Writes a file in pieces through a temporary beside it ("<target>.~PID-N.tmp"); Commit flushes
// it to disk and renames it over the target, so readers see the old or the new file, never a
// part. An existing target keeps its mode, and its owner and group where this process may set
// them; a symbolic link is followed and the file it names is replaced. A target that
// MayWriteFile refuses, a folder that takes no new file, or any failed write makes the writer
// fail: Write and Commit then return false and the target is left as it was. A writer destroyed
// without a successful Commit removes its temporary. While it exists the temporary carries an
// advisory lock, which tells RemoveStaleTemporaries that its writer is alive.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(const std::string& path);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // False when the temporary could not be made or the target may not be written.
  bool IsOpen() const { return fd_ >= 0 && !failed_; }
  // The file that Commit replaces (a link's target, not the link).
  const std::string& Target() const { return target_; }
  const std::string& TemporaryPath() const { return temp_; }

  // Appends to the temporary (buffered); false once anything has failed.
  bool Write(std::string_view chunk);
  // Flush, fsync, rename over the target, fsync the folder. False on failure, with the
  // temporary removed and the target untouched. Once only.
  bool Commit();
  // Removes the temporary; the target stays as it was.
  void Discard();

 private:
  bool Flush();

  std::string target_;
  std::string temp_;
  std::string buffer_;
  int fd_ = -1;
  bool failed_ = false;
  bool committed_ = false;
};

// Writes the whole content through an AtomicFileWriter; false when it fails.
bool WriteFileAtomically(const std::string& path, std::string_view content);

// Removes the temporaries that writers of `path` left behind when they died between writing and
// renaming ("<name>.~PID-N.tmp" beside it). A temporary whose writer still lives (it holds the
// temporary's lock) is left alone. Returns how many were removed; failures are not reported.
int RemoveStaleTemporaries(const std::string& path);

// An advisory lock for writing a file, held for the object's life: the lock is taken on the
// file's folder (on a hidden ".dorvane.lock" in it where a folder cannot be locked), so no lock
// file is left beside the user's files and the lock survives the rename that replaces the file.
// All files of one folder share it. Serialises writers in different processes. Within one process
// the lock is re-entrant for the thread that holds it (a nested lock on the same file neither
// blocks nor releases early) and other threads wait. When the folder cannot be opened (there is
// none, no right) the object holds nothing: the write that follows fails on its own and reports it.
// How long a lock that another user may hold too is waited for: the log folder's, which the
// pppd hook and the hand-over of the log take and anyone who may read the folder can hold.
inline constexpr int kSharedLockWaitMs = 2000;

// An exclusive flock on an open descriptor, tried until it is had or the deadline has passed;
// false then, or on an error other than the lock being held.
bool LockBefore(int fd, std::chrono::steady_clock::time_point deadline);

class FileLock {
 public:
  explicit FileLock(const std::string& path);
  // Waits for the lock at most `waitMs` milliseconds; the object then holds nothing. For a lock
  // that another user can hold too (a shared log folder), whose holder must not stop this
  // program.
  FileLock(const std::string& path, int waitMs);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool Held() const { return held_; }

 private:
  // waitMs < 0: as long as it takes.
  void Take(const std::string& path, int waitMs);

  int fd_ = -1;
  bool held_ = false;
  std::uint64_t device_ = 0;
  std::uint64_t inode_ = 0;
};

}  // namespace dorvane
