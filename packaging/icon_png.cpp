// Writes the program's picture as a square PNG for the desktop's icon theme:
// dorvane_icon_png FILE SIZE. The picture is the one the window shows, drawn at that size.
#include <QGuiApplication>
#include <QPixmap>
#include <cstdlib>

#include "platform/qt/icons.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  // Runs during the build, where there may be no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const int side = std::atoi(argv[2]);
  if (side <= 0) return 2;
  const QPixmap picture = dorvane::MakeIcon(dorvane::IconKind::Program).pixmap(side, side);
  return picture.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
