#include "gui/support/fakes.h"

#include <QDir>
#include <QTextDocument>
#include <QtTest>
#include <fstream>
#include <sstream>

#include "platform/error.h"

namespace dorvane::testing {

void FailQtTest(const std::string& what) {
  QTest::qFail(what.c_str(), __FILE__, __LINE__);
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
    : files(std::make_unique<RealFileSystem>(dir.Path())),
      registry(std::make_unique<RegFileRegistry>(Path("dorvane.REG"))),
      clock(EncodeDate(1998, 8, 15) + 0.5) {}

std::string FormRig::Path(const std::string& name) const {
  return dir.File(name);
}

void FormRig::WriteFile(const std::string& name, const std::string& content) const {
  WriteBytes(Path(name), content);
}

std::string FormRig::ReadFile(const std::string& name) const {
  return ReadBytes(Path(name)).value_or("");
}

bool FormRig::Exists(const std::string& name) const {
  return QFileInfo::exists(QString::fromStdString(Path(name)));
}

TForm1& FormRig::Create(std::vector<std::string> arguments, Registry* registryOverride) {
  Registry& reg = registryOverride != nullptr ? *registryOverride : *registry;
  form = std::make_unique<TForm1>(AppServices{messages, help, shell, printer, *files, reg, clock,
                                              regional, Path("dorvane"), std::move(arguments),
                                              PortableDataPaths(Path("dorvane"))});
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
