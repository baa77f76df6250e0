// The clock seam: the current local date and time.
#pragma once

#include "platform/datetime.h"

namespace dorvane {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual TDateTime Now() const = 0;
};

class SystemClock : public Clock {
 public:
  TDateTime Now() const override;
};

// One moment for the whole run: a date given on the command line, or a test's "today".
class FixedClock : public Clock {
 public:
  explicit FixedClock(TDateTime now) : now_(now) {}
  TDateTime Now() const override { return now_; }

 private:
  TDateTime now_;
};

}  // namespace dorvane
