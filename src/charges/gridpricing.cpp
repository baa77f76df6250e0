#include "charges/gridpricing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

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

constexpr int kMinutesPerDay = 24 * 60;
// A table of more billing periods than this is priced row by row.
constexpr std::size_t kMaxPeriods = 16;
// A table of more rows than this prices every row for the cheapest and the dearest.
constexpr std::size_t kMaxComparedRows = 64;

// The minutes of the day (0 to 1439) that TimeWindow::Contains holds, as one span: for hours
// 0..23 and minutes 0..59, (hour, minute) compares as hour * 60 + minute does, and a limit's
// minute outside 0..59 only moves the span to that hour's start or end. Empty when to < from.
std::pair<int, int> MinutesOf(const TimeWindow& w) {
  const std::int64_t from = std::int64_t{w.fromHour} * 60 + std::clamp(w.fromMinute, 0, 60);
  const std::int64_t to = std::int64_t{w.toHour} * 60 + std::clamp(w.toMinute, -1, 59);
  return {static_cast<int>(std::clamp<std::int64_t>(from, 0, kMinutesPerDay)),
          static_cast<int>(std::clamp<std::int64_t>(to, -1, kMinutesPerDay - 1))};
}

// True when band `a` costs at most what band `b` costs at every duration: the same billed
// minutes, and no rate above b's. Rounding keeps that order: billed minutes are never negative,
// so each operation of BilledPrice is monotonic in each rate.
bool NeverDearer(const BandRates& a, const BandRates& b) {
  return a.startCost <= b.startCost && a.minuteCost <= b.minuteCost &&
         a.minimumCost <= b.minimumCost;
}

bool SameRates(const BandRates& a, const BandRates& b) {
  return a.startCost == b.startCost && a.minuteCost == b.minuteCost &&
         a.minimumCost == b.minimumCost;
}

// A rate that a price can carry through unchanged as the lowest or the highest: finite, and no
// negative zero (so that two equal prices are the same bits, whichever band gave them).
bool PlainRate(double rate) {
  return std::isfinite(rate) && !(rate == 0 && std::signbit(rate));
}

}  // namespace

struct GridPricing::Prepared {
  // A row's rates and the index of its billing period in `periods`.
  struct Band {
    BandRates rates;
    std::size_t period = 0;
  };
  std::vector<Band> bands;  // by row
  // The distinct billing periods; every period of 0 or less bills the duration itself, as 0.
  std::vector<double> periods;
  // The rows that can give the cheapest and the dearest price: a row whose price never falls
  // below another's (the same period, no rate lower; of equal rows the first stays) cannot
  // lower the cheapest price, and the same the other way round for the dearest.
  std::vector<Band> cheapest;
  std::vector<Band> dearest;
  // The row in force for weekday 1..7 at each minute of the day: index (day - 1) * 1440 + minute.
  std::vector<std::uint32_t> bandAt;

  std::size_t Row(int day, const TimeParts& time) const {
    if (day < 1 || day > 7) return bands.size() - 1;
    return bandAt[static_cast<std::size_t>((day - 1) * kMinutesPerDay + time.hour * 60 +
                                           time.minute)];
  }
};

GridPricing::~GridPricing() = default;

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

const GridPricing::Prepared* GridPricing::Prepare() const {
  preparedTried_ = true;
  auto p = std::make_unique<Prepared>();
  const std::size_t rows = rows_.size();
  try {
    for (std::size_t row = 0; row < rows; ++row) {
      const BandRates& r = RatesOf(row);
      if (!PlainRate(r.startCost) || !PlainRate(r.minuteCost) || !PlainRate(r.minimumCost)) {
        return nullptr;
      }
      const double period = r.minimumPeriod > 0 ? r.minimumPeriod : 0;
      std::size_t index = 0;
      while (index < p->periods.size() && p->periods[index] != period) ++index;
      if (index == p->periods.size()) {
        if (index == kMaxPeriods) return nullptr;
        p->periods.push_back(period);
      }
      p->bands.push_back(Prepared::Band{r, index});
    }
    p->bandAt.assign(7 * kMinutesPerDay, static_cast<std::uint32_t>(rows - 1));
    std::vector<int> nextFree(kMinutesPerDay + 1);
    for (int day = 1; day <= 7; ++day) {
      // From the first row down, each minute goes to the first row that holds it; `nextFree`
      // skips the minutes already given, so each is given once however many rows overlap.
      for (int minute = 0; minute <= kMinutesPerDay; ++minute) nextFree[minute] = minute;
      const auto firstFree = [&](int minute) {
        int free = minute;
        while (nextFree[free] != free) free = nextFree[free];
        while (nextFree[minute] != free) minute = std::exchange(nextFree[minute], free);
        return free;
      };
      for (std::size_t row = 0; row + 1 < rows && firstFree(0) < kMinutesPerDay; ++row) {
        if (!HasDay(row, day)) continue;
        const auto [from, to] = MinutesOf(WindowOf(row));
        for (int minute = firstFree(from); minute <= to; minute = firstFree(minute + 1)) {
          p->bandAt[static_cast<std::size_t>((day - 1) * kMinutesPerDay + minute)] =
              static_cast<std::uint32_t>(row);
          nextFree[minute] = minute + 1;
        }
      }
    }
  } catch (const ConvertError&) {
    return nullptr;  // the conversion keeps its message for the price that needs the cell
  }
  // Each pair of rows is compared; a long table keeps every row as a candidate instead.
  const bool prune = rows <= kMaxComparedRows;
  for (std::size_t b = 0; b < rows; ++b) {
    bool cheapestDropped = false;
    bool dearestDropped = false;
    for (std::size_t a = 0; prune && a < rows; ++a) {
      if (a == b || p->bands[a].period != p->bands[b].period) continue;
      const BandRates& ra = p->bands[a].rates;
      const BandRates& rb = p->bands[b].rates;
      const bool earlierOrDifferent = a < b || !SameRates(ra, rb);
      if (earlierOrDifferent && NeverDearer(ra, rb)) cheapestDropped = true;
      if (earlierOrDifferent && NeverDearer(rb, ra)) dearestDropped = true;
    }
    if (!cheapestDropped) p->cheapest.push_back(p->bands[b]);
    if (!dearestDropped) p->dearest.push_back(p->bands[b]);
  }
  prepared_ = std::move(p);
  return prepared_.get();
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
  if (const Prepared* p = Ready()) {
    return BandPrice(p->bands[p->Row(day, time)].rates, CallDuration(start, end));
  }
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
  if (const Prepared* p = Ready()) {
    // Each period's billed minutes once; each price as BandPrice forms it from them.
    std::array<double, kMaxPeriods> billed;
    for (std::size_t i = 0; i < p->periods.size(); ++i) {
      billed[i] = RoundUpToPeriod(duration, p->periods[i]);
    }
    const auto price = [&](const Prepared::Band& band) {
      return BilledPrice(band.rates, billed[band.period]);
    };
    prices.cost = price(p->bands[p->Row(day, time)]);
    prices.lowest = 1E20;
    prices.highest = 0;
    for (const Prepared::Band& band : p->cheapest) {
      const double value = price(band);
      if (value < prices.lowest) prices.lowest = value;
    }
    for (const Prepared::Band& band : p->dearest) {
      const double value = price(band);
      if (value > prices.highest) prices.highest = value;
    }
    return prices;
  }
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
