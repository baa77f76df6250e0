// The output forms of dorvane-report: the costs analysis as text, the logbook's lines, CSV, the
// monthly summary as text and as CSV, and an HTML page with a chart, each in its own file
// (cli/reportforms.h). Texts for people follow the regional settings; texts for other programs
// (CSV, the chart's geometry) never depend on the locale (platform/plaintext.h).
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "charges/pricing.h"
#include "cli/reportargs.h"
#include "platform/regional.h"
#include "reports/statisticslabels.h"
#include "reports/tariffranking.h"

namespace dorvane {

// The results of the run, handed to the writer after the last call.
struct ReportSummary {
  // The label texts in order; a period without calls fills only the first two, and the others
  // stay empty as the window's labels are after start-up.
  std::array<std::string, kAnalysisLabelCount> labels;
  std::size_t filledLabels = 0;
  // Cheapest first; equal totals keep the order of the command line.
  std::vector<TariffTotal> tariffs;
};

class ReportWriter {
 public:
  virtual ~ReportWriter() = default;
  // Every call of the period in store order, priced under the report's own charges table, with
  // its cost under each other charges table (in the order of the --tariff options).
  virtual void AddCall(const PricedCall& call, const std::vector<double>& tariffCosts) = 0;
  virtual void Finish(const ReportSummary& summary) = 0;
};

// The writer of a form. The logbook writer starts with the title block at once and writes each
// call's line as it comes; the analysis text and the monthly forms write at Finish; CSV writes
// as the calls come unless several other tables have to be ranked first; the HTML page, whose
// analysis comes first, keeps its calls in a temporary file until Finish. Throws Error when a
// temporary file cannot be made.
// With a billing day other than 1 the monthly forms and the chart group the calls by billing
// period, each named by its first day ("2026-01-15"); with 1 by calendar month ("2026-01").
std::unique_ptr<ReportWriter> MakeReportWriter(ReportFormat format, bool logbook,
                                               const RegionalSettings& rs, std::ostream& out,
                                               std::vector<std::string> tariffNames,
                                               int billingFirstDay = 1);

}  // namespace dorvane
