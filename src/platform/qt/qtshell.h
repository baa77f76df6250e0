// The desktop's "open" verb: hands an address to the user's browser or file handler.
#pragma once

#include "platform/messages.h"

namespace dorvane {

class QtShell : public Shell {
 public:
  // The result is deliberately not checked: a failed open is not reported.
  void OpenUrl(const std::string& url) override;
};

}  // namespace dorvane
