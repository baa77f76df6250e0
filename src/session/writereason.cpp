#include "session/writereason.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"

namespace dorvane {

namespace {

std::string Reason(int error) {
  return std::strerror(error);
}

}  // namespace

std::string WriteRefusalReason(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return Reason(EISDIR);
    // The program refuses a file without any write bit, also to the superuser.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return Reason(EACCES);
    if (::access(path.c_str(), W_OK) != 0) return Reason(errno);
  }
  const std::string probe = FolderOf(path) + "/.dorvane-probe-" + std::to_string(::getpid());
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return Reason(errno);
  // A full disk takes an empty file but no data.
  std::string reason;
  const char block[4096] = {};
  if (::write(fd, block, sizeof block) < 0 || ::fsync(fd) != 0) reason = Reason(errno);
  ::close(fd);
  ::unlink(probe.c_str());
  return reason;
}

}  // namespace dorvane
