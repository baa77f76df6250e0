// The one message service of the tests: it shows nothing, keeps every box it was asked to show,
// and answers from a script. A box that was neither expected next nor allowed is a fault of the
// test, reported through the failure function of the test framework in use; without one (a fuzz
// target, a count of boxes) every box is taken and answered No.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/messages.h"

namespace dorvane::testing {

enum class BoxKind { Confirm, Information, Warning, ErrorMessage, Note, ShowError };

inline const char* BoxKindName(BoxKind kind) {
  switch (kind) {
    case BoxKind::Confirm:
      return "Confirm";
    case BoxKind::Information:
      return "Information";
    case BoxKind::Warning:
      return "Warning";
    case BoxKind::ErrorMessage:
      return "ErrorMessage";
    case BoxKind::Note:
      return "Note";
    case BoxKind::ShowError:
      return "ShowError";
  }
  return "?";
}

class ScriptedMessages : public MessageService {
 public:
  struct Box {
    BoxKind kind;
    std::string text;
    Answer answer = Answer::Ok;
  };
  using Failure = std::function<void(const std::string& what)>;

  explicit ScriptedMessages(Failure fail = nullptr) : fail_(std::move(fail)) {}

  // The next box to be shown, in order, and the answer it gets.
  void Expect(BoxKind kind, std::string text, Answer answer = Answer::Ok) {
    expected_.push_back({kind, std::move(text), answer});
  }
  // Any number of boxes of this kind, in any place, all answered `answer`.
  void Allow(BoxKind kind, Answer answer = Answer::No) { allowed_[kind] = answer; }

  // True when every expected box has been shown.
  bool AllShown() const { return expected_.empty(); }
  const std::vector<Box>& Shown() const { return shown_; }
  // The texts of the boxes of one kind that were shown, in order.
  std::vector<std::string> Texts(BoxKind kind) const {
    std::vector<std::string> texts;
    for (const Box& box : shown_) {
      if (box.kind == kind) texts.push_back(box.text);
    }
    return texts;
  }

  Answer Confirm(const std::string& text, bool = false) override {
    return Take(BoxKind::Confirm, text);
  }
  void Information(const std::string& text) override { Take(BoxKind::Information, text); }
  void Warning(const std::string& text) override { Take(BoxKind::Warning, text); }
  void ErrorMessage(const std::string& text) override { Take(BoxKind::ErrorMessage, text); }
  void Note(const std::string& text) override { Take(BoxKind::Note, text); }
  void ShowError(const std::string& message) override { Take(BoxKind::ShowError, message); }

 private:
  Answer Take(BoxKind kind, const std::string& text) {
    shown_.push_back({kind, text, Answer::No});
    if (!expected_.empty() && expected_.front().kind == kind && expected_.front().text == text) {
      shown_.back().answer = expected_.front().answer;
      expected_.pop_front();
    } else if (const auto allowed = allowed_.find(kind); allowed != allowed_.end()) {
      shown_.back().answer = allowed->second;
    } else if (fail_) {
      // Answered No, so that nothing is destroyed on an unexpected box's account.
      fail_(std::string("unexpected message box ") + BoxKindName(kind) + ": \"" + text + "\"" +
            (expected_.empty() ? std::string(" (none expected)")
                               : std::string(" (expected ") + BoxKindName(expected_.front().kind) +
                                     ": \"" + expected_.front().text + "\")"));
    }
    return shown_.back().answer;
  }

  Failure fail_;
  std::deque<Box> expected_;
  std::map<BoxKind, Answer> allowed_;
  std::vector<Box> shown_;
};

}  // namespace dorvane::testing
