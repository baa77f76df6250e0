#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

namespace dorvane {

namespace {

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string JoinUnderRoot(std::string_view driveRoot, std::string_view rest) {
  while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
  std::string out(driveRoot);
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  if (out.empty()) return std::string(rest);
  if (out.back() != '/') out += '/';
  out += rest;
  return out;
}

std::string DecimalText(unsigned long long value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

bool WriteAll(int fd, std::string_view content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

// "<prefix>PID-N.tmp": the name AtomicFileWriter gives its temporary.
bool IsTemporaryName(std::string_view name, std::string_view prefix) {
  constexpr std::string_view kSuffix = ".tmp";
  if (name.size() <= prefix.size() + kSuffix.size() || name.substr(0, prefix.size()) != prefix ||
      name.substr(name.size() - kSuffix.size()) != kSuffix) {
    return false;
  }
  const std::string_view middle =
      name.substr(prefix.size(), name.size() - prefix.size() - kSuffix.size());
  const auto dash = middle.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash + 1 == middle.size()) return false;
  for (std::size_t i = 0; i < middle.size(); ++i) {
    if (i != dash && (middle[i] < '0' || middle[i] > '9')) return false;
  }
  return true;
}

// Makes the rename itself durable; a failure here cannot be undone, so it is not reported.
void SyncDirectory(const std::string& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The lock files this process holds, by the lock file's identity, so that a second lock on the
// same file from the same thread does not wait for itself.
struct HeldLock {
  int fd = -1;
  int count = 0;
  std::thread::id owner;
};

struct LockTable {
  std::mutex mutex;
  std::condition_variable released;
  std::map<std::pair<std::uint64_t, std::uint64_t>, HeldLock> held;
};

LockTable& Locks() {
  static LockTable table;
  return table;
}

}  // namespace

std::string RealFileSystem::Native(const std::string& path) const {
  for (const std::string& own : ownFiles_) {
    if (path == own) return path;
  }
  return NativePath(path, driveRoot_);
}

bool RealFileSystem::Exists(const std::string& path) const {
  struct stat st {};
  return ::stat(Native(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::string> RealFileSystem::ReadAll(const std::string& path) const {
  return ReadWholeFile(Native(path));
}

bool RealFileSystem::Delete(const std::string& path) {
  return ::unlink(Native(path).c_str()) == 0;
}

namespace {

// Renames under the lock of the folder of `from` (the lock a log's writer takes), never over an
// existing file; false when the lock did not come in time.
bool RenameLocked(const std::string& from, const std::string& to) {
  FileLock lock(from, kSharedLockWaitMs);
  if (!lock.Held()) return false;
  return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
}

}  // namespace

bool RealFileSystem::HandOver(const std::string& path, const std::string& aside) {
  return RenameLocked(Native(path), Native(aside));
}

bool RealFileSystem::GiveBack(const std::string& aside, const std::string& path) {
  return RenameLocked(Native(aside), Native(path));
}

FileSystem::Claim RealFileSystem::ClaimFile(const std::string& path) {
  const std::string native = Native(path);
  const int fd = ::open(native.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  // The lock is the file's own, not its folder's: the hook and the store's writers take that one.
  struct stat held {};
  struct stat named {};
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 ||
      ::stat(native.c_str(), &named) != 0 || held.st_dev != named.st_dev ||
      held.st_ino != named.st_ino) {
    ::close(fd);
    return nullptr;
  }
  return Claim(new int(fd), [](int* descriptor) {
    ::close(*descriptor);
    delete descriptor;
  });
}

std::optional<FileStamp> RealFileSystem::Stamp(const std::string& path) const {
  struct stat st {};
  if (::stat(Native(path).c_str(), &st) != 0) return std::nullopt;
  FileStamp stamp;
  stamp.size = static_cast<std::uint64_t>(st.st_size);
  stamp.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return stamp;
}

std::optional<std::string> RealFileSystem::FolderWriteProblem(const std::string& folder) const {
  std::string probe = (folder.empty() ? std::string(".") : folder) + "/.dorvane-probe-XXXXXX";
  const int fd = ::mkostemp(probe.data(), O_CLOEXEC);
  if (fd < 0) return std::string(std::strerror(errno));
  ::close(fd);
  ::unlink(probe.c_str());
  return std::nullopt;
}

bool RealFileSystem::SameFile(const std::string& a, const std::string& b) const {
  struct stat first {};
  struct stat second {};
  return ::stat(NativePath(a, driveRoot_).c_str(), &first) == 0 &&
         ::stat(NativePath(b, driveRoot_).c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

std::string NativePath(std::string_view path, std::string_view driveRoot) {
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
    std::string rest(path.substr(2));
    for (char& c : rest) {
      if (c == '\\') c = '/';
    }
    return JoinUnderRoot(driveRoot, rest);
  }
  const bool driveRooted = !path.empty() && path[0] == '\\' && (path.size() < 2 || path[1] != '\\');
  std::string out(path);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  if (driveRooted) return JoinUnderRoot(driveRoot, out);
  return out;
}

std::string FolderOf(std::string_view path) {
  const auto slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  auto cut = path.find_last_of(".\\/:");
  std::string out;
  if (cut != std::string_view::npos && path[cut] == '.') {
    out = path.substr(0, cut);
  } else {
    out = path;
  }
  out += ext;
  return out;
}

bool ReadDescriptor(int fd, std::string& out, std::size_t limit) {
  constexpr std::size_t kBlock = 65536;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    out.reserve(out.size() + std::min(limit, static_cast<std::size_t>(st.st_size)));
  }
  const std::size_t base = out.size();
  std::size_t got = 0;
  bool ok = true;
  while (got < limit) {
    const std::size_t want = std::min(kBlock, limit - got);
    out.resize(base + got + want);
    const ssize_t n = ::read(fd, out.data() + base + got, want);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  out.resize(base + got);
  return ok;
}

FileRead ReadWholeFile(const std::string& nativePath, std::string& content, FileKinds kinds) {
  const int fd = ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? FileRead::kMissing : FileRead::kFailed;
  struct stat st {};
  bool ok = kinds == FileKinds::kAny || (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode));
  content.clear();
  ok = ok && ReadDescriptor(fd, content);
  ::close(fd);
  return ok ? FileRead::kRead : FileRead::kFailed;
}

std::optional<std::string> ReadWholeFile(const std::string& nativePath) {
  std::string content;
  if (ReadWholeFile(nativePath, content) != FileRead::kRead) return std::nullopt;
  return content;
}

bool MayWriteFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISREG(st.st_mode)) return false;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  // The effective user decides, as for an open for writing; ACLs and an immutable flag count.
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

AtomicFileWriter::AtomicFileWriter(const std::string& path) : target_(path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      target_ = resolved;
      std::free(resolved);
    }
  }
  const bool existed = ::stat(target_.c_str(), &st) == 0;
  if (existed && !MayWriteFile(target_)) {
    failed_ = true;
    return;
  }

  // A unique name beside the target: the rename must not cross file systems, and a temporary
  // left by a process that died is never reused. A replacement starts private and takes the
  // target's mode once its owner is set; a new file gets the mode the user's umask gives.
  static std::atomic<unsigned long long> counter{0};
  const mode_t createMode = existed ? 0600 : 0666;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_ = target_ + ".~" + DecimalText(static_cast<unsigned long long>(::getpid())) + "-" +
            DecimalText(counter++) + ".tmp";
    int fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
    if (fd < 0) {
      if (errno != EEXIST) break;
      continue;
    }
    // The lock marks the temporary as in use. A start that cleans up stale temporaries could
    // take the name away between the open and the lock; then it is made afresh.
    ::flock(fd, LOCK_EX | LOCK_NB);
    struct stat mine {};
    struct stat named {};
    if (::fstat(fd, &mine) != 0 || ::stat(temp_.c_str(), &named) != 0 ||
        mine.st_ino != named.st_ino || mine.st_dev != named.st_dev) {
      ::close(fd);
      continue;
    }
    fd_ = fd;
  }
  if (fd_ < 0) {
    temp_.clear();
    failed_ = true;
    return;
  }
  if (existed) {
    // Owner and group only where this process may set them; the mode after them, since a
    // change of owner may clear set-id bits.
    struct stat mine {};
    if (::fstat(fd_, &mine) == 0 && (mine.st_uid != st.st_uid || mine.st_gid != st.st_gid)) {
      if (::fchown(fd_, st.st_uid, st.st_gid) != 0) {
        [[maybe_unused]] int ignored = ::fchown(fd_, static_cast<uid_t>(-1), st.st_gid);
      }
    }
    ::fchmod(fd_, st.st_mode & 07777);
  }
}

AtomicFileWriter::~AtomicFileWriter() {
  if (!committed_) Discard();
}

bool AtomicFileWriter::Flush() {
  if (failed_ || fd_ < 0) return false;
  if (!WriteAll(fd_, buffer_)) failed_ = true;
  buffer_.clear();
  return !failed_;
}

bool AtomicFileWriter::Write(std::string_view chunk) {
  if (!IsOpen()) return false;
  constexpr std::size_t kBufferSize = 1 << 16;
  if (buffer_.size() + chunk.size() > kBufferSize) {
    if (!Flush()) return false;
    if (chunk.size() >= kBufferSize) {
      if (!WriteAll(fd_, chunk)) failed_ = true;
      return !failed_;
    }
  }
  buffer_.append(chunk);
  return true;
}

bool AtomicFileWriter::Commit() {
  if (!IsOpen() || committed_) return false;
  // A target made read-only while the temporary was written is still refused.
  bool ok = Flush() && ::fsync(fd_) == 0 && MayWriteFile(target_) &&
            ::rename(temp_.c_str(), target_.c_str()) == 0;
  if (!ok) {
    failed_ = true;
    Discard();
    return false;
  }
  committed_ = true;
  ::close(fd_);  // after the rename: the lock guards the temporary until its name is gone
  fd_ = -1;
  SyncDirectory(FolderOf(target_));
  return true;
}

void AtomicFileWriter::Discard() {
  if (fd_ < 0) return;
  ::unlink(temp_.c_str());
  ::close(fd_);
  fd_ = -1;
  failed_ = true;
  buffer_.clear();
}

bool WriteFileAtomically(const std::string& path, std::string_view content) {
  AtomicFileWriter writer(path);
  return writer.Write(content) && writer.Commit();
}

int RemoveStaleTemporaries(const std::string& path) {
  std::string target = path;
  if (char* resolved = ::realpath(path.c_str(), nullptr)) {
    target = resolved;
    std::free(resolved);
  }
  const std::string folder = FolderOf(target);
  const std::string prefix = target.substr(target.rfind('/') + 1) + ".~";
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (!IsTemporaryName(name, prefix)) continue;
    const std::string temp = folder + "/" + std::string(name);
    int fd = ::open(temp.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat held {};
    struct stat named {};
    // A live writer holds the lock; a name that now means another file is left alone.
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(temp.c_str(), &named) == 0 && named.st_ino == held.st_ino &&
        named.st_dev == held.st_dev && ::unlink(temp.c_str()) == 0) {
      ++removed;
    }
    ::close(fd);
  }
  ::closedir(dir);
  return removed;
}

namespace {

constexpr std::string_view kHiddenLockName = ".dorvane.lock";

// The folder's own descriptor carries the lock, so nothing is left beside the user's files. Where
// a folder cannot be locked (a network file system that locks only files opened for writing),
// one hidden lock file in it stands in.
int OpenFolderLock(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  int result;
  while ((result = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  if (result == 0 || errno == EWOULDBLOCK) {
    if (result == 0) ::flock(fd, LOCK_UN);
    return fd;
  }
  ::close(fd);
  return ::open(JoinUnderRoot(folder, kHiddenLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

}  // namespace

bool LockBefore(int fd, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

FileLock::FileLock(const std::string& path) {
  Take(path, -1);
}

FileLock::FileLock(const std::string& path, int waitMs) {
  Take(path, waitMs);
}

void FileLock::Take(const std::string& path, int waitMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  std::string target = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      target = resolved;
      std::free(resolved);
    }
  }
  int fd = OpenFolderLock(FolderOf(target));
  if (fd < 0) return;
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return;
  }
  device_ = static_cast<std::uint64_t>(st.st_dev);
  inode_ = static_cast<std::uint64_t>(st.st_ino);
  const auto key = std::make_pair(device_, inode_);
  const auto self = std::this_thread::get_id();

  auto& table = Locks();
  std::unique_lock guard(table.mutex);
  for (;;) {
    auto it = table.held.find(key);
    if (it == table.held.end()) break;
    if (it->second.owner == self) {
      ++it->second.count;
      held_ = true;
      ::close(fd);
      return;
    }
    if (waitMs < 0) {
      table.released.wait(guard);
    } else if (table.released.wait_until(guard, deadline) == std::cv_status::timeout &&
               table.held.count(key) != 0) {
      ::close(fd);
      return;
    }
  }
  table.held[key] = HeldLock{fd, 1, self};
  guard.unlock();
  if (waitMs < 0) {
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
  } else if (!LockBefore(fd, deadline)) {
    // Given up: the entry goes again, and a thread waiting for it may try.
    std::lock_guard again(table.mutex);
    table.held.erase(key);
    ::close(fd);
    table.released.notify_all();
    return;
  }
  fd_ = fd;
  held_ = true;
}

FileLock::~FileLock() {
  if (!held_) return;
  auto& table = Locks();
  std::lock_guard guard(table.mutex);
  auto it = table.held.find(std::make_pair(device_, inode_));
  if (it == table.held.end()) return;
  if (--it->second.count > 0) return;
  ::close(it->second.fd);  // closing the descriptor releases the flock
  table.held.erase(it);
  table.released.notify_all();
}

}  // namespace dorvane
