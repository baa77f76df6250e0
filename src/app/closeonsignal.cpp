#include "app/closeonsignal.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace dorvane {

namespace {

// The handler may only write a byte; the event loop reads it and does the work.
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
  // Work that keeps the event loop from the byte (a long import) must not keep the session
  // waiting: the alarm ends the program if the byte is not read in time.
  ::alarm(CloseOnSignal::kMostSecondsToEnd);
}

void OnAlarm(int) {
  static const char kText[] = "dorvane: ended without saving the settings: the program was busy\n";
  [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kText, sizeof kText - 1);
  ::_exit(1);
}

}  // namespace

CloseOnSignal::CloseOnSignal(std::function<int()> endNow) : endNow_(std::move(endNow)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
  ::fcntl(signalPipe[1], F_SETFL, O_NONBLOCK);
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char buffer[16];
    [[maybe_unused]] const ssize_t read = ::read(signalPipe[0], buffer, sizeof buffer);
    // Also from inside a box's own loop: the box is left unanswered, the settings saved as
    // far as they can be, and nothing after this runs.
    const int status = endNow_();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
  struct sigaction alarm = {};
  alarm.sa_handler = OnAlarm;
  sigemptyset(&alarm.sa_mask);
  ::sigaction(SIGALRM, &alarm, nullptr);
}

CloseOnSignal::~CloseOnSignal() {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, SIG_DFL);
  delete notifier_;
  for (int& fd : signalPipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

}  // namespace dorvane
