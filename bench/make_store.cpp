// Writes a call store for the whole-process benchmarks (check_run.sh, import_process.sh,
// report_process.sh), in the point notation, CR LF after every line.
//   make_store steady CALLS FILE        one call every 47 minutes from 1 January 1990
//   make_store random CALLS FILE SEED   calls at random, seeded; prints the last call's start
//                                       as the store writes a date-time
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "storegen.h"

int main(int argc, char** argv) {
  const std::string_view kind = argc > 1 ? argv[1] : "";
  if (argc < 4 || (kind != "steady" && kind != "random") || (kind == "random" && argc < 5)) {
    std::fprintf(stderr, "usage: make_store steady CALLS FILE | random CALLS FILE SEED\n");
    return 2;
  }
  const int calls = std::atoi(argv[2]);
  std::FILE* file = std::fopen(argv[3], "wb");
  if (file == nullptr) {
    std::perror(argv[3]);
    return 1;
  }
  bool written = true;
  const auto flush = [&](const std::string& text) {
    written = written && std::fwrite(text.data(), 1, text.size(), file) == text.size();
  };
  const dorvane::RegionalSettings& point = dorvane::StorePointNotation();
  if (kind == "steady") {
    dorvane::bench::SteadyStore(point, calls, flush);
  } else {
    const auto seed = static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 10));
    const dorvane::TDateTime last = dorvane::bench::RandomStore(point, calls, seed, flush);
    std::printf("%s\n", dorvane::DateTimeText(point, last).c_str());
  }
  if (std::fclose(file) != 0 || !written) {
    std::perror(argv[3]);
    return 1;
  }
  return 0;
}
