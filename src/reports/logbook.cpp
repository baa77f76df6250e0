#include "reports/logbook.h"

#include <array>

#include "charges/pricing.h"
#include "platform/error.h"

namespace dorvane {

std::string DocumentLine::Text() const {
  std::string text;
  for (const TextRun& run : runs) text += run.text;
  return text;
}

void LogbookDocument::Clear() {
  lines_.assign(1, DocumentLine{});
  lines_.back().points = points_;
}

void LogbookDocument::SetFormat(int points, TextColor color) {
  points_ = points;
  color_ = color;
}

void LogbookDocument::Insert(std::string_view text) {
  if (text.empty()) return;
  DocumentLine& line = lines_.back();
  if (!line.runs.empty() && line.runs.back().points == points_ &&
      line.runs.back().color == color_) {
    line.runs.back().text += text;
  } else {
    line.runs.push_back(TextRun{std::string(text), points_, color_});
  }
}

void LogbookDocument::EndLine() {
  lines_.back().points = points_;
  lines_.emplace_back();
  lines_.back().points = points_;
}

void LogbookDocument::AddLine(std::string_view text) {
  if (lines_.back().runs.empty()) {
    Insert(text);
    EndLine();
  } else {
    EndLine();
    Insert(text);
  }
}

std::string LogbookDocument::PlainText() const {
  std::string text;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines_[i].Text();
  }
  return text;
}

PeriodTotals BeginLogbook(LogbookDocument& doc, TDateTime now) {
  doc.Clear();
  doc.SetFormat(12, TextColor::Black);
  doc.AddLine(kLogbookTitle);
  doc.AddLine();
  doc.SetSize(8);
  return PeriodTotals::Starting(now);
}

void AddLogbookCall(LogbookDocument& doc, const RegionalSettings& rs, PeriodTotals& totals,
                    TDateTime start, TDateTime end, double price) {
  totals.Add(start, end, price);
  const double duration = CallSpan(start, end);
  doc.SetColor(TextColor::Black);
  doc.Insert(DateTimeToStr(rs, start) + "  -  " + DateTimeToStr(rs, end));
  doc.SetColor(TextColor::Navy);
  doc.Insert("  Time: " + DurationToStr(rs, duration));
  doc.SetColor(TextColor::Maroon);
  doc.Insert("  Cost: " + MoneyToStr(rs, price));
  doc.AddLine();
}

void FinishLogbook(LogbookDocument& doc, const RegionalSettings& rs, const PeriodTotals& t,
                   const std::function<void(AnalysisLabel, const std::string&)>& setText) {
  try {
    // The labels' texts, formed once for the labels and the summary.
    std::array<std::string, kAnalysisLabelCount> texts;
    const bool filled =
        FillStatisticsLabels(rs, t, [&](AnalysisLabel label, const std::string& text) {
          setText(label, text);
          texts[static_cast<std::size_t>(label)] = text;
        });
    if (!filled) return;
    doc.SetFormat(12, TextColor::Black);
    doc.AddLine();
    for (std::size_t i = 0; i < kBothPagesLabelCount; ++i) {
      doc.SetColor(kStatisticsLabels[i].color);
      doc.Insert(CaptionLine(kStatisticsLabels[i]) + ' ' + texts[i]);
      doc.AddLine();
    }
  } catch (const Error&) {
    // The summary ends where a text could not be formed; nothing is reported.
  }
}

}  // namespace dorvane
