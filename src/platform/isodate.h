// Dates written the same way in every notation: "YYYY-MM-DD", read and formed without the
// regional settings, for files and command lines that must not depend on them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/datetime.h"

namespace dorvane {

// Exactly `digits` decimal digits into `out`.
bool ReadFixedDigits(std::string_view text, std::size_t digits, int& out);
// `value` with leading zeros to `width` digits.
void AppendFixedDigits(std::string& text, int value, int width);

// "YYYY-MM-DD" and the day number it names; nothing for a malformed or impossible date.
std::optional<TDateTime> ParseIsoDay(std::string_view text);
// "2026-07-01".
std::string IsoDayText(TDateTime day);

}  // namespace dorvane
