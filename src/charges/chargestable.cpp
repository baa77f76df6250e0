#include "charges/chargestable.h"

#include "platform/messages.h"

namespace dorvane {

namespace {

constexpr std::size_t kMaxToPartLength = 255;

}  // namespace

std::array<std::string, kChargeColumns> CostHeaderCaptions(const RegionalSettings& rs) {
  const std::string& c = rs.currencySymbol;
  return {"Days",
          "Time",
          "Start Cost [" + c + "]",
          c + " per Minute",
          "Minimum " + c,
          "Min period [minutes]"};
}

std::string DaysText(const RegionalSettings& rs, const DaySet& days) {
  std::string text;
  for (int day = 1; day <= 7; ++day) {
    if (!days[static_cast<std::size_t>(day)]) continue;
    if (!text.empty()) text += ", ";
    text += rs.shortDayNames[static_cast<std::size_t>(day - 1)];
  }
  return text;
}

std::string TimeWindowText(const RegionalSettings& rs, TDateTime from, TDateTime to) {
  return TimeToStr(rs, from) + " - " + TimeToStr(rs, to);
}

void WriteChargeBand(const RegionalSettings& rs, ChargeRow& row, bool isLastRow, const DaySet& days,
                     TDateTime from, TDateTime to, const std::array<std::string, 4>& numberTexts) {
  if (!isLastRow) row[0] = DaysText(rs, days);
  row[1] = TimeWindowText(rs, from, to);
  for (std::size_t i = 0; i < numberTexts.size(); ++i) row[i + 2] = numberTexts[i];
}

bool BandHasDay(const RegionalSettings& rs, int day, std::string_view daysCell) {
  if (day < 1 || day > 7) return false;
  const std::string& name = rs.shortDayNames[static_cast<std::size_t>(day - 1)];
  return !name.empty() && daysCell.find(name) != std::string_view::npos;
}

bool TimeWindow::Contains(int hour, int minute) const {
  const bool afterFrom = hour > fromHour || (hour == fromHour && minute >= fromMinute);
  const bool beforeTo = hour < toHour || (hour == toHour && minute <= toMinute);
  return afterFrom && beforeTo;
}

void SplitTimeCell(std::string_view timeCell, std::string_view& fromPart,
                   std::string_view& toPart) {
  const std::size_t hyphen = timeCell.find('-');
  fromPart = {};
  toPart = {};
  if (hyphen != std::string_view::npos) {
    // The blank before the hyphen and the one after it belong to neither part.
    fromPart = timeCell.substr(0, hyphen >= 1 ? hyphen - 1 : 0);
    if (hyphen + 2 <= timeCell.size()) toPart = timeCell.substr(hyphen + 2, kMaxToPartLength);
  }
}

TimeWindow ReadTimeWindow(const RegionalSettings& rs, std::string_view timeCell) {
  std::string_view fromPart;
  std::string_view toPart;
  SplitTimeCell(timeCell, fromPart, toPart);
  const TimeParts from = DecodeTime(StrToTime(rs, fromPart));
  const TimeParts to = DecodeTime(StrToTime(rs, toPart));
  return {from.hour, from.minute, to.hour, to.minute};
}

bool BandHasTime(const RegionalSettings& rs, int hour, int minute, std::string_view timeCell) {
  return ReadTimeWindow(rs, timeCell).Contains(hour, minute);
}

BandRates ReadChargeBand(const RegionalSettings& rs, const ChargeRow& row) {
  BandRates band;
  band.startCost = StrToFloat(rs, row[2]);
  band.minuteCost = StrToFloat(rs, row[3]);
  band.minimumCost = StrToFloat(rs, row[4]);
  band.minimumPeriod = StrToFloat(rs, row[5]);
  return band;
}

}  // namespace dorvane
