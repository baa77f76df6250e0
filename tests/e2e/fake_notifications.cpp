// A stand-in for the desktop's notification service on a private session bus: every
// notification becomes a line "summary: body" in the file named first; the second file is
// written once the service has its name, so a test knows when to go on.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class Notifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
 public:
  explicit Notifications(QString log) : log_(std::move(log)) {}

 public slots:
  uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
              const QStringList&, const QVariantMap&, int) {
    QFile file(log_);
    if (file.open(QIODevice::Append)) file.write((summary + ": " + body + "\n").toUtf8());
    return ++id_;
  }
  QStringList GetCapabilities() { return {QStringLiteral("body")}; }

 private:
  QString log_;
  uint id_ = 0;
};

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 3) return 2;
  QDBusConnection bus = QDBusConnection::sessionBus();
  Notifications service(QString::fromLocal8Bit(argv[1]));
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                          QDBusConnection::ExportAllSlots) ||
      !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
    return 1;
  }
  QFile ready(QString::fromLocal8Bit(argv[2]));
  if (!ready.open(QIODevice::WriteOnly)) return 1;
  ready.close();
  return QCoreApplication::exec();
}

#include "fake_notifications.moc"
