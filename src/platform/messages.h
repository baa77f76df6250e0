// The message-box seam: the kinds of question and notice the program shows.
#pragma once

#include <string>

namespace dorvane {

enum class Answer { Yes, No, Cancel, Ok };

class MessageService {
 public:
  virtual ~MessageService() = default;
  // Caption "Confirm", question icon, Yes and No (and Cancel when asked for).
  virtual Answer Confirm(const std::string& text, bool withCancel = false) = 0;
  // Caption "Information", OK.
  virtual void Information(const std::string& text) = 0;
  // Caption "Warning", OK.
  virtual void Warning(const std::string& text) = 0;
  // Caption "Error", OK.
  virtual void ErrorMessage(const std::string& text) = 0;
  // A plain note with the application title as caption, OK.
  virtual void Note(const std::string& text) = 0;
  // The standard error box: application title as caption, error icon, OK; the text is shown
  // through ErrorBoxText (a full stop added where one is due).
  virtual void ShowError(const std::string& message) = 0;
};

// The help viewer: contents, help on help, quit, and a jump to a named topic.
class HelpEngine {
 public:
  virtual ~HelpEngine() = default;
  virtual bool Contents() = 0;
  virtual bool HelpOnHelp() = 0;
  virtual void Quit() = 0;
  // Shows the contents first and, only when that succeeds, jumps to the topic.
  virtual bool JumpToTopic(const std::string& topic) = 0;
};

// The desktop's "open" verb for an address.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual void OpenUrl(const std::string& url) = 0;
};

// Shows nothing and answers No: for runs without a window, whose caller reads the outcome.
class SilentMessages : public MessageService {
 public:
  Answer Confirm(const std::string&, bool) override { return Answer::No; }
  void Information(const std::string&) override {}
  void Warning(const std::string&) override {}
  void ErrorMessage(const std::string&) override {}
  void Note(const std::string&) override {}
  void ShowError(const std::string&) override {}
};

}  // namespace dorvane
