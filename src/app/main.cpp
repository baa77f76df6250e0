// Dorvane: a logbook of dial-up modem calls and what they cost.
#include <QApplication>
#include <QScreen>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/closeonsignal.h"
#include "app/mainmdi.h"
#include "app/services.h"
#include "platform/clock.h"
#include "platform/datapaths.h"
#include "platform/files.h"
#include "platform/qt/helpviewer.h"
#include "platform/qt/printing.h"
#include "platform/qt/qtmessages.h"
#include "platform/qt/qtshell.h"
#include "platform/regional.h"
#include "platform/regionalrecord.h"
#include "platform/registry.h"

int main(int argc, char** argv) {
  // A write past the file-size limit fails with its error, to be reported like any failed
  // write, instead of ending the program in the middle of its work.
  std::signal(SIGXFSZ, SIG_IGN);
  // The program's own parameters, taken before the toolkit removes the options it knows
  // ("-reverse", "-style ..."): the first of them decides a check run.
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(dorvane::kProductName));

  // The program's own files: beside it when it runs from its own folder, in the user's data
  // folder when it is installed. A path that starts at a drive root is taken relative to the
  // data folder.
  const dorvane::SystemEnvironment environment;
  const dorvane::DataPaths paths = dorvane::FindDataPaths(environment);
  if (paths.helpMissing) {
    // Not portable without its help: the files go to the data folder, and the user learns why.
    std::fprintf(stderr,
                 "dorvane: the help file %s is missing; the program's files are kept in %s\n",
                 paths.help.c_str(), paths.folder.c_str());
  }
  dorvane::CreateDataFolder(paths);
  dorvane::RemoveStaleDataTemporaries(paths);
  const std::string exePath = QCoreApplication::applicationFilePath().toStdString();

  dorvane::QtMessageService messages;
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
  messages.SetParent(&form);
  help.SetOwner(&form);
  // The end of the session, or a kill, closes the window as its close box does.
  const dorvane::CloseOnSignal closeOnSignal(&form);

  // Centred before the show sequence: the window is still hidden, but the boxes of the sequence
  // are placed over it and so come up in the middle of the screen, not in its corner.
  if (const QScreen* screen = form.screen()) {
    QRect frame = form.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    form.move(frame.topLeft());
  }

  // The show sequence runs before the window appears: its boxes come first.
  form.FormShow();
  if (form.IsClosed()) return 0;
  form.show();
  return QApplication::exec();
}
