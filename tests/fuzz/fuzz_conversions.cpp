// Arbitrary text through the readers, arbitrary doubles through the writers, under a few
// settings: nothing may crash, and a number or time written by FloatToStr or TimeToStr must read
// back to a value that writes the same text (except for the few doubles next to the largest one,
// whose fifteen-digit text lies beyond the range of a double).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "platform/error.h"
#include "platform/regional.h"

namespace {

using dorvane::RegionalSettings;

RegionalSettings Settings(std::uint8_t which) {
  RegionalSettings rs;  // US English
  switch (which % 4) {
    case 1:  // German style
      rs.decimalSeparator = ",";
      rs.thousandSeparator = ".";
      rs.longTimeFormat = "hh:nn:ss";
      rs.shortDateFormat = "dd.mm.yyyy";
      rs.dateSeparator = ".";
      rs.timeAMString = "";
      rs.timePMString = "";
      break;
    case 2:  // time separator and decimal separator alike
      rs.timeSeparator = ".";
      rs.longTimeFormat = "hh:nn:ss";
      break;
    case 3:  // separators of more than one byte
      rs.decimalSeparator = "\xd9\xab";
      rs.timeSeparator = "\xe2\x88\xb6";
      rs.currencySymbol = "\xe2\x82\xac";
      rs.currencyFormat = 3;
      rs.negCurrFormat = 15;
      rs.currencyDecimals = 3;
      break;
    default:
      break;
  }
  return rs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const RegionalSettings rs = Settings(data[0]);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  double number = 0;
  if (dorvane::TryStrToFloat(rs, text, number)) {
    CHECK(std::isfinite(number));
    const std::string written = dorvane::FloatToStr(rs, number);
    double back = 0;
    CHECK(dorvane::TryStrToFloat(rs, written, back));
    CHECK(dorvane::FloatToStr(rs, back) == written);
    dorvane::MoneyToStr(rs, number);
  }
  int integer = 0;
  dorvane::TryStrToInt(text, integer);
  dorvane::TDateTime time = 0;
  if (dorvane::TryStrToTime(rs, text, time)) {
    CHECK(time >= 0 && time < 1);
    // The time as written reads back, to the same text.
    const std::string written = dorvane::TimeToStr(rs, time);
    dorvane::TDateTime back = 0;
    CHECK(dorvane::TryStrToTime(rs, written, back));
    CHECK(dorvane::TimeToStr(rs, back) == written);
  }
  try {
    dorvane::StrToFloat(rs, text);
  } catch (const dorvane::ConvertError&) {
  }

  // The same bytes as a double and as a pattern.
  if (size >= 9) {
    double value = 0;
    std::memcpy(&value, data + 1, sizeof value);
    const std::string_view pattern = text.substr(8, 64);
    try {
      const std::string written = dorvane::FloatToStr(rs, value);
      // The text of the very largest doubles rounds up past the largest double and is refused.
      if (std::isfinite(value) && std::fabs(value) < 1.797693134862315e308) {
        CHECK(dorvane::TryStrToFloat(rs, written, number));
        CHECK(dorvane::FloatToStr(rs, number) == written);
      }
      dorvane::MoneyToStr(rs, value);
      dorvane::DurationToStr(rs, value);
      dorvane::FormatDateTime(rs, pattern, value);
      dorvane::DateTimeToStr(rs, value);
    } catch (const dorvane::Error&) {
      // Values that are no date, or no number, are refused with a message.
    }
  }
  return 0;
}
