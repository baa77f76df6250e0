#include "session/headless.h"

#include "platform/error.h"
#include "platform/product.h"

namespace dorvane {

bool HasDisplay(const ProcessEnvironment& env) {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const auto value = env.Variable(name);
    if (value && !value->empty()) return true;
  }
  // "offscreen" and "minimal" draw nowhere: no one would see a box, nor close it.
  const auto platform = env.Variable("QT_QPA_PLATFORM");
  return platform && !platform->empty() && *platform != "offscreen" && *platform != "minimal";
}

std::string LineMessages::Line(std::string_view caption, std::string_view text) {
  std::string line(caption);
  line += ": ";
  bool blank = false;
  for (char c : text) {
    if (c == '\r' || c == '\n') {
      // A paragraph break is one blank, not two.
      if (!blank) line += ' ';
      blank = true;
      continue;
    }
    blank = false;
    line += c;
  }
  return line;
}

Answer LineMessages::Confirm(const std::string& text, bool withCancel) {
  write_(Line("Confirm", text));
  return withCancel ? Answer::Cancel : Answer::No;
}

void LineMessages::Information(const std::string& text) {
  write_(Line("Information", text));
}

void LineMessages::Warning(const std::string& text) {
  write_(Line("Warning", text));
  if (notifier_ != nullptr) notifier_->Notify(kProductName, text);
}

void LineMessages::ErrorMessage(const std::string& text) {
  failed_ = true;
  write_(Line("Error", text));
}

void LineMessages::Note(const std::string& text) {
  write_(Line(kProductName, text));
}

void LineMessages::ShowError(const std::string& message) {
  failed_ = true;
  write_(Line(kProductName, ErrorBoxText(message)));
}

}  // namespace dorvane
