// The logbook of 100,000 calls built and shown in the rich-text box, as "Create Report" does on
// the logbook page: the run over the store, then the document into the box (offscreen platform).
// Prints the milliseconds of the run, of the showing and of the two together.
#include <QApplication>
#include <QTextEdit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/reportview.h"
#include "reportrig.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int calls = argc > 1 ? std::atoi(argv[1]) : 100000;
  const dorvane::bench::ReportRig rig(calls);
  QTextEdit box;
  box.setReadOnly(true);
  box.resize(609, 153);
  box.show();
  using Clock = std::chrono::steady_clock;
  const auto ms = [](Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
  };
  for (int round = 0; round < 3; ++round) {
    const auto start = Clock::now();
    dorvane::LogbookDocument doc;
    dorvane::RunLogbookReport(rig.Run(), doc);
    const auto built = Clock::now();
    dorvane::ShowLogbookDocument(&box, doc);
    QApplication::processEvents();
    const auto shown = Clock::now();
    std::printf("logbook of %d calls: run %.0f ms, shown %.0f ms, total %.0f ms (%d blocks)\n",
                calls, ms(built - start), ms(shown - built), ms(shown - start),
                box.document()->blockCount());
  }
  return 0;
}
