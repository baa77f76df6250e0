// The logbook of 100,000 calls built and shown in the rich-text box, as "Create Report" does on
// the logbook page: the run over the store, then the document into the box (offscreen platform).
// Prints the milliseconds of the run, of the showing and of the two together.
#include <QApplication>
#include <QTextEdit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>

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
  // Wall time, and the processor time of this process, which a busy machine does not inflate.
  using Wall = std::chrono::steady_clock;
  struct Mark {
    Wall::time_point wall = Wall::now();
    std::clock_t cpu = std::clock();
  };
  const auto ms = [](const Mark& from, const Mark& to) {
    return std::make_pair(std::chrono::duration<double, std::milli>(to.wall - from.wall).count(),
                          1000.0 * static_cast<double>(to.cpu - from.cpu) / CLOCKS_PER_SEC);
  };
  for (int round = 0; round < 3; ++round) {
    const Mark start;
    dorvane::LogbookDocument doc;
    dorvane::RunLogbookReport(rig.Run(), doc);
    const Mark built;
    dorvane::ShowLogbookDocument(&box, doc);
    QApplication::processEvents();
    const Mark shown;
    const auto [runWall, runCpu] = ms(start, built);
    const auto [showWall, showCpu] = ms(built, shown);
    std::printf(
        "logbook of %d calls (%d blocks): run %.0f ms (cpu %.0f), shown %.0f ms (cpu %.0f), "
        "total %.0f ms (cpu %.0f)\n",
        calls, box.document()->blockCount(), runWall, runCpu, showWall, showCpu, runWall + showWall,
        runCpu + showCpu);
  }
  return 0;
}
