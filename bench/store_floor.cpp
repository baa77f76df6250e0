// The floor for a whole-process run over a call store: the least any reader can do. Reads the
// file in 64 KiB blocks into one buffer and works on each block in place: memchr finds each line
// end, std::from_chars parses the start, the "=" and the end of a call line (a decimal point
// assumed) and a section line is passed over by its first byte; only the torn line at the end of
// a block is moved, to the buffer's front, before the next read. Lines end in LF or CR LF, as the
// program writes them. Prints the number of calls and the sum of their spans.
#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t kBlock = 65536;
// A line longer than a block is cut at the block's size; no store line comes near it.
char buffer[2 * kBlock];

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: store_floor STORE\n");
    return 2;
  }
  const int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    std::perror(argv[1]);
    return 1;
  }
  long calls = 0;
  double spans = 0;
  // One line from `p` to `end` (its LF or the end of the file).
  const auto line = [&](const char* p, const char* end) {
    if (p == end || *p == '[') return;
    double start = 0;
    double stop = 0;
    const auto first = std::from_chars(p, end, start);
    if (first.ec != std::errc() || first.ptr == end || *first.ptr != '=') return;
    if (std::from_chars(first.ptr + 1, end, stop).ec != std::errc()) return;
    spans += stop - start;
    ++calls;
  };
  std::size_t kept = 0;  // bytes of a torn line at the buffer's front
  for (;;) {
    const ssize_t got = ::read(fd, buffer + kept, kBlock);
    if (got <= 0) break;
    const char* p = buffer;
    const char* const end = buffer + kept + got;
    for (const char* lf; (lf = static_cast<const char*>(std::memchr(p, '\n', end - p)));) {
      line(p, lf);
      p = lf + 1;
    }
    kept = static_cast<std::size_t>(end - p);
    if (kept > kBlock) kept = 0;  // a line longer than a block: dropped
    std::memmove(buffer, p, kept);
  }
  line(buffer, buffer + kept);
  ::close(fd);
  std::printf("%ld calls, %.6f days\n", calls, spans);
  return 0;
}
