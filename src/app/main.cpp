// Dorvane: a logbook of dial-up modem calls and what they cost.
#include <QApplication>
#include <QScreen>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/closeonsignal.h"
#include "app/mainmdi.h"
#include "app/services.h"
#include "app/sessionwatch.h"
#include "platform/clock.h"
#include "platform/datapaths.h"
#include "platform/files.h"
#include "platform/product.h"
#include "platform/qt/dbusnotifier.h"
#include "platform/qt/helpviewer.h"
#include "platform/qt/printing.h"
#include "platform/qt/qtext.h"
#include "platform/qt/qtmessages.h"
#include "platform/qt/qtshell.h"
#include "platform/regional.h"
#include "platform/regionalrecord.h"
#include "platform/registry.h"
#include "session/commandline.h"
#include "session/headless.h"

namespace {

// A check run without a display says everything on standard error; the toolkit's own remarks
// (no runtime folder, no bus) would only mix into those lines.
void QuietToolkit(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "dorvane: %s\n", text.toLocal8Bit().constData());
    std::abort();
  }
}

// The line of a check run without a display: standard error, and the unattended message log
// when one is named (DORVANE_MESSAGE_LOG, as the boxes of a run with a window do).
void WriteMessageLine(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  const char* path = std::getenv("DORVANE_MESSAGE_LOG");
  if (path == nullptr || *path == '\0') return;
  if (std::FILE* log = std::fopen(path, "ab")) {
    std::fprintf(log, "%s\n", line.c_str());
    std::fclose(log);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // A write past the file-size limit fails with its error, to be reported like any failed
  // write, instead of ending the program in the middle of its work.
  std::signal(SIGXFSZ, SIG_IGN);
  // The program's own parameters, taken before the toolkit removes the options it knows
  // ("-reverse", "-style ..."): the first of them decides a check run.
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (const auto text = dorvane::InfoRequestText(arguments)) {
    std::fputs(text->c_str(), stdout);
    return 0;
  }

  const dorvane::SystemEnvironment environment;
  const bool checkRun = TForm1::IsCheckRun(arguments);
  // Without a display a check run works without a window: a timer, a login script, ssh.
  const bool headless = checkRun && !dorvane::HasDisplay(environment);
  if (headless) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietToolkit);
  } else if (!dorvane::HasDisplay(environment) && !environment.Variable("QT_QPA_PLATFORM")) {
    std::fputs(
        "dorvane: cannot open a window: no display (DISPLAY and WAYLAND_DISPLAY are not set); "
        "\"dorvane CHECK\" runs without one\n",
        stderr);
    return 1;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(dorvane::kProductName));
  // The window may go to the tray, where a box closed last must not end the program: only the
  // window's own close does (SessionWatch).
  QApplication::setQuitOnLastWindowClosed(false);

  // The program's own files: beside it when it runs from its own folder, in the user's data
  // folder when it is installed. A path that starts at a drive root is taken relative to the
  // data folder.
  const dorvane::DataPaths paths = dorvane::FindDataPaths(environment);
  if (paths.helpMissing) {
    // Not portable without its help: the files go to the data folder, and the user learns why.
    std::fprintf(stderr,
                 "dorvane: the help file %s is missing; the program's files are kept in %s\n",
                 paths.help.c_str(), paths.folder.c_str());
  }
  dorvane::CreateDataFolder(paths);
  dorvane::RemoveStaleDataTemporaries(paths);
  const std::string exePath = dorvane::FromQString(QCoreApplication::applicationFilePath());

  dorvane::DBusNotifier notifier;
  dorvane::QtMessageService boxes;
  dorvane::LineMessages lines(WriteMessageLine, &notifier);
  dorvane::MessageService& messages =
      headless ? static_cast<dorvane::MessageService&>(lines) : boxes;
  dorvane::QtHelpEngine help(paths.help, messages);
  dorvane::QtShell shell;
  help.SetShell(&shell);
  help.SetFilesFolder(paths.folder, !paths.installed);
  dorvane::RealFileSystem files(paths.folder,
                                {paths.settings, paths.store, paths.registry, paths.help});
  dorvane::RegFileRegistry registry(paths.registry);
  dorvane::SystemClock clock;
  dorvane::QtReportPrinter printer;

  // The folder's files are written in the notation recorded beside them; the first start
  // records the environment's.
  const dorvane::RegionalSettings regional =
      dorvane::FolderRegional(registry, dorvane::RegionalSettings::FromSystem(), true);
  TForm1 form({messages, help, shell, printer, files, registry, clock, regional, exePath, arguments,
               paths});
  boxes.SetParent(&form);
  help.SetOwner(&form);
  // The end of the session, Ctrl+C or a kill: saved as far as it can be, then ended.
  const dorvane::CloseOnSignal closeOnSignal([&form] {
    std::string failure;
    if (form.SaveForSignal(failure)) return 0;
    std::fprintf(stderr, "dorvane: %s\n", failure.c_str());
    return 1;
  });

  // Centred before the show sequence: the window is still hidden, but the boxes of the sequence
  // are placed over it and so come up in the middle of the screen, not in its corner.
  if (const QScreen* screen = form.screen()) {
    QRect frame = form.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    form.move(frame.topLeft());
  }

  // The show sequence runs before the window appears: its boxes come first.
  form.FormShow();
  if (headless) return lines.Failed() || !form.IsClosed() ? 1 : 0;
  if (form.IsClosed()) return 0;
  // While open, new calls come in as they are logged and the call in progress is shown.
  const auto session =
      std::make_unique<dorvane::SessionWatch>(form, notifier, environment, paths.folder);
  form.show();
  return QApplication::exec();
}
