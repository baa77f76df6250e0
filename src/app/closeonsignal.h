// Ends the program on SIGTERM, SIGINT and SIGHUP (the desktop session ending, Ctrl+C in a
// terminal, a closed terminal) without asking anyone: what can be saved is saved, why the rest
// could not be goes to standard error, and the program ends within seconds even when a save
// fails or a box is open, so that a logout or shutdown never waits on it.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace dorvane {

class CloseOnSignal : public QObject {
  Q_OBJECT
 public:
  // One per program: the signals are caught from here on. `endNow` saves what it can, reports
  // what it could not, and returns the program's exit status; the program then ends.
  explicit CloseOnSignal(std::function<int()> endNow);
  ~CloseOnSignal() override;

  // Seconds after a signal by which the program has ended, even if it was busy and never got
  // to `endNow`.
  static constexpr unsigned kMostSecondsToEnd = 5;

 private:
  std::function<int()> endNow_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace dorvane
