// The few options the program answers without opening a window.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dorvane {

// The text to print for "--help" (or "-h") and "--version" given as the first parameter;
// nothing for any other command line, which starts the program.
std::optional<std::string> InfoRequestText(const std::vector<std::string>& arguments);

}  // namespace dorvane
