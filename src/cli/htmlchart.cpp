#include "cli/htmlchart.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "cli/reportexport.h"
#include "platform/plaintext.h"

namespace dorvane {

namespace {

// Steps of 1, 2 or 5 times a power of ten, about five of them up to `top`.
double NiceStep(double top) {
  const double raw = top / 5;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (double f : {1.0, 2.0, 5.0}) {
    if (f * magnitude >= raw) return f * magnitude;
  }
  return 10 * magnitude;
}

std::string Coord(double v) {
  return PlainNumber(std::round(v * 10) / 10);
}

// About how wide a text is in the chart's 12-pixel sans-serif: wide enough never to run out.
double TextWidth(const std::string& text) {
  return 7.5 * static_cast<double>(text.size());
}

double Finite(double v) {
  return std::isfinite(v) ? std::max(v, 0.0) : 0.0;
}

}  // namespace

void WriteCostChart(std::ostream& out, const RegionalSettings& rs,
                    const std::vector<CostBucket>& months) {
  if (months.empty()) return;
  const std::vector<CostBucket> bars = ChartBuckets(months, kMaxChartMonths);
  const bool years = bars.front().month == 0;
  const bool periods = !years && bars.front().day > 1;
  const char* unit = years ? "year" : periods ? "billing period" : "month";
  const char* const unitTitle = years ? "Year" : periods ? "Billing period" : "Month";

  double hi = 0;
  for (const CostBucket& b : bars) hi = std::max({hi, Finite(b.cost), Finite(b.highest)});
  if (!(hi > 0)) hi = 1;
  const double step = NiceStep(hi);
  hi = std::ceil(hi / step - 1e-9) * step;

  // The value axis is as wide as its widest amount, so that no amount runs off the left edge.
  double labelWidth = 0;
  for (double v = 0; v <= hi + step / 2; v += step)
    labelWidth = std::max(labelWidth, TextWidth(MoneyToStr(rs, v)));
  const double left = 30 + labelWidth + 8;
  constexpr double kTop = 40;
  constexpr double kPlotHeight = 240;
  constexpr double kBottom = 50;
  const double n = static_cast<double>(bars.size());
  double nameWidth = 0;
  for (const CostBucket& b : bars) nameWidth = std::max(nameWidth, TextWidth(BucketIsoName(b)));
  // A slot wide enough for its name when there are few bars, never narrower than 30 pixels.
  const double kSlot = std::max(30.0, std::min(nameWidth + 8, 1000 / n));
  const double right = std::max(20.0, nameWidth / 2 + 4);
  const double plotRight = left + n * kSlot;
  const double average = AverageBucketCost(bars);
  const std::string legend =
      std::string(
          "Bars: cost; marks: at the cheapest and the dearest band; dashed line: "
          "average per ") +
      unit + ", " + MoneyToStr(rs, average);
  const double width = std::max({480.0, plotRight + right, left + TextWidth(legend) + 10});
  const double height = kTop + kPlotHeight + kBottom;
  const auto y = [&](double v) { return kTop + (hi - Finite(v)) / hi * kPlotHeight; };
  // Names below the bars, every k-th one where they would run into each other.
  const std::size_t every =
      std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil((nameWidth + 6) / kSlot)));

  out << "<figure>\n<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" aria-label=\"Cost per "
      << unit << "\" width=\"" << Coord(width) << "\" height=\"" << Coord(height)
      << "\" viewBox=\"0 0 " << Coord(width) << ' ' << Coord(height) << "\">\n";
  out << "<title>Cost per " << unit << "</title>\n";
  for (double v = 0; v <= hi + step / 2; v += step) {
    out << "<line x1=\"" << Coord(left) << "\" y1=\"" << Coord(y(v)) << "\" x2=\""
        << Coord(plotRight) << "\" y2=\"" << Coord(y(v))
        << "\" stroke=\"#bbbbbb\" stroke-width=\"1\"/>\n";
    out << "<text x=\"" << Coord(left - 6) << "\" y=\"" << Coord(y(v) + 4)
        << "\" text-anchor=\"end\">" << HtmlEscape(MoneyToStr(rs, v)) << "</text>\n";
  }
  for (std::size_t i = 0; i < bars.size(); ++i) {
    const CostBucket& b = bars[i];
    const double x = left + static_cast<double>(i) * kSlot;
    const double top = y(b.cost);
    const std::string name = BucketIsoName(b);
    out << "<rect x=\"" << Coord(x + 5) << "\" y=\"" << Coord(top) << "\" width=\""
        << Coord(kSlot - 10) << "\" height=\"" << Coord(std::max(y(0) - top, 0.5))
        << "\" fill=\"#999999\" stroke=\"#000000\" stroke-width=\"1\"><title>" << name << ": "
        << HtmlEscape(MoneyToStr(rs, b.cost)) << ", " << b.calls
        << (b.calls == 1 ? " call" : " calls") << "</title></rect>\n";
    if (b.calls > 0) {
      // The cheapest and the dearest band's cost of the same calls, as marks across the bar.
      for (double mark : {b.lowest, b.highest}) {
        out << "<line x1=\"" << Coord(x + 2) << "\" y1=\"" << Coord(y(mark)) << "\" x2=\""
            << Coord(x + kSlot - 2) << "\" y2=\"" << Coord(y(mark))
            << "\" stroke=\"#000000\" stroke-width=\"2\"/>\n";
      }
    }
    if (i % every == 0) {
      out << "<text x=\"" << Coord(x + kSlot / 2) << "\" y=\"" << Coord(kTop + kPlotHeight + 16)
          << "\" text-anchor=\"middle\">" << name << "</text>\n";
    }
  }
  out << "<line x1=\"" << Coord(left) << "\" y1=\"" << Coord(y(average)) << "\" x2=\""
      << Coord(plotRight) << "\" y2=\"" << Coord(y(average))
      << "\" stroke=\"#000000\" stroke-width=\"1.5\" stroke-dasharray=\"6 4\"/>\n";
  out << "<line x1=\"" << Coord(left) << "\" y1=\"" << Coord(kTop) << "\" x2=\"" << Coord(left)
      << "\" y2=\"" << Coord(y(0)) << "\" stroke=\"#000000\" stroke-width=\"1\"/>\n";
  out << "<line x1=\"" << Coord(left) << "\" y1=\"" << Coord(y(0)) << "\" x2=\"" << Coord(plotRight)
      << "\" y2=\"" << Coord(y(0)) << "\" stroke=\"#000000\" stroke-width=\"1\"/>\n";
  out << "<text x=\"16\" y=\"" << Coord(kTop + kPlotHeight / 2)
      << "\" text-anchor=\"middle\" transform=\"rotate(-90 16 " << Coord(kTop + kPlotHeight / 2)
      << ")\">Cost</text>\n";
  out << "<text x=\"" << Coord(left + (plotRight - left) / 2) << "\" y=\""
      << Coord(kTop + kPlotHeight + 40) << "\" text-anchor=\"middle\">" << unitTitle << "</text>\n";
  out << "<text x=\"" << Coord(left) << "\" y=\"20\">" << HtmlEscape(legend) << "</text>\n";
  out << "</svg>\n";
  out << "<figcaption>Cost per " << unit << "</figcaption>\n</figure>\n";

  // The same figures as a table.
  out << "<table class=\"list\">\n<thead><tr><th scope=\"col\">" << unitTitle
      << "</th><th scope=\"col\" class=\"num\">Calls</th><th scope=\"col\" class=\"num\">Cost</th>"
         "<th scope=\"col\" class=\"num\">Cheapest band</th><th scope=\"col\" "
         "class=\"num\">Dearest band</th></tr></thead>\n<tbody>\n";
  for (const CostBucket& b : bars) {
    out << "<tr><td>" << BucketIsoName(b) << "</td><td class=\"num\">" << b.calls
        << "</td><td class=\"num\">" << HtmlEscape(MoneyToStr(rs, b.cost))
        << "</td><td class=\"num\">" << HtmlEscape(MoneyToStr(rs, b.lowest))
        << "</td><td class=\"num\">" << HtmlEscape(MoneyToStr(rs, b.highest)) << "</td></tr>\n";
  }
  out << "</tbody>\n</table>\n";
}

}  // namespace dorvane
