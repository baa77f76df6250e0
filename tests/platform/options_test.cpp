#include "platform/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dorvane {
namespace {

constexpr KnownOption kKnown[] = {{"--store", true}, {"--tariff", true, true}, {"--dry-run"}};

std::string Read(const std::vector<std::string>& args) {
  try {
    const CommandLine line = ReadCommandLine(args, kKnown);
    std::string text = line.help ? "help;" : line.version ? "version;" : "";
    for (const auto& [name, value] : line.options) text += name + "=" + value + ";";
    for (const std::string& operand : line.operands) text += "[" + operand + "]";
    return text;
  } catch (const UsageError& e) {
    return std::string("error: ") + e.what();
  }
}

// The rules both tools follow, so a command line means the same to each.
TEST(Options, BothToolsReadOneCommandLineGrammar) {
  const struct {
    std::vector<std::string> args;
    const char* read;
  } cases[] = {
      {{"--store", "a.DB", "log"}, "--store=a.DB;[log]"},
      {{"--store=a.DB", "-"}, "--store=a.DB;[-]"},
      // "--" ends the options: what follows is a file even when it looks like one.
      {{"--", "--store", "-h"}, "[--store][-h]"},
      {{"--tariff", "a", "--tariff=b"}, "--tariff=a;--tariff=b;"},
      {{"--dry-run", "--dry-run"}, "--dry-run=;--dry-run=;"},
      // --help and --version win over anything after them, wrong or not.
      {{"log", "-h", "--bogus"}, "help;[log]"},
      {{"--version", "--store"}, "version;"},
      {{"--store", "a", "--store", "b"}, "error: option '--store' given twice"},
      {{"--store"}, "error: option '--store' needs a value"},
      {{"--store="}, "error: option '--store' needs a value"},
      {{"--dry-run=yes"}, "error: option '--dry-run' takes no value"},
      {{"--help=1"}, "error: option '--help' takes no value"},
      {{"--bogus=1"}, "error: unknown option '--bogus'"},
      {{"-x"}, "error: unknown option '-x'"},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.args), c.read) << c.args.front();
}

}  // namespace
}  // namespace dorvane
