#include "reports/storescan.h"

#include <algorithm>

#include "capture/storeformat.h"
#include "platform/rounding.h"

namespace dorvane {

int ScanProgress(std::uint64_t charactersRead, std::uint64_t fileSize) {
  const std::uint64_t units = std::max<std::uint64_t>(fileSize / 128, 1);
  const std::int64_t position =
      Round(static_cast<double>(charactersRead) / static_cast<double>(units));
  return static_cast<int>(std::min<std::int64_t>(position, 100));
}

void ScanCallStore(LineSource& lines, const RegionalSettings& rs,
                   const std::function<void(TDateTime start, TDateTime end)>& onCall,
                   const std::function<void(int position)>& onProgress,
                   std::string_view storePath) {
  const std::uint64_t size = lines.Size();
  const std::uint64_t units = std::max<std::uint64_t>(size / 128, 1);
  std::uint64_t charactersRead = 0;
  int shown = -1;
  // The position can change only once the characters reach the next half unit; below that the
  // division and its rounding are skipped.
  std::uint64_t nextHalf = 0;
  ReadStoreCalls(
      lines, rs, storePath, true, [&](const StoreCall& call) { onCall(call.start, call.end); },
      [&](std::string_view line) {
        charactersRead += line.size();
        if (2 * charactersRead < nextHalf) return;
        const int position = ScanProgress(charactersRead, size);
        if (position != shown) {
          shown = position;
          onProgress(position);
        }
        nextHalf =
            position >= 100 ? UINT64_MAX : (2 * static_cast<std::uint64_t>(position) + 1) * units;
      });
}

}  // namespace dorvane
