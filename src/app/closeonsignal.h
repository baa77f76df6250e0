// Ends the program politely on SIGTERM, SIGINT and SIGHUP (the desktop session ending, Ctrl+C
// in a terminal, a closed terminal): the main window closes through its close sequence, so the
// settings are saved, instead of the process dying in the middle of the user's work.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

namespace dorvane {

class CloseOnSignal : public QObject {
  Q_OBJECT
 public:
  // One per program: the signals are caught from here on.
  explicit CloseOnSignal(QWidget* window);
  ~CloseOnSignal() override;

 private:
  void CloseWindow();

  QPointer<QWidget> window_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace dorvane
