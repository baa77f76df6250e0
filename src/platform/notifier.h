// The desktop's notification seam: a short notice that does not wait for the user.
#pragma once

#include <string>

namespace dorvane {

class Notifier {
 public:
  virtual ~Notifier() = default;
  // False when no notification service took the notice; the caller then tells the user
  // another way.
  virtual bool Notify(const std::string& summary, const std::string& body) = 0;
};

}  // namespace dorvane
