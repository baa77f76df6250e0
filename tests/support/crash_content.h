// The two contents that the crash writer alternates between, shared with the test that kills it.
#pragma once

#include <string>

namespace dorvane::crash {

inline constexpr int kSections = 100;
inline constexpr int kKeysPerSection = 100;

inline std::string SectionName(int s) {
  return "1998-" + std::to_string(s + 1);
}
inline std::string KeyName(int s, int k) {
  return std::to_string(36000 + s) + "." + std::to_string(8430905671LL + k);
}
inline std::string Value(int s, int k, bool second) {
  return std::to_string(36000 + s) + "." +
         std::to_string((second ? 1000000000LL : 8699199074LL) + k);
}

// The whole file as it stands after a complete write of one of the two contents.
inline std::string Content(bool second) {
  std::string out;
  for (int s = 0; s < kSections; ++s) {
    out += "[" + SectionName(s) + "]\r\n";
    for (int k = 0; k < kKeysPerSection; ++k)
      out += KeyName(s, k) + "=" + Value(s, k, second) + "\r\n";
  }
  return out;
}

}  // namespace dorvane::crash
