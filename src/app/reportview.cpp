#include "app/reportview.h"

#include <QColor>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <map>
#include <utility>

#include "platform/qt/qtext.h"

namespace dorvane {

namespace {

QTextCharFormat FormatOf(int points, TextColor color) {
  QTextCharFormat format;
  format.setFontPointSize(points);
  format.setForeground(TextQColor(color));
  return format;
}

}  // namespace

QColor TextQColor(TextColor color) {
  return QColor::fromRgb(static_cast<QRgb>(TextColorRgb(color)));
}

void ShowLogbookDocument(QTextEdit* box, const LogbookDocument& document) {
  // The document is built apart from the box and handed over in one step. One edit block spares
  // the cursor a layout of its line after every insertion; the box lays out what it shows.
  auto* doc = new QTextDocument(box);
  doc->setUndoRedoEnabled(false);
  doc->setDefaultFont(box->document()->defaultFont());
  doc->setDocumentMargin(box->document()->documentMargin());
  std::map<std::pair<int, TextColor>, QTextCharFormat> formats;
  const auto format = [&formats](int points, TextColor color) -> const QTextCharFormat& {
    auto [it, added] = formats.try_emplace({points, color});
    if (added) it->second = FormatOf(points, color);
    return it->second;
  };
  QTextCursor cursor(doc);
  cursor.beginEditBlock();
  const auto& lines = document.Lines();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const DocumentLine& line = lines[i];
    if (i == 0) {
      cursor.setBlockCharFormat(format(line.points, TextColor::Black));
    } else {
      // Each line's break carries the size it was given; an empty line shows at that size.
      cursor.insertBlock(QTextBlockFormat(), format(line.points, TextColor::Black));
    }
    for (const TextRun& run : line.runs) {
      cursor.insertText(ToQString(run.text), format(run.points, run.color));
    }
  }
  cursor.endEditBlock();
  // The box's earlier document was its child and goes with this. The report opens at its top:
  // a cursor put at the end would make the box lay out every line at once; this way it lays
  // out what it shows and the rest a step at a time.
  box->setDocument(doc);
}

}  // namespace dorvane
