#include "app/reportview.h"

#include <QColor>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace dorvane {

namespace {

QColor ColorOf(TextColor color) {
  switch (color) {
    case TextColor::Navy:
      return QColor(0, 0, 128);
    case TextColor::Maroon:
      return QColor(128, 0, 0);
    case TextColor::Purple:
      return QColor(128, 0, 128);
    case TextColor::Black:
      break;
  }
  return QColor(0, 0, 0);
}

QTextCharFormat FormatOf(int points, TextColor color) {
  QTextCharFormat format;
  format.setFontPointSize(points);
  format.setForeground(ColorOf(color));
  return format;
}

}  // namespace

void ShowLogbookDocument(QTextEdit* box, const LogbookDocument& document) {
  QTextDocument* doc = box->document();
  doc->clear();
  QTextCursor cursor(doc);
  cursor.beginEditBlock();
  const auto& lines = document.Lines();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const DocumentLine& line = lines[i];
    if (i == 0) {
      cursor.setBlockCharFormat(FormatOf(line.points, TextColor::Black));
    } else {
      // Each line's break carries the size it was given; an empty line shows at that size.
      cursor.insertBlock(QTextBlockFormat(), FormatOf(line.points, TextColor::Black));
    }
    for (const TextRun& run : line.runs) {
      cursor.insertText(QString::fromStdString(run.text), FormatOf(run.points, run.color));
    }
  }
  cursor.endEditBlock();
  box->moveCursor(QTextCursor::End);
}

}  // namespace dorvane
