// Desktop notifications through the freedesktop notification service on the session bus.
#pragma once

#include "platform/notifier.h"

namespace dorvane {

class DBusNotifier : public Notifier {
 public:
  // False when there is no session bus, no notification service on it, or it did not answer
  // within a couple of seconds.
  bool Notify(const std::string& summary, const std::string& body) override;
};

}  // namespace dorvane
