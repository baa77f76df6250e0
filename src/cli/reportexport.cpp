#include "cli/reportexport.h"

#include "cli/reportforms.h"

namespace dorvane {

std::unique_ptr<ReportWriter> MakeReportWriter(ReportFormat format, bool logbook,
                                               const RegionalSettings& rs, std::ostream& out,
                                               std::vector<std::string> tariffNames,
                                               int billingFirstDay) {
  const std::size_t tariffs = tariffNames.size();
  switch (format) {
    case ReportFormat::Text:
      if (logbook) return MakeLogbookTextWriter(rs, out);
      return MakeAnalysisTextWriter(rs, out);
    case ReportFormat::Csv:
      return MakeCsvWriter(out, tariffNames);
    case ReportFormat::Monthly:
      return MakeMonthlyTextWriter(rs, out, tariffs, billingFirstDay);
    case ReportFormat::MonthlyCsv:
      return MakeMonthlyCsvWriter(out, tariffs, billingFirstDay);
    case ReportFormat::Html:
      return MakeHtmlWriter(rs, out, tariffs, billingFirstDay);
  }
  return nullptr;
}

}  // namespace dorvane
