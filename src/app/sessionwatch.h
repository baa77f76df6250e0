// Dorvane open in the user's session: it watches the modem log and imports what the hook or the
// driver adds while the window is open, shows the call in progress in the status bar and the
// tray, warns once per call when the month's limit is passed, and offers the two desktop
// options: closing to the tray, and a check at login.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <optional>
#include <string>
#include <utility>

#include "platform/datapaths.h"
#include "platform/datetime.h"
#include "platform/notifier.h"
#include "session/logpath.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QSystemTrayIcon;
class TForm1;

namespace dorvane {

inline constexpr const char* kDesktopSection = "Desktop";
inline constexpr const char* kCloseToTrayKey = "CloseToTray";

class SessionWatch : public QObject {
  Q_OBJECT
 public:
  // After the show sequence: the window has loaded its options. `driveRoot` is the folder that
  // a log path from a drive root is taken in (the data folder).
  SessionWatch(TForm1& form, Notifier& notifier, const ProcessEnvironment& env,
               std::string driveRoot);
  ~SessionWatch() override;

  // The call in progress, if any, as last looked at.
  const std::optional<TDateTime>& CallStart() const { return callStart_; }

  QGroupBox* GroupBox8 = nullptr;
  QCheckBox* chkboxCloseToTray = nullptr;
  QCheckBox* chkboxCheckAtLogin = nullptr;
  QLabel* lblCallInProgress = nullptr;

 protected:
  // The window's close ends the program; hiding it in the tray does not.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildOptions();
  void BuildTray();
  // Watches the log's file and its folder (or the nearest folder that exists), where the hook
  // also notes a call while it is up; a watcher drops a file that was deleted, so this runs
  // after every change.
  void Rewatch();
  // After a change has settled: imports the log unless a session in it is still open, and
  // looks for a call in progress.
  void Look();
  std::optional<TDateTime> FindCallInProgress(bool& openSessionInLog) const;
  void Tick();
  void ShowLine(const QString& line);
  void CloseToTrayClick();
  void CheckAtLoginClick();
  WatchedLog Log() const;

  TForm1& form_;
  Notifier& notifier_;
  std::string autostartPath_;
  std::string driveRoot_;
  QFileSystemWatcher watcher_;
  QTimer settle_;
  QTimer tick_;
  QSystemTrayIcon* tray_ = nullptr;
  std::optional<TDateTime> callStart_;
  // The warning that the status bar shows for the rest of the call, when no service took it.
  QString warningLine_;
};

}  // namespace dorvane
