// Prices calls against a snapshot of the charges table: the band in force at a call's start, and
// the cheapest and the dearest band of the whole table.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charges/chargerow.h"
#include "charges/chargestable.h"
#include "charges/pricing.h"

namespace dorvane {

// The price of minutes already rounded up to the band's period: BandPrice without its rounding.
// Every price, row by row or through a table's prepared bands, is formed here.
inline double BilledPrice(const BandRates& band, double billed) {
  const double price = billed * band.minuteCost + band.startCost;
  return price < band.minimumCost ? band.minimumCost : price;
}

class GridPricing : public CallPricing {
 public:
  // The rows and settings must outlive the pricing. Each cell is converted once, when first
  // needed; a cell that is no number or no time fails every price that needs it, with the
  // conversion's message, as converting it afresh would.
  GridPricing(const RegionalSettings& rs, const ChargeRows& rows);
  ~GridPricing() override;

  // The first band from the top whose days and time window match, the catch-all band (the last
  // row) when none does. The day is tested first; a row's time window is read only when its day
  // matches.
  BandRates FindChargeBand(int day, int hour, int minute) const;

  double CallCost(TDateTime start, TDateTime end) const override;
  // One duration and one pass over the bands for the cheapest and the dearest price.
  PricedCall Prices(TDateTime start, TDateTime end) const override;
  // The same, with the band looked up for the weekday `day` (1 = Sunday ... 7 = Saturday)
  // instead of the start's own: a holiday is priced as another weekday.
  double CallCostOn(int day, TDateTime start, TDateTime end) const;
  PricedCall PricesOn(int day, TDateTime start, TDateTime end) const;

 private:
  template <typename T>
  struct Parsed {
    std::optional<T> value;
    std::string error;  // the conversion's message when it failed
    bool done = false;
  };

  // What pricing needs of the table, worked out on the first price when every cell a price can
  // need converts: the row in force at each minute of each weekday, each row's rates and billing
  // period, and the rows that can be the cheapest or the dearest at some duration.
  struct Prepared;
  // Nothing when a cell does not convert, a rate is no finite number or a negative zero, or the
  // table has more billing periods than a prepared price holds: then every price goes through
  // the rows one by one, and fails as they fail.
  const Prepared* Ready() const { return preparedTried_ ? prepared_.get() : Prepare(); }
  const Prepared* Prepare() const;

  const TimeWindow& WindowOf(std::size_t row) const;
  const BandRates& RatesOf(std::size_t row) const;
  // BandHasDay of the row's Days cell, looked at once per row and day.
  bool HasDay(std::size_t row, int day) const;

  const RegionalSettings& rs_;
  const ChargeRows& rows_;
  mutable std::vector<Parsed<TimeWindow>> windows_;
  mutable std::vector<Parsed<BandRates>> rates_;
  mutable std::vector<std::array<signed char, 8>> days_;  // -1 not yet looked at, else 0 or 1
  mutable std::unique_ptr<const Prepared> prepared_;
  mutable bool preparedTried_ = false;
};

}  // namespace dorvane
