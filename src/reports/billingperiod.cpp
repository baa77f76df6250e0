#include "reports/billingperiod.h"

namespace dorvane {

namespace {

TDateTime DayOf(TDateTime value) {
  const DateParts d = DecodeDate(value);
  return EncodeDate(d.year, d.month, d.day);
}

}  // namespace

bool BillingPeriod::Contains(TDateTime value) const {
  const TDateTime day = DayOf(value);
  return day >= first && day < next;
}

int BillingPeriod::DayNumber(TDateTime value) const {
  return static_cast<int>(DayOf(value) - first) + 1;
}

BillingPeriod BillingPeriodOf(TDateTime value, int firstDay) {
  firstDay = BillingFirstDay(firstDay);
  const DateParts d = DecodeDate(value);
  int year = d.year;
  int month = d.month;
  if (d.day < firstDay) {
    if (--month == 0) {
      month = 12;
      --year;
    }
  }
  BillingPeriod period;
  // A period before year 1 cannot be written; the first day of year 1 stands in for it.
  if (year < 1) {
    period.first = EncodeDate(1, 1, 1);
    period.next = EncodeDate(1, 1, firstDay);
    if (period.next <= period.first) period.next = EncodeDate(1, 2, firstDay);
    return period;
  }
  period.first = EncodeDate(year, month, firstDay);
  const int nextYear = month == 12 ? year + 1 : year;
  const int nextMonth = month == 12 ? 1 : month + 1;
  TDateTime next = 0;
  // The last period of year 9999 runs to the end of the calendar.
  period.next =
      TryEncodeDate(nextYear, nextMonth, firstDay, next) ? next : EncodeDate(9999, 12, 31) + 1;
  return period;
}

BillingPeriod PreviousBillingPeriod(const BillingPeriod& period, int firstDay) {
  return BillingPeriodOf(period.first - 1, firstDay);
}

double EstimatedPeriodCost(double periodCost, TDateTime today, int firstDay) {
  return periodCost * (31.0 / CurrentBillingPeriod(today, firstDay).DayNumber(today));
}

bool IsCurrentMonth(TDateTime value, TDateTime today) {
  const DateParts a = DecodeDate(value);
  const DateParts b = DecodeDate(today);
  return a.year == b.year && a.month == b.month;
}

CurrentMonthFilter::CurrentMonthFilter(TDateTime today, int billingFirstDay) : today_(today) {
  if (BillingFirstDay(billingFirstDay) > 1) {
    const BillingPeriod period = CurrentBillingPeriod(today, billingFirstDay);
    first_ = period.first;
    next_ = period.next;
    calendarMonth_ = false;
    return;
  }
  const DateParts d = DecodeDate(today);
  first_ = EncodeDate(d.year, d.month, 1);
  next_ = d.month == 12 ? EncodeDate(d.year + 1, 1, 1) : EncodeDate(d.year, d.month + 1, 1);
}

bool CurrentMonthFilter::operator()(TDateTime value) const {
  // A day's margin on either side leaves the rounding to the millisecond to DecodeDate, and the
  // bounds (the values DecodeDate takes) keep a value that is no date for it to refuse.
  constexpr TDateTime kDecodableRange[] = {-600000, 2900000};
  if ((value < first_ - 1 || value > next_ + 1) && value > kDecodableRange[0] &&
      value < kDecodableRange[1]) {
    return false;
  }
  if (!calendarMonth_) return BillingPeriod{first_, next_}.Contains(value);
  return IsCurrentMonth(value, today_);
}

}  // namespace dorvane
