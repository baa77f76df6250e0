// The help viewer: shows the HTML help file (FindDataPaths: beside the executable, or under
// share/dorvane when installed), one topic per anchor.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/messages.h"

class QTextBrowser;
class QToolButton;
class QUrl;

namespace dorvane {

class QtHelpEngine : public HelpEngine {
 public:
  QtHelpEngine(std::string helpFilePath, MessageService& messages);
  ~QtHelpEngine() override;
  QtHelpEngine(const QtHelpEngine&) = delete;
  QtHelpEngine& operator=(const QtHelpEngine&) = delete;

  // The viewer window belongs to this window (it closes and dies with it).
  void SetOwner(QWidget* owner);
  // Where links that leave the help file go; without one, straight to the desktop.
  void SetShell(Shell* shell);
  // The folder of this run's files, which the help's "The files Dorvane uses" names; `portable`
  // when it is the program's own folder.
  void SetFilesFolder(const std::string& folder, bool portable);

  bool Contents() override;
  bool HelpOnHelp() override;
  void Quit() override;
  bool JumpToTopic(const std::string& topic) override;

  // The viewer window; nullptr until it is first shown.
  QWidget* Window() const;

 private:
  // One place the reader has been: a document and the anchor within it ("" = its top).
  struct Place {
    QString html;
    QString anchor;
  };

  void EnsureWindow();
  QString filesFolderText_;
  bool ReadHelpFile(QString& html);
  QString FindAnchor(const QString& topic) const;
  void Visit(Place place);
  void Show(const Place& place);
  void BringToFront();
  void Step(int delta);
  void UpdateButtons();
  void OnLink(const QUrl& url);

  std::string helpFilePath_;
  MessageService& messages_;
  Shell* shell_ = nullptr;
  QPointer<QWidget> owner_;
  QPointer<QWidget> window_;
  QTextBrowser* browser_ = nullptr;
  QToolButton* backButton_ = nullptr;
  QToolButton* forwardButton_ = nullptr;
  std::vector<Place> history_;
  std::size_t current_ = 0;
  QString shownHtml_;  // the document the browser holds now
};

}  // namespace dorvane
