#include "platform/qt/qtshell.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace dorvane {

void QtShell::OpenUrl(const std::string& url) {
  QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(url)));
}

}  // namespace dorvane
