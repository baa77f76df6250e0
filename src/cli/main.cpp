// dorvane-report: Dorvane's reports on the command line.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/reportcli.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/regional.h"

namespace {

// The program's own path, to find Dorvane's files beside it.
std::string OwnPath(const char* argv0) {
  std::string path(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
  if (n > 0) {
    path.resize(static_cast<std::size_t>(n));
    return path;
  }
  return argv0 != nullptr ? argv0 : "";
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const std::string exePath = OwnPath(argc > 0 ? argv[0] : nullptr);
  const std::string folder = exePath.substr(0, exePath.find_last_of('/') + 1);
  const dorvane::RealFileSystem files(folder);
  const dorvane::SystemClock clock;
  const dorvane::RegionalSettings rs = dorvane::RegionalSettings::FromSystem();
  return dorvane::RunDorvaneReport(args, {files, clock, rs, exePath, std::cout, std::cerr});
}
