// Arbitrary bytes as a call store: the line grammar and the report period must hold up, and
// only a conversion error may come out.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "capture/callstore.h"
#include "fuzz/fuzz_support.h"
#include "platform/ascii.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/regional.h"
#include "support/memoryfiles.h"

namespace {

using namespace dorvane;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  RegionalSettings point;
  RegionalSettings comma;
  comma.decimalSeparator = ",";
  comma.thousandSeparator = ".";

  std::size_t calls = 0;
  std::optional<double> firstStart;
  bool allConvert = true;
  std::string_view start;
  std::string_view end;
  for (const std::string_view line : SplitLines(text)) {
    if (!ParseCallLine(line, start, end)) continue;
    CHECK(start.find('=') == std::string_view::npos);
    CHECK(end.size() <= 255);
    CHECK(!HasLineBreak(start) && !HasLineBreak(end));
    // Both texts lie inside the store text.
    CHECK(start.empty() || (start.data() >= text.data() &&
                            start.data() + start.size() <= text.data() + text.size()));
    CHECK(end.empty() ||
          (end.data() >= text.data() && end.data() + end.size() <= text.data() + text.size()));
    double value = 0;
    // Either separator reads: a store number has no thousands separator; a date it must be.
    const bool converts = TryStoreDateTime(point, start, value);
    if (calls == 0 && converts) firstStart = value;
    allConvert = allConvert && converts;
    TryStrToFloat(comma, end, value);
    ++calls;
  }

  testing::MemoryFileSystem fs;
  fs.Put("store.DB", text);
  int starts = 0;
  int stops = 0;
  std::optional<double> startSet;
  bool failed = false;
  try {
    InitReportPeriod(
        fs, "store.DB", point,
        [&](TDateTime v) {
          ++starts;
          startSet = v;
        },
        [&](TDateTime) { ++stops; });
  } catch (const Error&) {
    failed = true;
  }
  CHECK(starts <= 1 && stops <= 1);
  CHECK(failed != allConvert);
  CHECK(stops == (failed || calls == 0 ? 0 : 1));
  CHECK(starts == (calls > 0 && firstStart ? 1 : 0));
  if (startSet) CHECK(*startSet == *firstStart || std::isnan(*startSet));
  return 0;
}
