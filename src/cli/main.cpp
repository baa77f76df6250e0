// dorvane-report: Dorvane's reports on the command line.
#include <iostream>
#include <string>
#include <vector>

#include "cli/reportcli.h"
#include "platform/clock.h"
#include "platform/datapaths.h"
#include "platform/files.h"
#include "platform/regional.h"
#include "platform/regionalrecord.h"
#include "platform/registry.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  // Dorvane's own files, found by the rule Dorvane itself follows.
  const dorvane::SystemEnvironment environment;
  const dorvane::DataPaths paths = dorvane::FindDataPaths(environment, "dorvane");
  // Those files, and any file named on the command line, are opened as written: no "\" taken
  // as a separator, no drive root.
  std::vector<std::string> verbatim = {paths.settings, paths.store};
  for (const std::string& arg : args) {
    verbatim.push_back(arg);
    if (const auto eq = arg.find('='); eq != std::string::npos)
      verbatim.push_back(arg.substr(eq + 1));
  }
  const dorvane::RealFileSystem files(paths.folder, verbatim);
  const dorvane::SystemClock clock;
  const dorvane::RegionalSettings rs = dorvane::RegionalSettings::FromSystem();
  // The files are read in the notation of their folder, recorded in the registry file beside
  // the store; a folder without one is read in the environment's (and nothing is written).
  const auto storeRegional = [&rs](const std::string& storePath) {
    dorvane::RegFileRegistry registry(dorvane::ChangeFileExt(storePath, ".REG"));
    return dorvane::FolderRegional(registry, rs, false);
  };
  return dorvane::RunDorvaneReport(
      args, {files, clock, rs, paths.settings, paths.store, std::cout, std::cerr, storeRegional});
}
