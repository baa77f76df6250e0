#include "cli/reportexport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <numeric>

#include "charges/holidays.h"
#include "cli/htmlchart.h"
#include "platform/error.h"
#include "platform/plaintext.h"
#include "reports/billingperiod.h"
#include "reports/logbook.h"
#include "reports/monthlycosts.h"
#include "reports/statisticslabels.h"

namespace dorvane {

std::vector<TariffTotal> RankTariffs(const std::vector<std::string>& names,
                                     const std::vector<double>& totals, double ownTotal) {
  std::vector<TariffTotal> ranked;
  for (std::size_t i = 0; i < names.size(); ++i) {
    ranked.push_back(TariffTotal{names[i], i, totals[i], totals[i] - ownTotal});
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const TariffTotal& a, const TariffTotal& b) { return a.total < b.total; });
  return ranked;
}

namespace {

constexpr const char* kCrLf = "\r\n";

// The calls of the period in a temporary file, for the forms that need the run's results before
// they can write the calls. The file is gone when the process ends, whatever way it ends.
class CallSpill {
 public:
  explicit CallSpill(std::size_t tariffCount)
      : file_(std::tmpfile()), width_(5 + tariffCount), record_(width_) {
    if (file_ == nullptr) throw Error("Unable to create a temporary file");
  }
  ~CallSpill() { std::fclose(file_); }
  CallSpill(const CallSpill&) = delete;
  CallSpill& operator=(const CallSpill&) = delete;

  void Add(const PricedCall& call, const std::vector<double>& tariffCosts) {
    record_[0] = call.start;
    record_[1] = call.end;
    record_[2] = call.cost;
    record_[3] = call.lowest;
    record_[4] = call.highest;
    std::copy(tariffCosts.begin(), tariffCosts.end(), record_.begin() + 5);
    if (std::fwrite(record_.data(), sizeof(double), width_, file_) != width_) {
      throw Error("Unable to write to a temporary file");
    }
  }

  // Hands every call back in the order it came.
  template <typename F>
  void Replay(F&& onCall) {
    if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
      throw Error("Unable to read a temporary file");
    }
    std::vector<double> tariffCosts(width_ - 5);
    while (std::fread(record_.data(), sizeof(double), width_, file_) == width_) {
      const PricedCall call{record_[0], record_[1], record_[2], record_[3], record_[4]};
      std::copy(record_.begin() + 5, record_.end(), tariffCosts.begin());
      onCall(call, tariffCosts);
    }
    if (std::ferror(file_) != 0) throw Error("Unable to read a temporary file");
  }

 private:
  std::FILE* file_;
  std::size_t width_;
  std::vector<double> record_;
};

// The lines of "What the period would have cost" under the other tables, for the text forms.
void WriteTariffLines(std::ostream& out, const RegionalSettings& rs,
                      const std::vector<TariffTotal>& tariffs) {
  if (tariffs.empty()) return;
  out << "\nUnder other charges tables, cheapest first:\n";
  for (const TariffTotal& t : tariffs) {
    out << t.name << ": " << MoneyToStr(rs, t.total) << ' ' << CostDifferenceText(rs, t.difference)
        << '\n';
  }
}

// The columns the other tables add to a CSV row: their cost and the difference, cheapest first.
void AppendTariffHeader(std::string& row, const std::vector<TariffTotal>& ranked) {
  for (const TariffTotal& t : ranked) {
    row += ',' + CsvField("cost[" + t.name + "]");
    row += ',' + CsvField("difference[" + t.name + "]");
  }
}

void AppendTariffCells(std::string& row, const std::vector<TariffTotal>& ranked,
                       const std::vector<double>& costs, double ownCost) {
  for (const TariffTotal& t : ranked) {
    row += ',' + PlainNumber(costs[t.column]);
    row += ',' + PlainNumber(costs[t.column] - ownCost);
  }
}

// Tariffs in the order given, before the run has ranked them.
std::vector<TariffTotal> TariffsInGivenOrder(const std::vector<std::string>& names) {
  return RankTariffs(names, std::vector<double>(names.size(), 0.0), 0.0);
}

// Seconds to the millisecond, as a plain number.
std::string PlainSeconds(double days) {
  return PlainNumber(static_cast<double>(std::llround(days * kMsPerDay)) / 1000.0);
}

// --- text: the ten captions and their labels ---------------------------------------------------

class AnalysisTextWriter : public ReportWriter {
 public:
  AnalysisTextWriter(const RegionalSettings& rs, std::ostream& out) : rs_(rs), out_(out) {}
  void AddCall(const PricedCall&, const std::vector<double>&) override {}
  void Finish(const ReportSummary& s) override {
    for (std::size_t i = 0; i < kAnalysisLabelCount; ++i) {
      out_ << CaptionLine(kStatisticsLabels[i]);
      if (i < s.filledLabels) out_ << ' ' << s.labels[i];
      out_ << '\n';
    }
    WriteTariffLines(out_, rs_, s.tariffs);
  }

 private:
  const RegionalSettings& rs_;
  std::ostream& out_;
};

// --- text --logbook: the logbook document's lines, written as they are made -------------------

class LogbookTextWriter : public ReportWriter {
 public:
  LogbookTextWriter(const RegionalSettings& rs, std::ostream& out) : rs_(rs), out_(out) {
    totals_ = BeginLogbook(scratch_, 0);
    WriteFinishedLines();
  }
  void AddCall(const PricedCall& call, const std::vector<double>&) override {
    AddLogbookCall(scratch_, rs_, totals_, call.start, call.end, call.cost);
    WriteFinishedLines();
  }
  void Finish(const ReportSummary& s) override {
    FinishLogbook(scratch_, rs_, totals_, [](AnalysisLabel, const std::string&) {});
    WriteFinishedLines();
    WriteTariffLines(out_, rs_, s.tariffs);
  }

 private:
  // The finished lines leave the document as soon as the line being written is empty again,
  // so memory stays flat however many calls there are.
  void WriteFinishedLines() {
    const auto& lines = scratch_.Lines();
    if (lines.size() < 2 || !lines.back().runs.empty()) return;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) out_ << lines[i].Text() << '\n';
    scratch_.Clear();  // keeps the size and colour of what comes next
  }

  const RegionalSettings& rs_;
  std::ostream& out_;
  LogbookDocument scratch_;
  PeriodTotals totals_;
};

// --- csv: one row per call ---------------------------------------------------------------------

class CsvWriter : public ReportWriter {
 public:
  CsvWriter(std::ostream& out, std::vector<std::string> tariffNames)
      : out_(out), columns_(TariffsInGivenOrder(tariffNames)) {
    // With several other tables the columns follow their ranking, known only at the end.
    if (columns_.size() > 1) {
      spill_ = std::make_unique<CallSpill>(columns_.size());
    } else {
      WriteHeader(columns_);
    }
  }
  void AddCall(const PricedCall& call, const std::vector<double>& tariffCosts) override {
    if (spill_) {
      spill_->Add(call, tariffCosts);
    } else {
      WriteRow(call, tariffCosts, columns_);
    }
  }
  void Finish(const ReportSummary& s) override {
    if (!spill_) return;
    WriteHeader(s.tariffs);
    spill_->Replay([&](const PricedCall& call, const std::vector<double>& tariffCosts) {
      WriteRow(call, tariffCosts, s.tariffs);
    });
  }

 private:
  void WriteHeader(const std::vector<TariffTotal>& ranked) {
    std::string row = "start,end,duration_s,cost,lowest_cost,highest_cost";
    AppendTariffHeader(row, ranked);
    out_ << row << kCrLf;
  }
  void WriteRow(const PricedCall& c, const std::vector<double>& tariffCosts,
                const std::vector<TariffTotal>& ranked) {
    std::string row = IsoDateTime(c.start);
    row += ',';
    row += IsoDateTime(c.end);
    row += ',';
    row += PlainSeconds(c.end - c.start);
    row += ',';
    row += PlainNumber(c.cost);
    row += ',';
    row += PlainNumber(c.lowest);
    row += ',';
    row += PlainNumber(c.highest);
    AppendTariffCells(row, ranked, tariffCosts, c.cost);
    out_ << row << kCrLf;
  }

  std::ostream& out_;
  std::vector<TariffTotal> columns_;  // in the order given, until the run has ranked them
  std::unique_ptr<CallSpill> spill_;
};

// --- monthly totals ---------------------------------------------------------------------------

struct MonthTotals {
  std::string name;  // "2026-01", or the billing period's first day "2026-01-15"
  int calls = 0;
  double duration = 0;  // days
  double cost = 0;
  std::vector<double> tariffCosts;
};

// The calendar months, or the billing periods, that hold calls of the period, in calendar order.
class MonthlyTotals {
 public:
  MonthlyTotals(std::size_t tariffCount, int billingFirstDay)
      : tariffCount_(tariffCount), billingFirstDay_(billingFirstDay) {}
  void Add(const PricedCall& call, const std::vector<double>& tariffCosts) {
    int key = 0;
    if (billingFirstDay_ > 1) {
      key = static_cast<int>(BillingPeriodOf(call.start, billingFirstDay_).first);
    } else {
      const DateParts d = DecodeDate(call.start);
      key = d.year * 12 + d.month - 1;
    }
    MonthTotals& m = months_[key];
    if (m.calls == 0) {
      m.name = billingFirstDay_ > 1 ? IsoDayText(key) : IsoMonth(call.start);
      m.tariffCosts.assign(tariffCount_, 0.0);
    }
    ++m.calls;
    m.duration += call.end - call.start;
    m.cost += call.cost;
    for (std::size_t i = 0; i < tariffCount_; ++i) m.tariffCosts[i] += tariffCosts[i];
  }
  const std::map<int, MonthTotals>& Months() const { return months_; }

 private:
  std::size_t tariffCount_;
  int billingFirstDay_;
  std::map<int, MonthTotals> months_;
};

// Characters as a terminal shows them: UTF-8 continuation bytes take no room.
std::size_t DisplayWidth(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

class MonthlyTextWriter : public ReportWriter {
 public:
  MonthlyTextWriter(const RegionalSettings& rs, std::ostream& out, std::size_t tariffCount,
                    int billingFirstDay)
      : rs_(rs), out_(out), totals_(tariffCount, billingFirstDay), period_(billingFirstDay > 1) {}
  void AddCall(const PricedCall& call, const std::vector<double>& tariffCosts) override {
    totals_.Add(call, tariffCosts);
  }
  void Finish(const ReportSummary& s) override {
    std::vector<std::vector<std::string>> table;
    std::vector<std::string> header = {period_ ? "Billing Period" : "Month", "Calls", "Total Time",
                                       "Total Cost"};
    for (const TariffTotal& t : s.tariffs) {
      header.push_back(t.name);
      header.push_back("Difference");
    }
    table.push_back(header);
    for (const auto& [key, m] : totals_.Months()) {
      std::vector<std::string> row = {m.name, WholeNumber(m.calls), DurationToStr(rs_, m.duration),
                                      MoneyToStr(rs_, m.cost)};
      for (const TariffTotal& t : s.tariffs) {
        const double cost = m.tariffCosts[t.column];
        row.push_back(MoneyToStr(rs_, cost));
        row.push_back(CostDifferenceText(rs_, cost - m.cost));
      }
      table.push_back(row);
    }
    std::vector<std::size_t> widths(header.size(), 0);
    for (const auto& row : table) {
      for (std::size_t c = 0; c < row.size(); ++c) {
        widths[c] = std::max(widths[c], DisplayWidth(row[c]));
      }
    }
    // The month to the left, the figures to the right, two blanks between columns.
    for (const auto& row : table) {
      std::string line;
      for (std::size_t c = 0; c < row.size(); ++c) {
        const std::string pad(widths[c] - DisplayWidth(row[c]), ' ');
        if (c > 0) line += "  ";
        line += c == 0 ? row[c] + pad : pad + row[c];
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out_ << line << '\n';
    }
    WriteTariffLines(out_, rs_, s.tariffs);
  }

 private:
  const RegionalSettings& rs_;
  std::ostream& out_;
  MonthlyTotals totals_;
  bool period_;
};

class MonthlyCsvWriter : public ReportWriter {
 public:
  MonthlyCsvWriter(std::ostream& out, std::size_t tariffCount, int billingFirstDay)
      : out_(out), totals_(tariffCount, billingFirstDay), period_(billingFirstDay > 1) {}
  void AddCall(const PricedCall& call, const std::vector<double>& tariffCosts) override {
    totals_.Add(call, tariffCosts);
  }
  void Finish(const ReportSummary& s) override {
    std::string header =
        std::string(period_ ? "billing_period" : "month") + ",calls,total_time_s,total_cost";
    AppendTariffHeader(header, s.tariffs);
    out_ << header << kCrLf;
    for (const auto& [key, m] : totals_.Months()) {
      std::string row = m.name + ',' + WholeNumber(m.calls) + ',' + PlainSeconds(m.duration) + ',' +
                        PlainNumber(m.cost);
      AppendTariffCells(row, s.tariffs, m.tariffCosts, m.cost);
      out_ << row << kCrLf;
    }
  }

 private:
  std::ostream& out_;
  MonthlyTotals totals_;
  bool period_;
};

// --- html: the analysis, a chart of the cost per month, the logbook table ----------------------

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
      : rs_(rs),
        out_(out),
        spill_(tariffCount),
        months_(billingFirstDay),
        period_(billingFirstDay > 1 && billingFirstDay <= kFirstBillingDayMax) {}
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
    out_ << (period_ ? "<h2>Cost per Billing Period</h2>\n" : "<h2>Cost per Month</h2>\n");
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
           << HtmlEscape(DurationToStr(rs_, c.end - c.start)) << "</td><td class=\"num\">"
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
  bool period_;
};

}  // namespace

std::unique_ptr<ReportWriter> MakeReportWriter(ReportFormat format, bool logbook,
                                               const RegionalSettings& rs, std::ostream& out,
                                               std::vector<std::string> tariffNames,
                                               int billingFirstDay) {
  const std::size_t tariffs = tariffNames.size();
  switch (format) {
    case ReportFormat::Text:
      if (logbook) return std::make_unique<LogbookTextWriter>(rs, out);
      return std::make_unique<AnalysisTextWriter>(rs, out);
    case ReportFormat::Csv:
      return std::make_unique<CsvWriter>(out, std::move(tariffNames));
    case ReportFormat::Monthly:
      return std::make_unique<MonthlyTextWriter>(rs, out, tariffs, billingFirstDay);
    case ReportFormat::MonthlyCsv:
      return std::make_unique<MonthlyCsvWriter>(out, tariffs, billingFirstDay);
    case ReportFormat::Html:
      return std::make_unique<HtmlWriter>(rs, out, tariffs, billingFirstDay);
  }
  return nullptr;
}

}  // namespace dorvane
