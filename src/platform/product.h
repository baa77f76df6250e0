// What the program is called and which version it is, as the window, the About box, the message
// boxes and the tools name it. The version is the project's own (project() in CMakeLists.txt),
// handed to every build as DORVANE_VERSION.
#pragma once

namespace dorvane {

inline constexpr const char* kProductName = "Dorvane";
inline constexpr const char* kVersionText = DORVANE_VERSION;
inline constexpr const char* kCopyrightText = "Copyright \u00a9 1998 Keltrix";

}  // namespace dorvane
