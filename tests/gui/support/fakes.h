// Fakes for the window tests: the scripted message service (support/messages.h) failing the Qt
// test on any box it was not told to expect, recorders for the help viewer and the shell, a fixed
// clock, and a rig that builds the main window over a temporary folder standing for the
// program's folder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/mainmdi.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/qt/printing.h"
#include "platform/regional.h"
#include "platform/registry.h"
#include "support/files.h"
#include "support/messages.h"

namespace dorvane::testing {

// Reports a box the test did not expect as a failure of the running Qt test.
void FailQtTest(const std::string& what);

// Notes each request: "Contents", "HelpOnHelp", "Quit", "JumpToTopic <topic>".
class RecordingHelp : public HelpEngine {
 public:
  bool Contents() override;
  bool HelpOnHelp() override;
  void Quit() override;
  bool JumpToTopic(const std::string& topic) override;
  std::vector<std::string> requests;
};

class RecordingShell : public Shell {
 public:
  void OpenUrl(const std::string& url) override { urls.push_back(url); }
  std::vector<std::string> urls;
};

// Answers the print dialog as told and keeps the plain text of every printed document. The
// set-up dialog chooses `setupChoice` when `setupConfirm` is true.
class RecordingPrinter : public ReportPrinter {
 public:
  bool PrintDialog(QWidget*, std::string& printer) override {
    ++printDialogs;
    offered.push_back(printer);
    return confirm;
  }
  bool PrinterSetupDialog(QWidget*, std::string& printer) override {
    ++setupDialogs;
    if (setupConfirm) printer = setupChoice;
    return setupConfirm;
  }
  void Print(const QTextDocument& document, const std::string& printer) override;

  bool confirm = true;
  bool setupConfirm = false;
  std::string setupChoice;
  int printDialogs = 0;
  int setupDialogs = 0;
  std::vector<std::string> offered;    // the printer each print dialog offered first
  std::vector<std::string> printed;    // the plain text of each printed document
  std::vector<std::string> printedOn;  // and the printer it went to
};

// A registry that refuses every write, as one without the right to do so.
class RefusingRegistry : public Registry {
 public:
  bool OpenKey(const std::string&) override { return false; }
  std::optional<std::string> ReadString(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void WriteString(const std::string& key, const std::string& name,
                   const std::string& value) override;
  void WriteBinary(const std::string& key, const std::string& name,
                   const std::vector<std::uint8_t>& data) override;
};

// The main window over a temporary program folder holding "dorvane" and its files, with US
// English regional settings and a clock fixed at 15 August 1998, noon.
class FormRig {
 public:
  FormRig();

  // The full path of a file in the program's folder.
  std::string Path(const std::string& name) const;
  void WriteFile(const std::string& name, const std::string& content) const;
  std::string ReadFile(const std::string& name) const;
  bool Exists(const std::string& name) const;

  // Builds the window (FormCreate runs); `registryOverride` replaces the registry file.
  TForm1& Create(std::vector<std::string> arguments = {}, Registry* registryOverride = nullptr);
  // Builds the window and runs the show sequence.
  TForm1& Show(std::vector<std::string> arguments = {}, Registry* registryOverride = nullptr);

  TempDir dir;
  ScriptedMessages messages{FailQtTest};
  RecordingHelp help;
  RecordingShell shell;
  RecordingPrinter printer;
  std::unique_ptr<RealFileSystem> files;
  std::unique_ptr<RegFileRegistry> registry;
  FixedClock clock;
  RegionalSettings regional = RegionalSettings::UsEnglish();
  std::unique_ptr<TForm1> form;
};

// A modem log line "MM-DD-YYYY hh:nn:ss.cc - text" with CR LF.
std::string LogLine(const std::string& stamp, const std::string& text);

// One modem session holding one call from `start` to `end` (time stamps as in LogLine).
std::string LogSession(const std::string& start, const std::string& end);

}  // namespace dorvane::testing
