// What the main window needs from the world outside it, handed in at creation so that the
// program builds the real implementations and the window tests hand in fakes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/datapaths.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/regional.h"
#include "platform/registry.h"

namespace dorvane {

class ReportPrinter;

struct AppServices {
  MessageService& messages;
  HelpEngine& help;
  Shell& shell;
  ReportPrinter& printer;
  FileSystem& files;
  Registry& registry;
  Clock& clock;
  RegionalSettings regional;
  // The running program's full path.
  std::string exePath;
  // The command-line parameters, without the program's own name.
  std::vector<std::string> arguments;
  // The settings file, the call store, the registry file and the help file (FindDataPaths).
  DataPaths paths;
  // The desktop's regional settings as they are now, which the user may give the data folder.
  std::function<RegionalSettings()> desktopRegional;
};

}  // namespace dorvane
