// Dorvane: a logbook of dial-up modem calls and what they cost.
#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <string>
#include <vector>

#include "app/mainmdi.h"
#include "app/services.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/qt/helpviewer.h"
#include "platform/qt/qtmessages.h"
#include "platform/qt/qtshell.h"
#include "platform/regional.h"
#include "platform/registry.h"
#include "reports/printing.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(dorvane::kProductName));

  // The program's files lie beside it and are named after it; a path that starts at a drive
  // root is taken relative to the program's folder.
  const QString exe = QCoreApplication::applicationFilePath();
  const std::string exePath = exe.toStdString();
  const std::string exeFolder = QFileInfo(exe).absolutePath().toStdString();
  std::vector<std::string> arguments;
  const QStringList args = QCoreApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) arguments.push_back(args.at(i).toStdString());

  dorvane::QtMessageService messages;
  dorvane::QtHelpEngine help(dorvane::ChangeFileExt(exePath, ".HLP"), messages);
  dorvane::QtShell shell;
  help.SetShell(&shell);
  dorvane::RealFileSystem files(exeFolder);
  dorvane::RegFileRegistry registry(dorvane::ChangeFileExt(exePath, ".REG"));
  dorvane::SystemClock clock;
  dorvane::QtReportPrinter printer;

  TForm1 form({messages, help, shell, printer, files, registry, clock,
               dorvane::RegionalSettings::FromSystem(), exePath, arguments});
  messages.SetParent(&form);
  help.SetOwner(&form);

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
