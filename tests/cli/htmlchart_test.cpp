// The html page's chart: months without calls among the bars, a long period still readable,
// every amount within the picture.
#include "cli/htmlchart.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "platform/datetime.h"

namespace dorvane {
namespace {

std::vector<CostBucket> Months(int count, double cost) {
  MonthlyCosts costs;
  for (int m = 0; m < count; m += 5) {
    const TDateTime start = EncodeDate(1990 + m / 12, m % 12 + 1, 1);
    costs.Add(PricedCall{.start = start, .end = start, .cost = cost, .lowest = 0, .highest = cost});
  }
  // The last month too, so that the period spans `count` months.
  const TDateTime last = EncodeDate(1990 + (count - 1) / 12, (count - 1) % 12 + 1, 1);
  costs.Add(PricedCall{.start = last, .end = last, .cost = cost, .lowest = 0, .highest = cost});
  return costs.Months();
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(HtmlChart, EveryMonthABarEveryYearABarForALongPeriod) {
  const RegionalSettings rs = RegionalSettings::UsEnglish();
  const struct {
    int months;
    int bars;
  } cases[] = {{6, 6}, {36, 36}, {37, 4}, {108, 9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.months);
    std::ostringstream out;
    WriteCostChart(out, rs, Months(c.months, 12.5));
    EXPECT_EQ(Count(out.str(), "<rect "), c.bars);
    // The table beside the picture has a row for each bar.
    EXPECT_EQ(Count(out.str(), "<tr><td>"), c.bars);
    const std::string svg = out.str();
    std::smatch width;
    std::regex_search(svg, width, std::regex("<svg[^>]* width=\"([0-9.]+)\""));
    ASSERT_FALSE(width.empty());
    EXPECT_LE(std::stod(width[1]), 1300.0);  // readable without shrinking it to a page
  }
  std::ostringstream none;
  WriteCostChart(none, rs, {});
  EXPECT_EQ(none.str(), "");
}

TEST(HtmlChart, LargeAmountsStayWithinThePicture) {
  RegionalSettings rs = RegionalSettings::UsEnglish();
  std::ostringstream out;
  WriteCostChart(out, rs, Months(12, 123456789.0));
  const std::string svg = out.str();
  // Every amount on the value axis ends at x and starts at least its width (7 pixels a
  // character in the 12-pixel font is generous) to the right of the left edge.
  const std::regex label("<text x=\"([0-9.]+)\"[^>]*text-anchor=\"end\">([^<]*)</text>");
  int labels = 0;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), label); it != std::sregex_iterator();
       ++it) {
    ++labels;
    const double x = std::stod((*it)[1]);
    EXPECT_GE(x, 7.0 * static_cast<double>((*it)[2].length())) << (*it)[2];
  }
  EXPECT_GE(labels, 3);
}

}  // namespace
}  // namespace dorvane
