// Shows a logbook document in a rich-text box: its runs in their sizes and colours, in the box's
// own font.
#pragma once

#include "reports/logbook.h"

class QTextEdit;

namespace dorvane {

void ShowLogbookDocument(QTextEdit* box, const LogbookDocument& document);

}  // namespace dorvane
