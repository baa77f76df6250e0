// A check run without a display: the boxes it would show become lines on standard error, the
// cost warnings also desktop notifications, and the run's outcome its exit status.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/datapaths.h"
#include "platform/messages.h"
#include "platform/notifier.h"

namespace dorvane {

// True when a window can be opened: an X or Wayland display is named, or the toolkit is told
// which platform to use.
bool HasDisplay(const ProcessEnvironment& env);

// Each message is one line "caption: text" (line breaks in the text become blanks); questions
// are answered as their Escape key would answer them (No, Cancel). Warnings also go to the
// notifier when there is one.
class LineMessages : public MessageService {
 public:
  using LineWriter = std::function<void(const std::string& line)>;
  explicit LineMessages(LineWriter write, Notifier* notifier = nullptr)
      : write_(std::move(write)), notifier_(notifier) {}

  Answer Confirm(const std::string& text, bool withCancel = false) override;
  void Information(const std::string& text) override;
  void Warning(const std::string& text) override;
  void ErrorMessage(const std::string& text) override;
  void Note(const std::string& text) override;
  void ShowError(const std::string& message) override;

  // True once an error was reported: the run then ends with status 1.
  bool Failed() const { return failed_; }

  // One message as its line.
  static std::string Line(std::string_view caption, std::string_view text);

 private:
  LineWriter write_;
  Notifier* notifier_;
  bool failed_ = false;
};

}  // namespace dorvane
