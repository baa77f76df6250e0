// The call in progress: when it was dialled (the pppd hook's note, or an open session in the
// classic modem log), what it has cost so far, the line that shows it, and the cost warning
// given once per call while it runs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/hooklog.h"
#include "platform/datetime.h"
#include "platform/linereader.h"
#include "platform/regional.h"
#include "reports/analysis.h"
#include "reports/warnings.h"

namespace dorvane {

// While a link is up, the pppd hook keeps a note of its dial beside the modem log
// (kHookDialNotePrefix, the interface, kHookDialNoteSuffix: ".ppp0.call"); it goes at ip-down.
inline constexpr std::string_view kCallNoteSuffix = kHookDialNoteSuffix;

// The start of the session the modem log leaves open: after its last "in use" line, a start
// line ("Dialing", "ATDT") with a valid stamp and no end ("NO CARRIER", "Hanging up") or
// "closed" line after it. The classic driver writes the start while the modem dials.
std::optional<TDateTime> OpenSessionStart(LineSource& lines);

// What the call would cost if it ended now: priced whole at the band in force at its start,
// so the figure steps each time a billing step begins. A clock set back before the start
// counts as no time online.
double RunningCallCost(const CallPricing& pricing, TDateTime start, TDateTime now);

struct CallInProgressFigures {
  TDateTime start = 0;
  TDateTime now = 0;
  double cost = 0;
  // This billing period's cost of stored calls, the call in progress included.
  double periodCost = 0;
};

// The one line that the status bar and the tray's tip show while a call is up.
std::string CallInProgressLine(const RegionalSettings& rs, const CallInProgressFigures& f);

// The monthly cost warning while a call runs: told at most once per call, when this period's
// cost with the call included lies above the threshold (the start-up warning's rule and text).
class RunningCostWarning {
 public:
  // The warning's text when it is due now; nothing when it is not, or was already given for
  // the call that started at `callStart`.
  std::optional<std::string> Check(const RegionalSettings& rs, const WarningSetting& monthly,
                                   TDateTime callStart, double periodCostWithCall);

 private:
  std::optional<TDateTime> warnedFor_;
};

}  // namespace dorvane
