#include "platform/qt/helpviewer.h"

namespace dorvane {

QtHelpEngine::QtHelpEngine(std::string helpFilePath, MessageService& messages)
    : helpFilePath_(std::move(helpFilePath)), messages_(messages) {}

QtHelpEngine::~QtHelpEngine() = default;

void QtHelpEngine::SetOwner(QWidget* owner) {
  owner_ = owner;
}
bool QtHelpEngine::Contents() {
  return false;
}
bool QtHelpEngine::HelpOnHelp() {
  return false;
}
void QtHelpEngine::Quit() {}
bool QtHelpEngine::JumpToTopic(const std::string&) {
  return false;
}
QWidget* QtHelpEngine::Window() const {
  return window_;
}
void QtHelpEngine::EnsureWindow() {}
void QtHelpEngine::ShowWindow() {}
bool QtHelpEngine::LoadHelpFile() {
  return false;
}
void QtHelpEngine::ShowBuiltInPage() {}

}  // namespace dorvane
