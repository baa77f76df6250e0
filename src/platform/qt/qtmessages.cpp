#include "platform/qt/qtmessages.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "platform/error.h"
#include "platform/product.h"
#include "platform/qt/qtext.h"

namespace dorvane {

namespace {

// Unattended runs (the end-to-end tests run the program with no one at the screen) name a file
// in DORVANE_MESSAGE_LOG: every box is appended to it as "caption: text" and answered with its
// escape button without being shown.
bool LogUnattended(const char* caption, const std::string& text) {
  const char* path = std::getenv("DORVANE_MESSAGE_LOG");
  if (path == nullptr || *path == '\0') return false;
  if (std::FILE* log = std::fopen(path, "ab")) {
    std::fprintf(log, "%s: %s\n", caption, text.c_str());
    std::fclose(log);
  }
  return true;
}

// One box, run modally; returns the button the user chose (the escape button when the box
// was closed another way).
QMessageBox::StandardButton RunBox(QWidget* parent, const char* caption, QMessageBox::Icon icon,
                                   const std::string& text, QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton escape) {
  if (LogUnattended(caption, text)) return escape;
  QMessageBox box(icon, ToQString(caption), ToQString(text), buttons, parent);
  // The texts are the program's own plain sentences, never markup.
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(static_cast<QMessageBox::StandardButton>(
      buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok));
  box.setEscapeButton(escape);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked == nullptr) return escape;
  return box.standardButton(clicked);
}

}  // namespace

QtMessageService::QtMessageService(QWidget* parent) : parent_(parent) {}

void QtMessageService::SetParent(QWidget* parent) {
  parent_ = parent;
}

Answer QtMessageService::Confirm(const std::string& text, bool withCancel) {
  QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
  if (withCancel) buttons |= QMessageBox::Cancel;
  // Escape means "no" when there is no Cancel button to take it.
  const auto escape = withCancel ? QMessageBox::Cancel : QMessageBox::No;
  switch (RunBox(parent_, "Confirm", QMessageBox::Question, text, buttons, escape)) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    default:
      return Answer::No;
  }
}

void QtMessageService::Information(const std::string& text) {
  RunBox(parent_, "Information", QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessageService::Warning(const std::string& text) {
  RunBox(parent_, "Warning", QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessageService::ErrorMessage(const std::string& text) {
  RunBox(parent_, "Error", QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessageService::Note(const std::string& text) {
  RunBox(parent_, kProductName, QMessageBox::NoIcon, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessageService::ShowError(const std::string& message) {
  RunBox(parent_, kProductName, QMessageBox::Critical, ErrorBoxText(message), QMessageBox::Ok,
         QMessageBox::Ok);
}

}  // namespace dorvane
