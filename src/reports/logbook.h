// The logbook report: a document of text runs in sizes and colours, one line per call of the
// report period, under a title and above a summary.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/datetime.h"
#include "platform/regional.h"
#include "reports/statisticslabels.h"

namespace dorvane {

struct TextRun {
  std::string text;
  int points = 8;
  TextColor color = TextColor::Black;
};

// A line of the document: its runs, and the size its line break was given (what an empty line
// shows at).
struct DocumentLine {
  std::vector<TextRun> runs;
  int points = 8;

  std::string Text() const;
};

// A rich-text document that grows at its end only. The last line is the one being written;
// every finished line ends with a line break, so a finished document ends with an empty line.
class LogbookDocument {
 public:
  LogbookDocument() { Clear(); }

  void Clear();
  // The size and colour of what is inserted next.
  void SetFormat(int points, TextColor color);
  void SetSize(int points) { points_ = points; }
  void SetColor(TextColor color) { color_ = color; }
  // Appends text to the line being written.
  void Insert(std::string_view text);
  // Adds a line as a box's line list does: into the line being written when that is empty (the
  // line then ends), else after a line break behind it. An empty text ends a line that has
  // text, or leaves one empty line.
  void AddLine(std::string_view text = {});

  const std::vector<DocumentLine>& Lines() const { return lines_; }
  // The whole text, lines joined by "\n".
  std::string PlainText() const;

 private:
  void EndLine();

  std::vector<DocumentLine> lines_;
  int points_ = 8;
  TextColor color_ = TextColor::Black;
};

inline constexpr const char* kLogbookTitle = "Modem Logbook Report";

// Clears the document and writes the title block; the totals start with both dates now.
PeriodTotals BeginLogbook(LogbookDocument& doc, TDateTime now);
// Counts a call of the period and writes its line: start and end (black), "  Time: " and the
// duration (navy), "  Cost: " and the price (maroon).
void AddLogbookCall(LogbookDocument& doc, const RegionalSettings& rs, PeriodTotals& totals,
                    TDateTime start, TDateTime end, double price);
// The summary step: the six statistics labels, then the summary block, each label's caption and
// text in its colour. With no call it ends after the number of calls; a text that cannot be
// formed ends it quietly where it stands.
void FinishLogbook(LogbookDocument& doc, const RegionalSettings& rs, const PeriodTotals& totals,
                   const std::function<void(AnalysisLabel, const std::string&)>& setText);

}  // namespace dorvane
