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

}  // namespace dorvane
