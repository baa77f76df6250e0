// Why a file cannot be written, in the system's own words, for the message that lets the user
// decide whether to close without saving.
#pragma once

#include <string>

namespace dorvane {

// The system's reason why the file at `path` (a native path) cannot be replaced now: "Is a
// directory", "Permission denied", "Read-only file system", "No space left on device"... found
// by trying what a writer does, with a probe file of its own beside the target that it removes
// again. Empty when every step works now.
std::string WriteRefusalReason(const std::string& path);

}  // namespace dorvane
