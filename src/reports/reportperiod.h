// The report period: the two dates the pickers of the window, or dorvane-report's options, give
// the reports.
#pragma once

#include "platform/datetime.h"

namespace dorvane {

inline constexpr const char* kInvalidReportPeriod = "Invalid Report Period";

// The closed interval of the two period pickers, compared as full date-times.
struct ReportPeriod {
  TDateTime start = 0;
  TDateTime stop = 0;

  bool Valid() const { return stop >= start; }
  bool InReportPeriod(TDateTime value) const { return !(start > value) && value <= stop; }
};

// The period pickers as the window's design leaves them, before the call store is read: 30 July
// 1998, from 00:00:00 to 23:59:59. The store's first and last call replace only their dates.
inline constexpr ReportPeriod kDesignReportPeriod{36006.0, 36006.99998842592};

}  // namespace dorvane
