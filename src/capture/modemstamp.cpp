#include "capture/modemstamp.h"

#include <array>

#include "platform/ascii.h"
#include "platform/plaintext.h"
#include "platform/regional.h"

namespace dorvane {

namespace {

// The stamp's fields in column order, each where it stands in kModemStampShape.
struct Field {
  std::size_t offset;
  std::size_t width;
};
constexpr std::array<Field, 7> kFields = {
    {{0, 2}, {3, 2}, {6, 4}, {11, 2}, {14, 2}, {17, 2}, {20, 2}}};

constexpr bool FieldsMatchTheShape() {
  std::size_t digits = 0;
  for (const Field& f : kFields) {
    for (std::size_t i = f.offset; i < f.offset + f.width; ++i) {
      if (kModemStampShape[i] != '0') return false;
    }
    digits += f.width;
  }
  std::size_t shapeDigits = 0;
  for (char c : kModemStampShape) shapeDigits += c == '0' ? 1 : 0;
  return digits == shapeDigits;
}
static_assert(FieldsMatchTheShape());

// The fields of a stamp in column order: month, day, year, hour, minute, second, hundredths.
std::array<int*, 7> Parts(ModemStamp& s) {
  return {&s.date.month,  &s.date.day,    &s.date.year,       &s.time.hour,
          &s.time.minute, &s.time.second, &s.time.millisecond};
}

// A field by its columns. A line that stops inside or before the field yields what is there
// (possibly nothing), which then fails to convert.
std::string_view FieldText(std::string_view line, const Field& field) {
  if (field.offset >= line.size()) return {};
  return line.substr(field.offset, field.width);
}

}  // namespace

ModemStamp ReadModemStamp(std::string_view line) {
  // Every field is converted before anything is encoded, in column order: a line that is no
  // time stamp at all is reported by its first field, whatever its date would have been.
  ModemStamp stamp;
  const std::array<int*, 7> parts = Parts(stamp);
  for (std::size_t i = 0; i < kFields.size(); ++i)
    *parts[i] = StrToInt(FieldText(line, kFields[i]));
  return stamp;
}

std::string ModemStampText(const ModemStamp& stamp) {
  ModemStamp copy = stamp;
  const std::array<int*, 7> parts = Parts(copy);
  std::string text;
  std::size_t at = 0;
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    const Field& f = kFields[i];
    text.append(kModemStampShape.substr(at, f.offset - at));  // the separators before it
    // A value too wide for its columns (a year after 9999) is written whole, as printf would.
    AppendFixedDigits(text, *parts[i], static_cast<int>(f.width));
    at = f.offset + f.width;
  }
  text.append(kModemStampShape.substr(at));
  return text;
}

TDateTime ModemStampDateTime(const ModemStamp& stamp) {
  const DateParts& d = stamp.date;
  const TimeParts& t = stamp.time;
  return EncodeDate(d.year, d.month, d.day) + EncodeTime(t.hour, t.minute, t.second, t.millisecond);
}

TDateTime LogLineToDateTime(std::string_view line) {
  return ModemStampDateTime(ReadModemStamp(line));
}

bool IsModemTimeStamp(std::string_view line) {
  if (line.size() < kModemStampShape.size()) return false;
  for (std::size_t i = 0; i < kModemStampShape.size(); ++i) {
    const bool digit = IsDigit(line[i]);
    if (kModemStampShape[i] == '0' ? !digit : line[i] != kModemStampShape[i]) return false;
  }
  // Every field is digits now, so none fails to convert.
  const ModemStamp stamp = ReadModemStamp(line);
  const DateParts& d = stamp.date;
  const TimeParts& t = stamp.time;
  TDateTime unused = 0;
  return TryEncodeDate(d.year, d.month, d.day, unused) &&
         TryEncodeTime(t.hour, t.minute, t.second, t.millisecond, unused);
}

}  // namespace dorvane
