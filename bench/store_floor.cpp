// The floor for a whole-process run over a call store: the least any reader can do. Reads the
// file in 64 KiB blocks and parses both numbers of every call line with std::from_chars (a
// decimal point assumed); prints the number of calls and the sum of their spans.
#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

double Parse(std::string_view text) {
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

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
  std::string pending;  // the torn line at the end of a block
  char block[65536];
  long calls = 0;
  double spans = 0;
  const auto line = [&](std::string_view text) {
    if (text.empty() || text.front() == '[') return;
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) return;
    spans += Parse(text.substr(eq + 1)) - Parse(text.substr(0, eq));
    ++calls;
  };
  for (;;) {
    const ssize_t got = ::read(fd, block, sizeof block);
    if (got <= 0) break;
    pending.append(block, static_cast<std::size_t>(got));
    std::string_view rest(pending);
    for (std::size_t end; (end = rest.find_first_of("\r\n")) != std::string_view::npos;) {
      line(rest.substr(0, end));
      rest.remove_prefix(end + 1);
    }
    pending.erase(0, pending.size() - rest.size());
  }
  line(pending);
  ::close(fd);
  std::printf("%ld calls, %.6f days\n", calls, spans);
  return 0;
}
