// dorvane-import: records the calls found in pppd's and chat's syslog lines in Dorvane's store.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
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

// Plain and gzip'd files alike, a block at a time (zlib passes a file that is not gzip'd
// through as it is).
class ZlibLogStream : public dorvane::LogStream {
 public:
  explicit ZlibLogStream(gzFile file) : file_(file) {}
  ~ZlibLogStream() override { ::gzclose(file_); }
  ZlibLogStream(const ZlibLogStream&) = delete;
  ZlibLogStream& operator=(const ZlibLogStream&) = delete;

  std::ptrdiff_t Read(char* data, std::size_t size) override {
    const int n = ::gzread(file_, data, static_cast<unsigned>(size));
    int error = Z_OK;
    const char* message = ::gzerror(file_, &error);
    if (n < 0 || (n == 0 && error != Z_OK)) {
      // zlib reports a gzip file cut short only here, as a buffer error at its end.
      if (error == Z_BUF_ERROR) {
        failure_ = "the compressed file is truncated (unexpected end of file)";
      } else if (error == Z_ERRNO) {
        failure_ = std::strerror(errno);
      } else {
        failure_ = message != nullptr ? message : "unreadable";
      }
      return -1;
    }
    return n;
  }
  std::string Failure() const override { return failure_; }

 private:
  gzFile file_;
  std::string failure_;
};

class ZlibLogSource : public dorvane::LogSource {
 public:
  std::unique_ptr<dorvane::LogStream> Open(const std::string& path, std::string& reason) override {
    const bool standardInput = path == "-";
    const int fd = standardInput ? ::dup(STDIN_FILENO) : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      reason = std::strerror(errno);
      return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      reason = std::strerror(S_ISDIR(st.st_mode) ? EISDIR : errno);
      ::close(fd);
      return nullptr;
    }
    gzFile file = ::gzdopen(fd, "rb");
    if (file == nullptr) {
      reason = std::strerror(errno);
      ::close(fd);
      return nullptr;
    }
    ::gzbuffer(file, 64 * 1024);
    auto stream = std::make_unique<ZlibLogStream>(file);
    // A pipe has no useful modification time: its lines are being written now.
    stream->modifiedUtc = S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_mtim.tv_sec)
                                              : static_cast<std::int64_t>(std::time(nullptr));
    return stream;
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
  int status = dorvane::RunImportTool(args, ctx);
  errno = 0;
  std::cout.flush();
  if (!std::cout) {
    // What was asked for (the list of a dry run, the counts) did not reach its reader.
    std::cerr << dorvane::kImportToolName << ": cannot write the output"
              << (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()) << "\n";
    status = 1;
  }
  return status;
}
