// --format html: the analysis, the other tables, a chart of the cost per month and the logbook
// as a table, on one self-contained page.
#include "charges/pricing.h"
#include "cli/htmlchart.h"
#include "cli/reportforms.h"
#include "platform/plaintext.h"
#include "reports/logbook.h"
#include "reports/monthlycosts.h"
#include "reports/statisticslabels.h"

namespace dorvane {

namespace {

constexpr const char* kHtmlStyle =
    "body{font-family:sans-serif;margin:2em;color:#000;background:#fff}\n"
    "h1{font-size:1.5em}h2{font-size:1.2em;margin-top:1.6em}\n"
    "table{border-collapse:collapse}\n"
    "th,td{padding:.2em .7em;text-align:left;vertical-align:top}\n"
    "table.analysis th{font-weight:normal}table.analysis td{white-space:pre}\n"
    "table.list th,table.list td{border-bottom:1px solid #bbb}\n"
    "td.num,th.num{text-align:right;white-space:nowrap}\n"
    "svg{max-width:100%;height:auto}svg text{font-family:sans-serif;font-size:12px;fill:#000}\n"
    "@media print{body{margin:0}h2{break-after:avoid}tr{break-inside:avoid}}\n";

class HtmlWriter : public ReportWriter {
 public:
  HtmlWriter(const RegionalSettings& rs, std::ostream& out, std::size_t tariffCount,
             int billingFirstDay)
      : rs_(rs), out_(out), spill_(tariffCount), months_(billingFirstDay) {}
  void AddCall(const PricedCall& call, const std::vector<double>& tariffCosts) override {
    months_.Add(call);
    spill_.Add(call, tariffCosts);
  }
  void Finish(const ReportSummary& s) override {
    out_ << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<title>Dorvane: Costs Analysis "
         << HtmlEscape(s.labels[0]) << "</title>\n<style>\n"
         << kHtmlStyle << "</style>\n</head>\n<body>\n";
    out_ << "<h1>Costs Analysis</h1>\n<table class=\"analysis\">\n<tbody>\n";
    for (std::size_t i = 0; i < kAnalysisLabelCount; ++i) {
      out_ << "<tr><th scope=\"row\">" << HtmlEscape(CaptionLine(kStatisticsLabels[i]))
           << "</th><td>" << (i < s.filledLabels ? HtmlEscape(s.labels[i]) : std::string())
           << "</td></tr>\n";
    }
    out_ << "</tbody>\n</table>\n";
    if (!s.tariffs.empty()) {
      out_ << "<h2>Under Other Charges Tables</h2>\n<table class=\"list\">\n<thead><tr>"
              "<th scope=\"col\">Charges table</th><th scope=\"col\" class=\"num\">Cost</th>"
              "<th scope=\"col\" class=\"num\">Difference</th></tr></thead>\n<tbody>\n";
      for (const TariffTotal& t : s.tariffs) {
        out_ << "<tr><td>" << HtmlEscape(t.name) << "</td><td class=\"num\">"
             << HtmlEscape(MoneyToStr(rs_, t.total)) << "</td><td class=\"num\">"
             << HtmlEscape(CostDifferenceText(rs_, t.difference)) << "</td></tr>\n";
      }
      out_ << "</tbody>\n</table>\n";
    }
    out_ << (months_.BillingPeriods() ? "<h2>Cost per Billing Period</h2>\n"
                                      : "<h2>Cost per Month</h2>\n");
    if (months_.Empty()) {
      out_ << "<p>No calls in the period.</p>\n";
    } else {
      WriteCostChart(out_, rs_, months_.Months());
    }
    out_ << "<h2>" << kLogbookTitle << "</h2>\n";
    if (months_.Empty()) {
      out_ << "<p>No calls in the period.</p>\n</body>\n</html>\n";
      return;
    }
    out_ << "<table class=\"list\">\n<thead><tr>"
            "<th scope=\"col\">Start</th><th scope=\"col\">End</th>"
            "<th scope=\"col\" class=\"num\">Time</th><th scope=\"col\" class=\"num\">Cost</th>";
    for (const TariffTotal& t : s.tariffs) {
      out_ << "<th scope=\"col\" class=\"num\">" << HtmlEscape(t.name) << "</th>";
    }
    out_ << "</tr></thead>\n<tbody>\n";
    spill_.Replay([&](const PricedCall& c, const std::vector<double>& tariffCosts) {
      out_ << "<tr><td>" << HtmlEscape(DateTimeToStr(rs_, c.start)) << "</td><td>"
           << HtmlEscape(DateTimeToStr(rs_, c.end)) << "</td><td class=\"num\">"
           << HtmlEscape(DurationToStr(rs_, CallSpan(c.start, c.end))) << "</td><td class=\"num\">"
           << HtmlEscape(MoneyToStr(rs_, c.cost)) << "</td>";
      for (const TariffTotal& t : s.tariffs) {
        out_ << "<td class=\"num\">" << HtmlEscape(MoneyToStr(rs_, tariffCosts[t.column]))
             << "</td>";
      }
      out_ << "</tr>\n";
    });
    out_ << "</tbody>\n</table>\n</body>\n</html>\n";
  }

 private:
  const RegionalSettings& rs_;
  std::ostream& out_;
  CallSpill spill_;
  MonthlyCosts months_;
};

}  // namespace

std::unique_ptr<ReportWriter> MakeHtmlWriter(const RegionalSettings& rs, std::ostream& out,
                                             std::size_t tariffCount, int billingFirstDay) {
  return std::make_unique<HtmlWriter>(rs, out, tariffCount, billingFirstDay);
}

}  // namespace dorvane
