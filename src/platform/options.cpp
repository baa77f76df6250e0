#include "platform/options.h"

#include <algorithm>
#include <optional>

namespace dorvane {

CommandLine ReadCommandLine(const std::vector<std::string>& args,
                            std::span<const KnownOption> known) {
  CommandLine line;
  bool options = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options || arg == "-" || !arg.starts_with("-")) {
      line.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options = false;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      line.help = true;
      return line;
    }
    if (arg == "--version") {
      line.version = true;
      return line;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (const std::size_t eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    const auto option = std::find_if(known.begin(), known.end(),
                                     [&](const KnownOption& s) { return s.name == name; });
    // Only "--help=..." and "--version=..." reach here with these names.
    if (name == "--help" || name == "--version") {
      throw UsageError("option '" + name + "' takes no value");
    }
    if (option == known.end()) throw UsageError("unknown option '" + name + "'");
    if (!option->takesValue && value) throw UsageError("option '" + name + "' takes no value");
    if (option->takesValue) {
      if (!value) {
        if (i + 1 >= args.size()) throw UsageError("option '" + name + "' needs a value");
        value = args[++i];
      }
      if (value->empty()) throw UsageError("option '" + name + "' needs a value");
      if (!option->list && std::any_of(line.options.begin(), line.options.end(),
                                       [&](const auto& o) { return o.first == name; })) {
        throw UsageError("option '" + name + "' given twice");
      }
    }
    line.options.emplace_back(std::move(name), value.value_or(std::string()));
  }
  return line;
}

}  // namespace dorvane
