// Arbitrary bytes as a modem log, imported into a store in a scratch folder: nothing may crash,
// only the program's own errors may come out, and whatever reaches the store reads back.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "capture/modemlog.h"
#include "platform/error.h"
#include "platform/regional.h"

namespace {

using namespace dorvane;

constexpr const char* kLog = "C:\\WINDOWS\\ModemLog.txt";

class OneLogFileSystem : public FileSystem {
 public:
  std::string log;
  bool readable = true;
  bool present = true;

  bool Exists(const std::string& path) const override { return present && path == kLog; }
  std::optional<std::string> ReadAll(const std::string& path) const override {
    if (!Exists(path) || !readable) return std::nullopt;
    return log;
  }
  bool Delete(const std::string& path) override {
    if (!Exists(path)) return false;
    present = false;
    return true;
  }
  std::optional<FileStamp> Stamp(const std::string& path) const override {
    if (!Exists(path)) return std::nullopt;
    return FileStamp{log.size(), 1};
  }
};

class QuietMessages : public MessageService {
 public:
  int information = 0;
  Answer Confirm(const std::string&, bool) override { return Answer::No; }
  void Information(const std::string&) override { ++information; }
  void Warning(const std::string&) override {}
  void ErrorMessage(const std::string&) override {}
  void Note(const std::string&) override {}
  void ShowError(const std::string&) override {}
};

// Memory-backed when the machine has it: every import ends in a flushed write.
const std::string& StorePath() {
  static const std::string path = [] {
    char shm[] = "/dev/shm/dorvane-fuzz-XXXXXX";
    char tmp[] = "/tmp/dorvane-fuzz-XXXXXX";
    const char* dir = ::mkdtemp(shm);
    if (dir == nullptr) dir = ::mkdtemp(tmp);
    return std::string(dir ? dir : "/tmp") + "/fuzz.DB";
  }();
  return path;
}

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the options, the rest is the log.
  const std::uint8_t options = data[0];
  RegionalSettings rs;
  if (options & 2) {
    rs.decimalSeparator = ",";
    rs.thousandSeparator = ".";
  }
  OneLogFileSystem fs;
  fs.log.assign(reinterpret_cast<const char*>(data + 1), size - 1);
  fs.readable = (options & 4) == 0;
  QuietMessages messages;

  ::unlink(StorePath().c_str());
  CallStore store(StorePath(), rs);
  ModemLogImport importer(store, fs, messages);
  bool failed = false;
  try {
    importer.ImportModemLog(kLog, (options & 1) != 0);
  } catch (const Error&) {
    failed = true;
  }
  Check(!store.InBatch());
  Check(messages.information == (fs.readable ? 0 : 1));
  // The log goes only after an import that read it and wrote everything.
  Check(fs.present == (failed || !fs.readable));

  // Every call line holds a start and an end that read back as numbers, each start once.
  const std::optional<std::string> text = RealFileSystem("").ReadAll(StorePath());
  if (text) {
    std::set<std::string> starts;
    ForEachCallLine(*text, [&](std::string_view start, std::string_view end) {
      double value = 0;
      Check(TryStrToFloat(rs, start, value));
      Check(TryStrToFloat(rs, end, value));
      Check(starts.emplace(start).second);
      return true;
    });
  }
  return 0;
}
