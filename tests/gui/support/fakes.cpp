#include "gui/support/fakes.h"

#include <QDir>
#include <QTextDocument>
#include <QtTest>
#include <fstream>
#include <sstream>

#include "platform/error.h"

namespace dorvane::testing {

const char* BoxKindName(BoxKind kind) {
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

void ScriptedMessages::Expect(BoxKind kind, std::string text, Answer answer) {
  expected_.push_back({kind, std::move(text), answer});
}

Answer ScriptedMessages::Take(BoxKind kind, const std::string& text) {
  shown_.push_back({kind, text, Answer::Ok});
  if (expected_.empty() || expected_.front().kind != kind || expected_.front().text != text) {
    const std::string failure =
        std::string("unexpected message box ") + BoxKindName(kind) + ": \"" + text + "\"" +
        (expected_.empty() ? std::string(" (none expected)")
                           : std::string(" (expected ") + BoxKindName(expected_.front().kind) +
                                 ": \"" + expected_.front().text + "\")");
    QTest::qFail(failure.c_str(), __FILE__, __LINE__);
    return Answer::No;
  }
  const Answer answer = expected_.front().answer;
  expected_.pop_front();
  shown_.back().answer = answer;
  return answer;
}

Answer ScriptedMessages::Confirm(const std::string& text, bool) {
  return Take(BoxKind::Confirm, text);
}
void ScriptedMessages::Information(const std::string& text) {
  Take(BoxKind::Information, text);
}
void ScriptedMessages::Warning(const std::string& text) {
  Take(BoxKind::Warning, text);
}
void ScriptedMessages::ErrorMessage(const std::string& text) {
  Take(BoxKind::ErrorMessage, text);
}
void ScriptedMessages::Note(const std::string& text) {
  Take(BoxKind::Note, text);
}
void ScriptedMessages::ShowError(const std::string& message) {
  Take(BoxKind::ShowError, message);
}

bool RecordingHelp::Contents() {
  requests.push_back("Contents");
  return true;
}
bool RecordingHelp::HelpOnHelp() {
  requests.push_back("HelpOnHelp");
  return true;
}
void RecordingHelp::Quit() {
  requests.push_back("Quit");
}
bool RecordingHelp::JumpToTopic(const std::string& topic) {
  requests.push_back("JumpToTopic " + topic);
  return true;
}

void RefusingRegistry::WriteString(const std::string&, const std::string& name,
                                   const std::string&) {
  throw Error(FormatMessage("Failed to set data for '%s'", name));
}
void RefusingRegistry::WriteBinary(const std::string&, const std::string& name,
                                   const std::vector<std::uint8_t>&) {
  throw Error(FormatMessage("Failed to set data for '%s'", name));
}

FormRig::FormRig()
    : files(std::make_unique<RealFileSystem>(QDir(dir.path()).absolutePath().toStdString())),
      registry(std::make_unique<RegFileRegistry>(Path("dorvane.REG"))),
      clock(EncodeDate(1998, 8, 15) + 0.5) {}

std::string FormRig::Path(const std::string& name) const {
  return QDir(dir.path()).absoluteFilePath(QString::fromStdString(name)).toStdString();
}

void FormRig::WriteFile(const std::string& name, const std::string& content) const {
  std::ofstream out(Path(name), std::ios::binary);
  out << content;
}

std::string FormRig::ReadFile(const std::string& name) const {
  std::ifstream in(Path(name), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool FormRig::Exists(const std::string& name) const {
  return QFileInfo::exists(QString::fromStdString(Path(name)));
}

TForm1& FormRig::Create(std::vector<std::string> arguments, Registry* registryOverride) {
  Registry& reg = registryOverride != nullptr ? *registryOverride : *registry;
  form = std::make_unique<TForm1>(AppServices{
      messages, help, shell, printer, *files, reg, clock, regional, Path("dorvane"),
      std::move(arguments), PortableDataPaths(Path("dorvane")), [this] { return desktop; }});
  return *form;
}

TForm1& FormRig::Show(std::vector<std::string> arguments, Registry* registryOverride) {
  Create(std::move(arguments), registryOverride);
  form->FormShow();
  return *form;
}

void RecordingPrinter::Print(const QTextDocument& document, const std::string& printer) {
  printed.push_back(document.toPlainText().toStdString());
  printedOn.push_back(printer);
}

std::string LogLine(const std::string& stamp, const std::string& text) {
  return stamp + " - " + text + "\r\n";
}

std::string LogSession(const std::string& start, const std::string& end) {
  return LogLine(start, "Session Statistics: COM1 in use.") + LogLine(start, "Dialing 555-0100.") +
         LogLine(start, "Send: ATDT555-0100<cr>") + LogLine(end, "Recv: NO CARRIER<cr>") +
         LogLine(end, "Hanging up the modem.") + LogLine(end, "Session Statistics: COM1 closed.");
}

}  // namespace dorvane::testing
