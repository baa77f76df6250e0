// ppp-hook: run by pppd as root from /etc/ppp/ip-up.d and /etc/ppp/ip-down.d. Writes every call
// of a pppd link into Dorvane's modem log as one modem session, in the classic driver's format
// (a fixed-column stamp MM-DD-YYYY HH:MM:SS.hh, CR LF), so that Dorvane records the call at its
// next start.
//
// The log folder (/var/log/dorvane, root:dip, mode 2775) is writable by every member of "dip",
// so nothing in it is opened through a name: the folder is opened without following a link and
// checked to be root's, and every file in it is opened relative to that folder, never through a
// link, never blocking (a FIFO or device is refused by its type after the open), and only when it
// is a regular file of root's with one name. The hook's own state lives in /run/dorvane (mode
// 700): the dial noted at ip-up, and the sessions not yet written ("pending"). A session goes
// to "pending" first and then, under the lock on the log folder (the lock Dorvane takes to hand
// the log over), from there to the log; a session that cannot be written now (the lock held too
// long, a planted file) waits there for the next run. The hook ends within seconds whatever it
// finds (an alarm ends it at the latest) and always exits 0.
//
// For tests: DORVANE_ROOT is a folder that stands for "/" (the log and state folders and the
// system logs are looked for under it, and the journal is not asked); DORVANE_LOG_DIR names the
// log folder.
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "capture/hooklog.h"
#include "capture/modemstamp.h"
#include "linux/syslogcalls.h"
#include "platform/files.h"
#include "platform/linereader.h"

namespace {

constexpr const char* kLogName = "ModemLog.txt";
constexpr const char* kPendingName = "pending";
constexpr unsigned kHardLimitSeconds = 8;        // the whole run
constexpr int kJournalWaitMs = 3000;             // for journalctl
constexpr std::size_t kSystemLogTail = 1 << 20;  // bytes read from the end of a system log
constexpr std::size_t kPendingLimit = 1 << 20;   // sessions kept while the log cannot be written

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// Names from the environment go into the log's text: only plain characters, no blanks (so none
// of the log's keywords with a blank can be formed).
std::string Plain(const std::string& text) {
  std::string out;
  for (char c : text) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '/' || c == '_' || c == '.' || c == ':' || c == '-';
    if (ok && out.size() < 40) out += c;
  }
  return out;
}

long long Number(const std::string& text) {
  if (text.empty() || text.size() > 12) return 0;
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// What the descriptor holds, at most `limit` bytes; a read that fails ends the text.
std::string ReadUpTo(int fd, std::size_t limit) {
  std::string text;
  dorvane::ReadDescriptor(fd, text, limit);
  return text;
}

// A folder of this user's, opened without following a link; made with `mode` (and `group`)
// when missing. -1 when the name leads anywhere else.
int OpenOwnFolder(const std::string& path, mode_t mode, std::optional<gid_t> group) {
  const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::open(path.c_str(), flags);
  bool made = false;
  if (fd < 0 && errno == ENOENT && ::mkdir(path.c_str(), 0700) == 0) {
    made = true;
    fd = ::open(path.c_str(), flags);
  }
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
    ::close(fd);
    return -1;
  }
  if (made) {
    if (group && ::fchown(fd, static_cast<uid_t>(-1), *group) != 0) {
      // A group the folder cannot be given leaves it root's: the hook still logs into it.
    }
    (void)::fchmod(fd, mode);
  }
  return fd;
}

// A regular file of this user's with one name, in `folder`, opened without following a link and
// without blocking; -1 for anything else.
int OpenOwnFile(int folder, const char* name, int flags, mode_t mode) {
  const int common = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  int fd = ::openat(folder, name, flags | common);
  if (fd < 0 && errno == ENOENT && (flags & O_CREAT) == 0) return -1;
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
      st.st_nlink != 1) {
    ::close(fd);
    return -1;
  }
  if ((flags & O_CREAT) != 0 && (st.st_mode & 07777) != mode && st.st_size == 0) {
    (void)::fchmod(fd, mode);
  }
  const int blocking = ::fcntl(fd, F_GETFL);
  if (blocking >= 0) (void)::fcntl(fd, F_SETFL, blocking & ~O_NONBLOCK);
  return fd;
}

// Replaces `name` in `folder` with `text` through a temporary of a name nobody can guess, made
// new (never an existing file), so a folder others may write is safe too.
bool ReplaceFile(int folder, const std::string& name, const std::string& text, mode_t mode) {
  unsigned char random[8] = {};
  if (::getrandom(random, sizeof random, GRND_NONBLOCK) != sizeof random) return false;
  std::string temp = "." + name + ".";
  for (unsigned char b : random) {
    temp += "0123456789abcdef"[b >> 4];
    temp += "0123456789abcdef"[b & 15];
  }
  const int fd =
      ::openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) return false;
  (void)::fchmod(fd, mode);
  const bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
  ::close(fd);
  if (!written || ::renameat(folder, temp.c_str(), folder, name.c_str()) != 0) {
    ::unlinkat(folder, temp.c_str(), 0);
    return false;
  }
  return true;
}

// Removes `name` from `folder` when it is a file of this user's (never another's file).
void RemoveOwnFile(int folder, const char* name) {
  struct stat st {};
  if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
      st.st_uid == ::geteuid()) {
    ::unlinkat(folder, name, 0);
  }
}

// The lock on the log folder, waited for a bounded time.
bool LockFolder(int folder) {
  return dorvane::LockBefore(folder, std::chrono::steady_clock::now() +
                                         std::chrono::milliseconds(dorvane::kSharedLockWaitMs));
}

// ---------------------------------------------------------------------------------------------
// The start of this link's call, by the rule dorvane-import uses on the same lines.

// The tail of the first system log there is (whole lines).
std::optional<std::string> SystemLogTail(const std::string& root) {
  for (const char* name : {"/var/log/syslog", "/var/log/messages", "/var/log/daemon.log"}) {
    const int fd = ::open((root + name).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) {
      ::close(fd);
      continue;
    }
    const off_t from =
        st.st_size > static_cast<off_t>(kSystemLogTail) ? st.st_size - kSystemLogTail : 0;
    std::string text;
    if (::lseek(fd, from, SEEK_SET) == from) text = ReadUpTo(fd, kSystemLogTail);
    ::close(fd);
    if (from > 0) {
      // The first line is cut: it goes.
      dorvane::LineCursor lines(text);
      std::string_view cut;
      std::string_view end;
      lines.Next(cut, end);
      text.erase(0, cut.size() + end.size());
    }
    return text;
  }
  return std::nullopt;
}

// The last half hour of pppd and chat in the journal, waited for a bounded time.
std::string JournalLines() {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return {};
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    return {};
  }
  if (child == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(pipeFds[1], 1);
    ::dup2(null, 2);
    const char* argv[] = {"journalctl", "-q",   "--no-pager", "-o",   "short-iso", "--since=-30min",
                          "-t",         "chat", "-t",         "pppd", nullptr};
    for (const char* path : {"/usr/bin/journalctl", "/bin/journalctl"}) {
      ::execv(path, const_cast<char* const*>(argv));
    }
    _exit(127);
  }
  ::close(pipeFds[1]);
  std::string text;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kJournalWaitMs);
  char buffer[65536];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) break;
    struct pollfd p = {pipeFds[0], POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left)) <= 0) break;
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    if (text.size() < kSystemLogTail) text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipeFds[0]);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  return text;
}

time_t ToSeconds(const dorvane::LocalTime& t) {
  struct tm local {};
  local.tm_year = t.year - 1900;
  local.tm_mon = t.month - 1;
  local.tm_mday = t.day;
  local.tm_hour = t.hour;
  local.tm_min = t.minute;
  local.tm_sec = t.second;
  local.tm_isdst = -1;
  return ::mktime(&local);
}

std::optional<time_t> StartInSystemLog(const std::string& root, const std::string& pid,
                                       time_t now) {
  if (pid.empty()) return std::nullopt;
  std::optional<std::string> text = SystemLogTail(root);
  if (!text && root.empty()) text = JournalLines();
  if (!text) return std::nullopt;
  const dorvane::SystemTimeZone zone;
  dorvane::PppCallFinder finder;
  for (const dorvane::LogRecord& r : dorvane::ReadLogRecords(
           *text, dorvane::YearHint{std::nullopt, zone.ToLocal(now)}, zone, {"pppd", "chat"})) {
    finder.Add(r);
  }
  const std::optional<dorvane::LocalTime> start = finder.StartOf(pid);
  if (!start) return std::nullopt;
  const time_t seconds = ToSeconds(*start);
  // A stamp without a year may be read in the wrong one; such a start is no start.
  if (seconds < 0 || seconds > now || now - seconds > 366 * 86400) return std::nullopt;
  return seconds;
}

// A moment as the log's stamp, in local time, whole seconds.
std::string Stamp(time_t when) {
  struct tm t {};
  ::localtime_r(&when, &t);
  return dorvane::ModemStampText(
      {{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday}, {t.tm_hour, t.tm_min, t.tm_sec, 0}});
}

// ---------------------------------------------------------------------------------------------

struct Hook {
  std::string root;
  std::string logDir;
  std::string ifname;
  std::string device;
  std::string pid;
  int state = -1;  // /run/dorvane
  int logs = -1;   // the log folder

  std::string NoteName() const {
    return dorvane::kHookDialNotePrefix + ifname + dorvane::kHookDialNoteSuffix;
  }

  void OpenFolders() {
    ::mkdir((root + "/run").c_str(), 0755);
    state = OpenOwnFolder(root + "/run/dorvane", 0700, std::nullopt);
    if (state >= 0) (void)::fchmod(state, 0700);
    std::optional<gid_t> dip;
    if (const struct group* g = ::getgrnam("dip")) dip = g->gr_gid;
    logs = OpenOwnFolder(logDir, 02775, dip);
  }

  void Up(time_t now) {
    RemoveOwnFile(state, NoteName().c_str());
    if (logs >= 0) RemoveOwnFile(logs, NoteName().c_str());
    const std::optional<time_t> dialled = StartInSystemLog(root, pid, now);
    if (!dialled) return;
    const std::string note = dorvane::CallNoteText({Number(pid), *dialled}, Stamp(*dialled));
    if (state >= 0) ReplaceFile(state, NoteName(), note, 0600);
    // The same note where a user who may dial can read it: the call in progress.
    if (logs >= 0) ReplaceFile(logs, NoteName(), note, 0644);
  }

  // The start noted at ip-up for this very process; nullopt when there is none.
  std::optional<time_t> NotedStart() const {
    if (state < 0) return std::nullopt;
    const int fd = OpenOwnFile(state, NoteName().c_str(), O_RDONLY, 0600);
    if (fd < 0) return std::nullopt;
    const std::string text = ReadUpTo(fd, 256);
    ::close(fd);
    const std::optional<dorvane::CallNote> note = dorvane::ParseCallNote(text);
    if (!note || pid.empty() || std::to_string(note->pid) != pid || note->dialledAt <= 0) {
      return std::nullopt;
    }
    return static_cast<time_t>(note->dialledAt);
  }

  void Down(time_t now) {
    const long long connected = Number(Env("CONNECT_TIME"));
    std::optional<time_t> start = NotedStart();
    if (!start) start = StartInSystemLog(root, pid, now);
    std::string how = "dialled as chat logged it";
    if (!start || *start > now) {
      start = now - static_cast<time_t>(connected);
      how = "start of the link less its connect time";
    }
    RemoveOwnFile(state, NoteName().c_str());
    if (logs >= 0) RemoveOwnFile(logs, NoteName().c_str());

    const std::string from = Stamp(*start);
    const std::string to = Stamp(now);
    std::string who = ifname;
    if (!device.empty()) who += " on " + device;
    std::string session;
    session += from + " - " + who + " in use.\r\n";
    session += from + " - Dialing: ATDT (" + how + ")\r\n";
    session += to + " - Hanging up the modem.\r\n";
    session += to + " - Session statistics: " + std::to_string(Number(Env("BYTES_SENT"))) +
               " bytes sent, " + std::to_string(Number(Env("BYTES_RCVD"))) + " bytes received, " +
               std::to_string(connected) + " seconds online.\r\n";
    session += to + " - " + who + " closed.\r\n";
    Keep(session);
  }

  // The session joins the ones waiting in root's own folder, written before the lock is tried,
  // so no failure further on loses it.
  void Keep(const std::string& session) {
    if (state < 0) {
      // No place of root's own: straight to the log, under the lock, or not at all.
      if (logs >= 0 && LockFolder(logs)) Append(session);
      return;
    }
    const int fd = OpenOwnFile(state, kPendingName, O_WRONLY | O_APPEND | O_CREAT, 0600);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && static_cast<std::size_t>(st.st_size) < kPendingLimit) {
      WriteAll(fd, session);
    }
    ::close(fd);
  }

  bool Append(const std::string& text) {
    const int fd = OpenOwnFile(logs, kLogName, O_WRONLY | O_APPEND | O_CREAT, 0664);
    if (fd < 0) return false;
    const bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    ::close(fd);
    return ok;
  }

  // Every session waiting moves into the log, under the log folder's lock.
  void Deliver() {
    if (state < 0 || logs < 0) return;
    const int fd = OpenOwnFile(state, kPendingName, O_RDWR, 0600);
    if (fd < 0) return;
    const std::string waiting = ReadUpTo(fd, kPendingLimit);
    if (!waiting.empty() && LockFolder(logs) && Append(waiting) && ::ftruncate(fd, 0) != 0) {
      // Sessions written to the log leave the journal; one that cannot be emptied is written
      // again next time, and the import keeps one call per start.
    }
    ::close(fd);
    ::flock(logs, LOCK_UN);
  }
};

}  // namespace

int main(int argc, char** argv) {
  // pppd waits for its scripts: whatever happens, this one is over within seconds.
  ::alarm(kHardLimitSeconds);
  ::signal(SIGPIPE, SIG_IGN);
  ::umask(022);

  std::string phase = argc > 1 ? argv[1] : "";
  if (phase != "up" && phase != "down") {
    const std::string self = argc > 0 ? argv[0] : "";
    if (self.find("/ip-up.d/") != std::string::npos || self.ends_with("ip-up")) phase = "up";
    if (self.find("/ip-down.d/") != std::string::npos || self.ends_with("ip-down")) {
      phase = "down";
    }
  }
  if (phase.empty()) return 0;

  Hook hook;
  hook.root = Env("DORVANE_ROOT");
  hook.logDir = Env("DORVANE_LOG_DIR");
  if (hook.logDir.empty()) hook.logDir = hook.root + "/var/log/dorvane";
  std::string ifname = Env("IFNAME");
  if (ifname.empty()) ifname = Env("PPP_IFACE");
  hook.ifname = Plain(ifname);
  std::erase(hook.ifname, '/');
  if (hook.ifname.empty() || hook.ifname[0] == '.') hook.ifname = "ppp";
  std::string device = Env("DEVICE");
  if (device.empty()) device = Env("PPP_TTY");
  hook.device = Plain(device);
  hook.pid = Number(Env("PPPD_PID")) > 0 ? std::to_string(Number(Env("PPPD_PID"))) : "";
  hook.OpenFolders();

  const time_t now = ::time(nullptr);
  if (phase == "up") {
    hook.Up(now);
  } else {
    hook.Down(now);
  }
  hook.Deliver();
  return 0;
}
