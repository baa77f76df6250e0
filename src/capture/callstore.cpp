#include "capture/callstore.h"

#include <utility>

#include "platform/error.h"
#include "platform/files.h"

namespace dorvane {

// ---------------------------------------------------------------------------------------------
// CallStore

CallStore::CallStore(std::string path, const RegionalSettings& rs)
    : path_(std::move(path)), rs_(rs) {}

void DeleteAllCalls(FileSystem& files, const std::string& storePath) {
  FileLock lock(storePath);
  files.Delete(storePath);
}

// ---------------------------------------------------------------------------------------------
// Report period

void InitReportPeriod(const FileSystem& fs, const std::string& storePath,
                      const RegionalSettings& rs,
                      const std::function<void(TDateTime)>& setStartDate,
                      const std::function<void(TDateTime)>& setStopDate) {
  if (!fs.Exists(storePath)) return;
  const std::unique_ptr<LineSource> lines = fs.OpenLines(storePath);
  if (!lines) return;
  InitReportPeriod(*lines, storePath, rs, setStartDate, setStopDate);
}

void InitReportPeriod(LineSource& lines, const std::string& storePath, const RegionalSettings& rs,
                      const std::function<void(TDateTime)>& setStartDate,
                      const std::function<void(TDateTime)>& setStopDate) {
  bool first = true;
  std::optional<TDateTime> last;
  ReadStoreCalls(
      lines, rs, storePath, false,
      [&](const StoreCall& call) {
        if (first) {
          setStartDate(call.start);
          first = false;
        }
        last = call.start;
      },
      [](std::string_view) {});
  // A store that could not be read to its end has no known last call: the stop date stays, as
  // it does for a store that cannot be opened at all.
  if (last && !lines.Failed()) setStopDate(*last);
}

}  // namespace dorvane
