// Message boxes on QMessageBox: the captions, icons and buttons of each kind of notice.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/messages.h"

namespace dorvane {

class QtMessageService : public MessageService {
 public:
  explicit QtMessageService(QWidget* parent = nullptr);
  // Boxes are modal to this window (none: application modal).
  void SetParent(QWidget* parent);

  Answer Confirm(const std::string& text, bool withCancel = false) override;
  void Information(const std::string& text) override;
  void Warning(const std::string& text) override;
  void ErrorMessage(const std::string& text) override;
  void Note(const std::string& text) override;
  void ShowError(const std::string& message) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace dorvane
