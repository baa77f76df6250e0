// Call pricing: a call's duration in minutes, the billing step of a band, and the price of a
// duration at a band. Money is a plain double in the user's currency, never rounded here.
#pragma once

#include "platform/datetime.h"

namespace dorvane {

// Elapsed minutes from start to end: rounded to the millisecond, then hours, minutes and seconds
// (seconds as sixtieths); the milliseconds are dropped. A call of a day or more keeps its whole
// days (24 hours count 1440 minutes). A negative span (an end before its start) is 0 minutes.
double CallDuration(TDateTime start, TDateTime end);

// The time a call lasted, in days: end - start, and no time at all for an end before its start
// (only a store edited by hand holds one), as CallDuration counts it.
TDateTime CallSpan(TDateTime start, TDateTime end);

// The duration rounded up to a whole multiple of the period; a period of 0 or less, or a
// duration that is already an exact multiple, bills the duration itself.
double RoundUpToPeriod(double duration, double period);

// A call with its three prices: the one record of a priced call that the pricing hands out and
// the reports, the charts and dorvane-report's forms take in.
struct PricedCall {
  TDateTime start = 0;
  TDateTime end = 0;
  double cost = 0;     // at the band in force at its start
  double lowest = 0;   // at the cheapest band of the table
  double highest = 0;  // at the dearest band
};

// The three prices of a call; the charges table supplies them.
class CallPricing {
 public:
  virtual ~CallPricing() = default;
  virtual double CallCost(TDateTime start, TDateTime end) const = 0;
  // The call with all three: at the band in force, the cheapest and the dearest band.
  virtual PricedCall Prices(TDateTime start, TDateTime end) const = 0;
};

// A band's four numbers as its cells hold them.
struct BandRates {
  double startCost = 0;
  double minuteCost = 0;
  double minimumCost = 0;
  double minimumPeriod = 0;
};

// Billed minutes at the band's cost per minute plus its start cost, raised to its minimum cost.
double BandPrice(const BandRates& band, double duration);

}  // namespace dorvane
