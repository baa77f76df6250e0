#include "session/commandline.h"

#include "platform/messages.h"
#include "platform/product.h"

namespace dorvane {

std::optional<std::string> InfoRequestText(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return std::nullopt;
  const std::string& first = arguments.front();
  if (first == "--version") {
    return std::string("dorvane ") + kVersionText + "\n";
  }
  if (first == "--help" || first == "-h") {
    return "Usage: dorvane [CHECK]\n"
           "A logbook of dial-up modem calls and what they cost.\n"
           "\n"
           "  CHECK      record new calls from the modem log, warn when a cost limit is passed,\n"
           "             and end; without a display each message is one line on standard\n"
           "             error, and the exit status is 0, or 1 after an error\n"
           "  --help     show this text and end\n"
           "  --version  show the version and end\n";
  }
  return std::nullopt;
}

}  // namespace dorvane
