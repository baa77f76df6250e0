#include "app/sessionwatch.h"

#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "app/controls.h"
#include "app/mainmdi.h"
#include "platform/files.h"
#include "platform/linereader.h"
#include "platform/product.h"
#include "platform/profile.h"
#include "platform/qt/icons.h"
#include "platform/qt/named.h"
#include "platform/qt/qtext.h"
#include "session/autostart.h"
#include "session/logpath.h"
#include "session/onlinecall.h"

namespace dorvane {

namespace {

// A burst of writes (a session of five lines, a note written and renamed) is one change.
constexpr int kSettleMs = 300;

bool ProcessAlive(std::int64_t pid) {
  if (pid <= 0 || pid > 0x7fffffff) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

TDateTime LocalDateTime(std::int64_t secondsSince1970) {
  const time_t t = static_cast<time_t>(secondsSince1970);
  struct tm local {};
  ::localtime_r(&t, &local);
  const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, second, 0);
}

// The earliest live call among the hook's notes in a folder.
std::optional<TDateTime> CallFromNotes(const std::string& folder) {
  namespace fs = std::filesystem;
  std::optional<TDateTime> start;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= kCallNoteSuffix.size() + 1 || name.front() != '.' ||
        !name.ends_with(kCallNoteSuffix)) {
      continue;
    }
    // The hook's (root's) regular file, or the user's own: the log folder's group may write
    // there too, and a note planted by another would show a call that is not.
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        (st.st_uid != 0 && st.st_uid != ::getuid())) {
      continue;
    }
    const auto lines = OpenFileLines(it->path().string());
    if (!lines) continue;
    std::string text;
    std::string_view line;
    for (int n = 0; n < 4 && lines->Next(line); ++n) text.append(line).append("\n");
    const auto note = ParseCallNote(text);
    if (!note || !ProcessAlive(note->pid)) continue;
    const TDateTime at = LocalDateTime(note->dialledAt);
    if (!start || at < *start) start = at;
  }
  return start;
}

}  // namespace

SessionWatch::SessionWatch(TForm1& form, Notifier& notifier, const ProcessEnvironment& env,
                           std::string driveRoot)
    : QObject(&form),
      form_(form),
      notifier_(notifier),
      autostartPath_(AutostartPath(env)),
      driveRoot_(std::move(driveRoot)) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &SessionWatch::Look);
  tick_.setInterval(1000);
  connect(&tick_, &QTimer::timeout, this, &SessionWatch::Tick);
  connect(&watcher_, &QFileSystemWatcher::fileChanged, &settle_, qOverload<>(&QTimer::start));
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, &settle_, qOverload<>(&QTimer::start));
  // Another log named on the Options page is watched from the moment it is typed.
  connect(form_.editLogFileName, &QLineEdit::editingFinished, this, [this] {
    Rewatch();
    settle_.start();
  });

  lblCallInProgress = Named(new QLabel, "lblCallInProgress");
  lblCallInProgress->setAccessibleName(QStringLiteral("Call in progress"));
  lblCallInProgress->hide();
  form_.StatusBar1->addPermanentWidget(lblCallInProgress);

  BuildOptions();
  BuildTray();
  form_.installEventFilter(this);
  Rewatch();
  // A call may be up already when the window opens.
  bool openSession = false;
  callStart_ = FindCallInProgress(openSession);
  if (callStart_) {
    Tick();
    tick_.start();
  }
  // A log written while the show sequence ran, after its import, raised no change here: one
  // look once the window is up.
  settle_.start();
}

SessionWatch::~SessionWatch() = default;

bool SessionWatch::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &form_ && event->type() == QEvent::Hide && form_.IsClosed()) {
    QCoreApplication::quit();
  }
  return QObject::eventFilter(watched, event);
}

void SessionWatch::BuildOptions() {
  GroupBox8 = Named(new QGroupBox(QStringLiteral("Desktop"), form_.TabSheet3), "GroupBox8");
  // Framed as the page's other group boxes are.
  GroupBox8->setStyle(form_.GroupBox6->style());
  // The caption wraps where the room beside the button is narrow.
  chkboxCheckAtLogin = Named(new TWrapCheckBox(QString::fromLatin1(kAutostartCaption), GroupBox8),
                             "chkboxCheckAtLogin");
  chkboxCheckAtLogin->setStatusTip(QStringLiteral(
      "Checking this box records new calls and gives the cost warnings each time you log in"));
  chkboxCloseToTray =
      Named(new QCheckBox(QStringLiteral("Close to the tray"), GroupBox8), "chkboxCloseToTray");
  chkboxCloseToTray->setStatusTip(QStringLiteral(
      "Checking this box keeps Dorvane in the tray when its window is closed; Exit ends it"));
  // Placed from the page as it was laid out for this desktop's font: right of the "Delete All
  // Modem Calls" button, level with "Cost Settings", as wide as the room up to the "Warnings"
  // box's right edge and as high as its two check boxes need.
  const QRect button = form_.btnDeleteData->geometry();
  const QRect beside = form_.GroupBox6->geometry();
  const int left = button.right() + 1 + 8;
  const int right = form_.GroupBox2->geometry().right();
  const int line = chkboxCloseToTray->sizeHint().height();
  const int top = GroupBox8->fontMetrics().height() + 2;
  const int width = std::max(0, right - left - 16);
  const int indicator = line + 4;
  const bool fits =
      chkboxCheckAtLogin->fontMetrics().horizontalAdvance(chkboxCheckAtLogin->text()) + indicator <=
      width;
  const int loginHeight = fits ? line : 2 * chkboxCheckAtLogin->fontMetrics().height() + 2;
  chkboxCheckAtLogin->setGeometry(8, top, width, loginHeight);
  chkboxCloseToTray->setGeometry(8, top + loginHeight + 4, width, line);
  GroupBox8->setGeometry(left, beside.top(), right - left + 1,
                         std::max(beside.height(), top + loginHeight + line + 4 + 8));
  GroupBox8->show();

  chkboxCheckAtLogin->setChecked(AutostartEnabled(autostartPath_));
  form_.Guard([this] {
    chkboxCloseToTray->setChecked(
        ProfileFile(form_.SettingsPath()).ReadBool(kDesktopSection, kCloseToTrayKey, false));
  });
  connect(chkboxCheckAtLogin, &QCheckBox::toggled, this, &SessionWatch::CheckAtLoginClick);
  connect(chkboxCloseToTray, &QCheckBox::toggled, this, &SessionWatch::CloseToTrayClick);
}

void SessionWatch::BuildTray() {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  tray_ = new QSystemTrayIcon(MakeIcon(IconKind::Program), this);
  tray_->setToolTip(QString::fromLatin1(kProductName));
  auto* menu = new QMenu(&form_);
  QAction* open = menu->addAction(QStringLiteral("&Open Dorvane"));
  menu->addSeparator();
  QAction* exit = menu->addAction(QStringLiteral("E&xit"));
  connect(open, &QAction::triggered, this, [this] {
    form_.showNormal();
    form_.raise();
    form_.activateWindow();
  });
  connect(exit, &QAction::triggered, this, [this] {
    form_.hideOnClose = false;
    form_.close();
    // A window closed while hidden in the tray sends no hide event of its own.
    if (form_.IsClosed()) QCoreApplication::quit();
    form_.hideOnClose = chkboxCloseToTray->isChecked();
  });
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
    if (r != QSystemTrayIcon::Trigger && r != QSystemTrayIcon::DoubleClick) return;
    if (form_.isVisible()) {
      form_.hide();
    } else {
      form_.showNormal();
      form_.activateWindow();
    }
  });
  tray_->setContextMenu(menu);
  tray_->show();
  form_.hideOnClose = chkboxCloseToTray->isChecked();
}

void SessionWatch::CloseToTrayClick() {
  const bool checked = chkboxCloseToTray->isChecked();
  const bool saved = form_.Guard([&] {
    ProfileFile(form_.SettingsPath()).WriteBool(kDesktopSection, kCloseToTrayKey, checked);
  });
  if (!saved) {
    const QSignalBlocker noAgain(chkboxCloseToTray);
    chkboxCloseToTray->setChecked(!checked);
    return;
  }
  form_.hideOnClose = checked && tray_ != nullptr;
}

void SessionWatch::CheckAtLoginClick() {
  const bool checked = chkboxCheckAtLogin->isChecked();
  const bool done = form_.Guard([&] {
    SetAutostart(autostartPath_, FromQString(QCoreApplication::applicationFilePath()), checked);
  });
  if (!done) {
    const QSignalBlocker noAgain(chkboxCheckAtLogin);
    chkboxCheckAtLogin->setChecked(!checked);
  }
}

WatchedLog SessionWatch::Log() const {
  return WatchedLogPaths(FromQString(form_.editLogFileName->text()), driveRoot_);
}

void SessionWatch::Rewatch() {
  const WatchedLog log = Log();
  QStringList wanted;
  if (!log.file.empty()) {
    if (QFileInfo::exists(QString::fromStdString(log.file))) {
      wanted << QString::fromStdString(log.file);
    }
    // The folder tells of a log that appears; a folder not made yet is waited for in the
    // nearest one that exists.
    QDir folder(QString::fromStdString(log.folder));
    while (!folder.exists() && !folder.isRoot() && folder.cdUp()) {
    }
    if (folder.exists()) wanted << folder.absolutePath();
  }
  const QStringList watched = watcher_.files() + watcher_.directories();
  for (const QString& path : watched) {
    if (!wanted.contains(path)) watcher_.removePath(path);
  }
  for (const QString& path : wanted) {
    if (!watched.contains(path)) watcher_.addPath(path);
  }
}

std::optional<TDateTime> SessionWatch::FindCallInProgress(bool& openSessionInLog) const {
  openSessionInLog = false;
  const WatchedLog log = Log();
  std::optional<TDateTime> start;
  if (!log.file.empty()) {
    start = CallFromNotes(log.folder);
    if (const auto lines = OpenFileLines(log.file)) {
      try {
        if (const auto open = OpenSessionStart(*lines)) {
          openSessionInLog = true;
          if (!start || *open < *start) start = open;
        }
      } catch (const std::exception&) {
        // A start stamp that does not convert: the import will say so.
      }
    }
  }
  return start;
}

void SessionWatch::Look() {
  Rewatch();
  bool openSession = false;
  const std::optional<TDateTime> start = FindCallInProgress(openSession);
  // A session still open stays in the log until it closes: the import would take the log
  // away with the start of the call in it. The window does not read a log again that has not
  // changed since (one the import may not delete) for every change in its folder.
  if (!openSession) form_.ImportNewCalls();
  Rewatch();
  if (start != callStart_) warningLine_.clear();
  callStart_ = start;
  if (callStart_) {
    Tick();
    if (!tick_.isActive()) tick_.start();
  } else {
    tick_.stop();
    ShowLine(QString());
  }
}

void SessionWatch::Tick() {
  if (!callStart_) return;
  const TForm1::CallTick tick = form_.CallInProgressTick(*callStart_);
  if (tick.warning && !notifier_.Notify(kProductName, *tick.warning)) {
    warningLine_ = ToQString(*tick.warning);
  }
  ShowLine(ToQString(tick.line));
}

void SessionWatch::ShowLine(const QString& line) {
  // The status bar has room for a mark; the warning's whole text goes where there is room for
  // it: the tray's tip and what a screen reader reads out.
  QString shown = line;
  QString whole = line;
  if (!line.isEmpty() && !warningLine_.isEmpty()) {
    shown += QStringLiteral(" \u2014 over the monthly limit");
    whole += QStringLiteral("\n") + warningLine_;
  }
  lblCallInProgress->setText(shown);
  lblCallInProgress->setAccessibleDescription(whole);
  lblCallInProgress->setVisible(!line.isEmpty());
  if (tray_ != nullptr) {
    tray_->setToolTip(line.isEmpty() ? QString::fromLatin1(kProductName) : whole);
  }
}

}  // namespace dorvane
