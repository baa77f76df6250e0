#include "app/closeonsignal.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>

namespace dorvane {

namespace {

// The handler may only write a byte; the event loop reads it and does the work.
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

CloseOnSignal::CloseOnSignal(QWidget* window) : window_(window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
  ::fcntl(signalPipe[1], F_SETFL, O_NONBLOCK);
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char buffer[16];
    [[maybe_unused]] const ssize_t read = ::read(signalPipe[0], buffer, sizeof buffer);
    CloseWindow();
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

CloseOnSignal::~CloseOnSignal() {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, SIG_DFL);
  delete notifier_;
  for (int& fd : signalPipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void CloseOnSignal::CloseWindow() {
  if (window_ == nullptr) return;
  // A box or dialog that is open is answered as its Escape key would answer it (no, cancel),
  // and a window still in its show sequence finishes it; then the window closes.
  if (QWidget* modal = QApplication::activeModalWidget()) {
    modal->close();
    QTimer::singleShot(100, this, &CloseOnSignal::CloseWindow);
    return;
  }
  if (!window_->isVisible()) {
    QTimer::singleShot(100, this, &CloseOnSignal::CloseWindow);
    return;
  }
  window_->close();
}

}  // namespace dorvane
