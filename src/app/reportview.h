// Shows a logbook document in a rich-text box: its runs in their sizes and colours, in the box's
// own font.
#pragma once

#include "reports/logbook.h"

class QColor;
class QTextEdit;

namespace dorvane {

// The colour of a statistics label's value and of the logbook's text (TextColorRgb).
QColor TextQColor(TextColor color);

void ShowLogbookDocument(QTextEdit* box, const LogbookDocument& document);

}  // namespace dorvane
