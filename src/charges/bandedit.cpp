#include "charges/bandedit.h"

#include "platform/datetime.h"
#include "platform/messages.h"

namespace dorvane {

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

void DeleteBand(ChargeRows& rows, std::size_t index) {
  if (index >= rows.size()) return;
  if (index + 1 == rows.size()) {
    for (std::size_t c = 2; c <= 4; ++c) rows[index][c].assign(1, '0');
    return;
  }
  rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace dorvane
