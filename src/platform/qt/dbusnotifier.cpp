#include "platform/qt/dbusnotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include "platform/messages.h"
#include "platform/product.h"
#include "platform/qt/qtext.h"

namespace dorvane {

namespace {

constexpr int kReplyTimeoutMs = 2000;

}  // namespace

bool DBusNotifier::Notify(const std::string& summary, const std::string& body) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"),
      QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  call << QString::fromLatin1(kProductName) << 0u << QStringLiteral("dorvane") << ToQString(summary)
       << ToQString(body) << QStringList() << QVariantMap() << -1;
  const QDBusMessage reply = bus.call(call, QDBus::Block, kReplyTimeoutMs);
  return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace dorvane
