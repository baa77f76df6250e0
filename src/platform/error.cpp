#include "platform/error.h"

namespace dorvane {

std::string FormatMessage(std::string_view pattern, std::string_view arg) {
  std::string out(pattern);
  if (auto pos = out.find("%s"); pos != std::string::npos) out.replace(pos, 2, arg);
  return out;
}

std::string ErrorBoxText(std::string_view message) {
  std::string out(message);
  if (!out.empty() && static_cast<unsigned char>(out.back()) > static_cast<unsigned char>('.')) {
    out += '.';
  }
  return out;
}

}  // namespace dorvane
