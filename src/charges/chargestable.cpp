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

const std::string& BandDayName(const RegionalSettings& rs, int day) {
  const auto index = static_cast<std::size_t>(day - 1);
  for (std::size_t other = 0; other < 7; ++other) {
    if (other != index && rs.shortDayNames[other] == rs.shortDayNames[index]) {
      return rs.longDayNames[index];
    }
  }
  return rs.shortDayNames[index];
}

std::string DaysText(const RegionalSettings& rs, const DaySet& days) {
  std::string text;
  for (int day = 1; day <= 7; ++day) {
    if (!days[static_cast<std::size_t>(day)]) continue;
    if (!text.empty()) text += ", ";
    text += BandDayName(rs, day);
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
  const std::string& abbreviation = rs.shortDayNames[static_cast<std::size_t>(day - 1)];
  const std::string& name = BandDayName(rs, day);
  const bool abbreviationFound =
      !abbreviation.empty() && daysCell.find(abbreviation) != std::string_view::npos;
  if (!abbreviationFound && (name.empty() || daysCell.find(name) == std::string_view::npos)) {
    return false;
  }
  // A cell that lists day names, as DaysText writes it, names exactly its items: one day's
  // abbreviation may lie inside another's.
  std::array<const std::string*, 7> names{};
  for (int d = 1; d <= 7; ++d) names[static_cast<std::size_t>(d - 1)] = &BandDayName(rs, d);
  bool listed = false;
  bool list = true;
  for (std::size_t from = 0; list && from <= daysCell.size();) {
    auto to = daysCell.find(", ", from);
    if (to == std::string_view::npos) to = daysCell.size();
    const std::string_view item = daysCell.substr(from, to - from);
    list = false;
    for (const std::string* other : names) list = list || item == *other;
    listed = listed || item == name;
    from = to + 2;
  }
  // Any other text, typed by hand: the abbreviation anywhere in it.
  return list ? listed : abbreviationFound;
}

bool TimeWindow::Contains(int hour, int minute) const {
  const bool afterFrom = hour > fromHour || (hour == fromHour && minute >= fromMinute);
  const bool beforeTo = hour < toHour || (hour == toHour && minute <= toMinute);
  return afterFrom && beforeTo;
}

void SplitTimeCell(std::string_view timeCell, std::string_view& fromPart,
                   std::string_view& toPart) {
  fromPart = {};
  toPart = {};
  // Blank, hyphen, blank joins the two times the program writes; a designator may hold a
  // hyphen of its own. A cell typed without that joint is split at its first hyphen.
  if (const std::size_t joint = timeCell.find(" - "); joint != std::string_view::npos) {
    fromPart = timeCell.substr(0, joint);
    toPart = timeCell.substr(joint + 3, kMaxToPartLength);
    return;
  }
  const std::size_t hyphen = timeCell.find('-');
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
