// The command-line option reader both tools share: the same --help, --version and "--", the
// same "--name value" and "--name=value", the same messages for a wrong argument.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error.h"

namespace dorvane {

// A command line that cannot be run; the message says which argument is wrong.
class UsageError : public Error {
 public:
  using Error::Error;
};

// One option a tool knows, by its long name ("--store").
struct KnownOption {
  std::string_view name;
  bool takesValue = false;
  // Given more than once, its values are all kept in order; a value option that is not a list
  // refuses a second value.
  bool list = false;
};

struct CommandLine {
  bool help = false;     // --help or -h: the rest of the line is not read
  bool version = false;  // --version: the rest of the line is not read
  // The options in the order given: name and value (empty for a switch).
  std::vector<std::pair<std::string, std::string>> options;
  // The arguments that are not options: those not starting with "-", "-" itself (standard
  // input), and everything after "--".
  std::vector<std::string> operands;
};

// Reads the arguments after the program name. An option takes its value as the next argument or
// after "=" (--store=calls.DB); a switch takes none. Throws UsageError for an unknown option, a
// missing or empty value, a value given to a switch, and a second value for an option that is
// not a list.
CommandLine ReadCommandLine(const std::vector<std::string>& args,
                            std::span<const KnownOption> known);

}  // namespace dorvane
