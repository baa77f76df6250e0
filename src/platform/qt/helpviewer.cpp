#include "platform/qt/helpviewer.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/files.h"
#include "platform/qt/icons.h"
#include "platform/qt/qtext.h"

namespace dorvane {

namespace {

constexpr std::size_t kHistoryLimit = 100;

// How to use this viewer; built in, so it is there even when the help file is not.
constexpr const char* kHelpOnHelpHtml = R"(<html><body>
<h2>How to Use Help</h2>
<p>The help window shows the Dorvane help file, <b>dorvane.HLP</b>: beside the program when it
runs from its own folder, or among the installed program's shared files. It stays open beside the main window while you work and
closes when you leave Dorvane.</p>
<h3>Finding a topic</h3>
<ul>
<li><b>Contents</b> shows the start of the help file with the list of all topics.</li>
<li>Click an underlined phrase to go to the topic it names.</li>
<li><b>Back</b> returns to the place you came from; <b>Forward</b> goes again where Back has
just taken you from. Alt+Left and Alt+Right do the same from the keyboard.</li>
</ul>
<h3>Opening help from Dorvane</h3>
<ul>
<li><b>Help, Contents</b> on the menu, or the <b>Help</b> tool button, shows the contents.</li>
<li>The <b>Lower Cost</b> tool button shows advice on how to reduce the cost of your time
online.</li>
<li>The <b>Help</b> button beside the charges table on the <b>Options</b> page explains how to
describe your telephone tariff.</li>
</ul>
<h3>Reading and copying</h3>
<p>Scroll with the mouse wheel, the scroll bar or the Page Up and Page Down keys. Select text
with the mouse and press Ctrl+C to copy it. Links to web pages open in your web browser.</p>
</body></html>)";

// The anchor names at each position of a document, as the HTML importer recorded them
// (from <a name="..."> and from id="..." attributes).
struct Anchor {
  QString name;
  int position = 0;
};

std::vector<Anchor> AnchorsOf(const QTextDocument& document) {
  std::vector<Anchor> anchors;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (const QString& name : block.blockFormat().property(QTextFormat::AnchorName).toStringList())
      anchors.push_back({name, block.position()});
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      for (const QString& name : fragment.charFormat().anchorNames())
        anchors.push_back({name, fragment.position()});
    }
  }
  return anchors;
}

}  // namespace

QtHelpEngine::QtHelpEngine(std::string helpFilePath, MessageService& messages)
    : helpFilePath_(std::move(helpFilePath)), messages_(messages) {}

QtHelpEngine::~QtHelpEngine() {
  // The window's buttons call back into this engine, so it must not outlive it.
  delete window_.data();
}

void QtHelpEngine::SetOwner(QWidget* owner) {
  owner_ = owner;
  if (window_ && window_->parentWidget() != owner) {
    const bool visible = window_->isVisible();
    window_->setParent(owner, window_->windowFlags());
    if (visible) window_->show();
  }
}

void QtHelpEngine::SetShell(Shell* shell) {
  shell_ = shell;
}

QWidget* QtHelpEngine::Window() const {
  return window_;
}

bool QtHelpEngine::Contents() {
  QString html;
  if (!ReadHelpFile(html)) return false;
  Visit({html, QString()});
  BringToFront();
  return true;
}

bool QtHelpEngine::HelpOnHelp() {
  Visit({QString::fromUtf8(kHelpOnHelpHtml), QString()});
  BringToFront();
  return true;
}

void QtHelpEngine::Quit() {
  if (window_) window_->close();
}

bool QtHelpEngine::JumpToTopic(const std::string& topic) {
  if (!Contents()) return false;
  const QString name = FindAnchor(QString::fromStdString(topic));
  if (name.isEmpty()) {
    messages_.ErrorMessage("Help topic not found: " + topic);
    return false;
  }
  Visit({history_[current_].html, name});
  return true;
}

void QtHelpEngine::SetFilesFolder(const std::string& folder, bool portable) {
  filesFolderText_ = QStringLiteral("<code>") + ToQString(folder).toHtmlEscaped() +
                     (portable ? QStringLiteral("</code>, beside the program (portable)")
                               : QStringLiteral("</code>, your data folder"));
}

bool QtHelpEngine::ReadHelpFile(QString& html) {
  // Read afresh on every request: the file may have been replaced while the program runs.
  const QString path = QString::fromStdString(helpFilePath_);
  QFileInfo info(path);
  if (path.isEmpty() || !info.exists() || info.isDir()) {
    messages_.ErrorMessage("Help file not found: " + helpFilePath_);
    return false;
  }
  std::string content;
  if (ReadWholeFile(helpFilePath_, content) != FileRead::kRead) {
    messages_.ErrorMessage("Help file cannot be read: " + helpFilePath_);
    return false;
  }
  const QByteArray bytes = QByteArray::fromStdString(content);
  // A <meta charset> in the file decides its encoding; without one it is UTF-8.
  QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
  html = decoder.isValid() ? decoder.decode(bytes) : QString::fromUtf8(bytes);
  if (!filesFolderText_.isEmpty()) {
    static const QRegularExpression kFolder(
        QStringLiteral("(<span id=\"DataFolder\">)[^<]*(</span>)"));
    // Put in as it is: a folder's name may hold what a replacement pattern would read.
    const QRegularExpressionMatch found = kFolder.match(html);
    if (found.hasMatch()) {
      html.replace(found.capturedEnd(1), found.capturedStart(2) - found.capturedEnd(1),
                   filesFolderText_);
    }
  }
  return true;
}

// Topic names are matched without regard to letter case; the exact spelling wins when both
// exist.
QString QtHelpEngine::FindAnchor(const QString& topic) const {
  if (topic.isEmpty() || browser_ == nullptr) return QString();
  QString loose;
  for (const Anchor& anchor : AnchorsOf(*browser_->document())) {
    if (anchor.name == topic) return anchor.name;
    if (loose.isEmpty() && anchor.name.compare(topic, Qt::CaseInsensitive) == 0)
      loose = anchor.name;
  }
  return loose;
}

void QtHelpEngine::EnsureWindow() {
  if (window_) return;
  auto* window = new QWidget(owner_, Qt::Window);
  window->setWindowTitle(QStringLiteral("Dorvane Help"));
  window->setAccessibleName(QStringLiteral("Dorvane Help"));
  window->setWindowIcon(MakeIcon(IconKind::Help));
  window->resize(620, 560);

  auto* contents = new QToolButton(window);
  contents->setText(QStringLiteral("&Contents"));
  contents->setObjectName(QStringLiteral("contentsButton"));
  backButton_ = new QToolButton(window);
  backButton_->setText(QStringLiteral("&Back"));
  backButton_->setObjectName(QStringLiteral("backButton"));
  backButton_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
  forwardButton_ = new QToolButton(window);
  forwardButton_->setText(QStringLiteral("&Forward"));
  forwardButton_->setObjectName(QStringLiteral("forwardButton"));
  forwardButton_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
  for (QToolButton* button : {contents, backButton_, forwardButton_}) {
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
  }

  browser_ = new QTextBrowser(window);
  browser_->setObjectName(QStringLiteral("helpText"));
  browser_->setAccessibleName(QStringLiteral("Help text"));
  // Links are followed here: topics within the file, everything else by the desktop.
  browser_->setOpenLinks(false);
  browser_->setOpenExternalLinks(false);
  browser_->setSearchPaths({QFileInfo(QString::fromStdString(helpFilePath_)).absolutePath()});

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(contents);
  buttons->addWidget(backButton_);
  buttons->addWidget(forwardButton_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(buttons);
  layout->addWidget(browser_);

  QObject::connect(contents, &QToolButton::clicked, window, [this] { Contents(); });
  QObject::connect(backButton_, &QToolButton::clicked, window, [this] { Step(-1); });
  QObject::connect(forwardButton_, &QToolButton::clicked, window, [this] { Step(+1); });
  QObject::connect(browser_, &QTextBrowser::anchorClicked, window,
                   [this](const QUrl& url) { OnLink(url); });
  window_ = window;
  // A new window starts with no history; the old one went with its owner.
  history_.clear();
  current_ = 0;
  shownHtml_.clear();
}

void QtHelpEngine::Visit(Place place) {
  EnsureWindow();
  if (!history_.empty()) history_.erase(history_.begin() + current_ + 1, history_.end());
  history_.push_back(std::move(place));
  if (history_.size() > kHistoryLimit) history_.erase(history_.begin());
  current_ = history_.size() - 1;
  Show(history_[current_]);
}

void QtHelpEngine::Show(const Place& place) {
  if (window_->isMinimized()) window_->showNormal();
  window_->show();
  if (shownHtml_ != place.html) {
    browser_->setHtml(place.html);
    shownHtml_ = place.html;
  }
  QTextCursor cursor(browser_->document());
  if (place.anchor.isEmpty()) {
    browser_->setTextCursor(cursor);
    browser_->verticalScrollBar()->setValue(0);
  } else {
    for (const Anchor& anchor : AnchorsOf(*browser_->document())) {
      if (anchor.name == place.anchor) {
        cursor.setPosition(anchor.position);
        break;
      }
    }
    browser_->setTextCursor(cursor);
    browser_->scrollToAnchor(place.anchor);
  }
  UpdateButtons();
}

// A request from the program brings the viewer before the main window.
void QtHelpEngine::BringToFront() {
  if (window_->isActiveWindow()) return;
  window_->raise();
  window_->activateWindow();
}

void QtHelpEngine::Step(int delta) {
  if (history_.empty()) return;
  const auto target = static_cast<std::ptrdiff_t>(current_) + delta;
  if (target < 0 || target >= static_cast<std::ptrdiff_t>(history_.size())) return;
  current_ = static_cast<std::size_t>(target);
  Show(history_[current_]);
}

void QtHelpEngine::UpdateButtons() {
  backButton_->setEnabled(current_ > 0);
  forwardButton_->setEnabled(current_ + 1 < history_.size());
}

void QtHelpEngine::OnLink(const QUrl& url) {
  const bool inThisDocument =
      url.scheme().isEmpty() && url.host().isEmpty() && url.path().isEmpty() && url.hasFragment();
  if (inThisDocument) {
    const QString name = FindAnchor(url.fragment());
    if (name.isEmpty()) {
      messages_.ErrorMessage("Help topic not found: " + url.fragment().toStdString());
      return;
    }
    Visit({history_[current_].html, name});
    return;
  }
  // A relative link names a file beside the help file.
  const QUrl target =
      url.isRelative()
          ? QUrl::fromLocalFile(QFileInfo(QString::fromStdString(helpFilePath_)).absoluteFilePath())
                .resolved(url)
          : url;
  if (shell_ != nullptr)
    shell_->OpenUrl(target.toString().toStdString());
  else
    QDesktopServices::openUrl(target);
}

}  // namespace dorvane
