// The help viewer: shows the HTML help file beside the executable, one topic per anchor.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>

#include "platform/messages.h"

class QTextBrowser;
class QToolButton;

namespace dorvane {

class QtHelpEngine : public HelpEngine {
 public:
  QtHelpEngine(std::string helpFilePath, MessageService& messages);
  ~QtHelpEngine() override;
  QtHelpEngine(const QtHelpEngine&) = delete;
  QtHelpEngine& operator=(const QtHelpEngine&) = delete;

  // The viewer window belongs to this window (it closes and dies with it).
  void SetOwner(QWidget* owner);

  bool Contents() override;
  bool HelpOnHelp() override;
  void Quit() override;
  bool JumpToTopic(const std::string& topic) override;

  // The viewer window; nullptr until it is first shown.
  QWidget* Window() const;

 private:
  void EnsureWindow();
  void ShowWindow();
  bool LoadHelpFile();
  void ShowBuiltInPage();

  std::string helpFilePath_;
  MessageService& messages_;
  QPointer<QWidget> owner_;
  QPointer<QWidget> window_;
  QTextBrowser* browser_ = nullptr;
  QToolButton* contentsButton_ = nullptr;
};

}  // namespace dorvane
