// dorvane-import: records the calls found in pppd's and chat's syslog lines in Dorvane's store.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "linux/importtool.h"
#include "platform/datapaths.h"
#include "platform/files.h"
#include "platform/regionalrecord.h"
#include "platform/registry.h"

namespace {

// Reads plain and gzip'd files alike (zlib passes a file that is not gzip'd through as it is).
class ZlibLogSource : public dorvane::LogSource {
 public:
  std::optional<dorvane::LogInput> ReadLog(const std::string& path) override {
    const bool standardInput = path == "-";
    const int fd = standardInput ? ::dup(STDIN_FILENO) : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      ::close(fd);
      return std::nullopt;
    }
    dorvane::LogInput log;
    // A pipe has no useful modification time: its lines are being written now.
    log.modifiedUtc = S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_mtim.tv_sec)
                                          : static_cast<std::int64_t>(std::time(nullptr));
    gzFile file = ::gzdopen(fd, "rb");
    if (file == nullptr) {
      ::close(fd);
      return std::nullopt;
    }
    char buffer[65536];
    for (;;) {
      const int n = ::gzread(file, buffer, sizeof buffer);
      if (n < 0) {
        ::gzclose(file);
        return std::nullopt;
      }
      if (n == 0) break;
      log.text.append(buffer, static_cast<std::size_t>(n));
    }
    ::gzclose(file);
    return log;
  }
};

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);

  // The store of the program installed with the tool (or beside a portable one).
  const dorvane::DataPaths paths = dorvane::FindDataPaths(dorvane::SystemEnvironment{}, "dorvane");

  ZlibLogSource logs;
  dorvane::SystemTimeZone zone;
  const dorvane::RegionalSettings regional = dorvane::RegionalSettings::FromSystem();
  dorvane::ImportToolContext ctx{logs, zone, regional, paths.store, std::cout, std::cerr};
  ctx.prepareDefaultStore = [&paths] { dorvane::CreateDataFolder(paths); };
  // The registry file beside the store keeps the notation of its folder.
  ctx.storeRegional = [&regional](const std::string& storePath, bool writing) {
    dorvane::RegFileRegistry registry(dorvane::ChangeFileExt(storePath, ".REG"));
    return dorvane::FolderRegional(registry, regional, writing);
  };
  const int status = dorvane::RunImportTool(args, ctx);
  std::cout.flush();
  return status;
}
