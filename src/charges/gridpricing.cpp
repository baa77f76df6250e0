#include "charges/gridpricing.h"

#include "platform/error.h"

namespace dorvane {

namespace {

template <typename T, typename F>
const T& Once(std::optional<T>& value, std::string& error, bool& done, F&& convert) {
  if (!done) {
    done = true;
    try {
      value = convert();
    } catch (const ConvertError& e) {
      error = e.what();
    }
  }
  if (!value) throw ConvertError(error);
  return *value;
}

}  // namespace

GridPricing::GridPricing(const RegionalSettings& rs, const ChargeRows& rows)
    : rs_(rs), rows_(rows), windows_(rows.size()), rates_(rows.size()), days_(rows.size()) {
  for (auto& days : days_) days.fill(-1);
  if (rows.empty()) throw Error("The charges table holds no charge band");
}

const TimeWindow& GridPricing::WindowOf(std::size_t row) const {
  auto& p = windows_[row];
  return Once(p.value, p.error, p.done, [&] { return ReadTimeWindow(rs_, rows_[row][1]); });
}

const BandRates& GridPricing::RatesOf(std::size_t row) const {
  auto& p = rates_[row];
  return Once(p.value, p.error, p.done, [&] { return ReadChargeBand(rs_, rows_[row]); });
}

bool GridPricing::HasDay(std::size_t row, int day) const {
  if (day < 1 || day > 7) return false;
  signed char& known = days_[row][static_cast<std::size_t>(day)];
  if (known < 0) known = BandHasDay(rs_, day, rows_[row][0]) ? 1 : 0;
  return known == 1;
}

BandRates GridPricing::FindChargeBand(int day, int hour, int minute) const {
  const std::size_t last = rows_.size() - 1;
  for (std::size_t row = 0; row < last; ++row) {
    if (HasDay(row, day) && WindowOf(row).Contains(hour, minute)) {
      return RatesOf(row);
    }
  }
  return RatesOf(last);
}

double GridPricing::CallCost(TDateTime start, TDateTime end) const {
  return CallCostOn(DayOfWeek(RoundToMillisecond(start)), start, end);
}

double GridPricing::CallCostOn(int day, TDateTime start, TDateTime end) const {
  const TimeParts time = DecodeTime(RoundToMillisecond(start));
  const BandRates band = FindChargeBand(day, time.hour, time.minute);
  return BandPrice(band, CallDuration(start, end));
}

PricedCall GridPricing::Prices(TDateTime start, TDateTime end) const {
  return PricesOn(DayOfWeek(RoundToMillisecond(start)), start, end);
}

PricedCall GridPricing::PricesOn(int day, TDateTime start, TDateTime end) const {
  const double duration = CallDuration(start, end);
  const TimeParts time = DecodeTime(RoundToMillisecond(start));
  PricedCall prices{.start = start, .end = end};
  prices.cost = BandPrice(FindChargeBand(day, time.hour, time.minute), duration);
  prices.lowest = 1E20;
  prices.highest = 0;
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    const double price = BandPrice(RatesOf(row), duration);
    if (price < prices.lowest) prices.lowest = price;
    if (price > prices.highest) prices.highest = price;
  }
  return prices;
}

}  // namespace dorvane
