#include "charges/bandedit.h"

#include <algorithm>
#include <string_view>

#include "platform/ascii.h"
#include "platform/datetime.h"
#include "platform/formatpattern.h"
#include "platform/messages.h"

namespace dorvane {

namespace {

// Literal text in a picker format: quoted when it holds a letter the picker would read as a field.
void AppendPickerLiteral(std::string& out, std::string& literal) {
  if (literal.empty()) return;
  bool letters = literal.find('\'') != std::string::npos;
  for (char c : literal) letters = letters || (AsciiUpper(c) >= 'A' && AsciiUpper(c) <= 'Z');
  if (letters) {
    out += '\'';
    for (char c : literal) {
      out += c;
      if (c == '\'') out += c;
    }
    out += '\'';
  } else {
    out += literal;
  }
  literal.clear();
}

void TranslateTimePattern(const RegionalSettings& rs, std::string_view pattern, std::string& out,
                          std::string& literal, int depth) {
  if (depth > 2) return;
  auto field = [&](const char* text) {
    AppendPickerLiteral(out, literal);
    out += text;
  };
  ForEachFormatElement(pattern, [&](const FormatElement& e) {
    const bool two = e.count >= 2;
    switch (e.kind) {
      case FormatElement::Kind::Text:
        literal += e.text;
        break;
      case FormatElement::Kind::Hour:
        field(two ? "hh" : "h");
        break;
      case FormatElement::Kind::Minute:
        field(two ? "mm" : "m");
        break;
      case FormatElement::Kind::Second:
        field(two ? "ss" : "s");
        break;
      case FormatElement::Kind::Millisecond:
        field(two ? "zzz" : "z");
        break;
      case FormatElement::Kind::Time:
        TranslateTimePattern(rs, two ? rs.longTimeFormat : rs.shortTimeFormat, out, literal,
                             depth + 1);
        break;
      case FormatElement::Kind::AmPm:
        if (HasAmPmDesignators(rs)) field("AP");
        break;
      case FormatElement::Kind::AmPmLetters:
        field(e.text.front() == 'a' ? "ap" : "AP");
        break;
      case FormatElement::Kind::TimeSeparator:
        literal += rs.timeSeparator;
        break;
      case FormatElement::Kind::DateSeparator:
        literal += rs.dateSeparator;
        break;
      case FormatElement::Kind::Day:  // a date has no place in a time picker
      case FormatElement::Kind::Month:
      case FormatElement::Kind::Year:
      case FormatElement::Kind::DateAndTime:
        break;
    }
  });
}

}  // namespace

std::string TimePickerFormat(const RegionalSettings& rs) {
  std::string out;
  std::string literal;
  TranslateTimePattern(rs, rs.longTimeFormat, out, literal, 0);
  // Blanks left at the end (before a designator that writes nothing) show as nothing.
  while (!literal.empty() && literal.back() == ' ') literal.pop_back();
  AppendPickerLiteral(out, literal);
  return out;
}

void ResetCostEditor(BandEditorValues& v) {
  v.days.fill(true);
  v.days[0] = false;
  v.from = 0;
  v.to = 0.99999;
  for (std::size_t i = 0; i < 3; ++i) v.numbers[i].assign(1, '0');
}

void BandToEditor(const RegionalSettings& rs, const ChargeRow& row, BandEditorValues& v) {
  // Convert first: a Time cell that is no time leaves the editor as it was.
  TDateTime from = 0;
  TDateTime to = 0;
  if (!row[1].empty()) {
    std::string_view fromPart;
    std::string_view toPart;
    SplitTimeCell(row[1], fromPart, toPart);
    from = StrToTime(rs, fromPart);
    to = StrToTime(rs, toPart);
  }
  if (row[0] == kCatchAllBandText) {
    v.locked = true;
  } else {
    v.locked = false;
    for (int day = 1; day <= 7; ++day) {
      v.days[static_cast<std::size_t>(day)] = BandHasDay(rs, day, row[0]);
    }
  }
  if (!row[1].empty()) {
    v.from = from;
    v.to = to;
  }
  for (std::size_t i = 0; i < 4; ++i) {
    if (!row[i + 2].empty()) v.numbers[i] = row[i + 2];
  }
}

bool EditorTimesInOrder(const RegionalSettings& rs, const BandEditorValues& v) {
  for (const std::string& text : v.numbers) StrToFloat(rs, text);
  // Only the time of day counts; the pickers' dates play no part.
  const TimeParts from = DecodeTime(v.from);
  const TimeParts to = DecodeTime(v.to);
  const auto key = [](const TimeParts& t) {
    return ((t.hour * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond;
  };
  return key(to) >= key(from);
}

void InsertBandAtTop(const RegionalSettings& rs, ChargeRows& rows, const BandEditorValues& v) {
  rows.insert(rows.begin(), ChargeRow{});
  WriteBandFromEditor(rs, rows, 0, v);
}

void WriteBandFromEditor(const RegionalSettings& rs, ChargeRows& rows, std::size_t index,
                         const BandEditorValues& v) {
  WriteChargeBand(rs, rows.at(index), index + 1 == rows.size(), v.days, v.from, v.to, v.numbers);
}

std::size_t DeleteBand(ChargeRows& rows, std::size_t index) {
  if (index + 1 == rows.size()) {
    for (std::size_t c = 2; c <= 4; ++c) rows[index][c].assign(1, '0');
  } else if (index < rows.size()) {
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(index));
  }
  return rows.empty() ? 0 : std::min(index, rows.size() - 1);
}

}  // namespace dorvane
