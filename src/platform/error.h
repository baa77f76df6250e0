// Failures that reach the user: every one carries the message the user sees.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace dorvane {

// The base of every failure the program reports. The message is shown as it is
// (the error box adds a full stop where one is due).
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text that does not convert to a number, time, date or integer.
class ConvertError : public Error {
 public:
  using Error::Error;
};

// A file that cannot be written ("Unable to write to %s").
class WriteError : public Error {
 public:
  using Error::Error;
};

// A file that exists but cannot be read.
inline constexpr const char* kUnableToRead = "Unable to read %s";

// The longest value, in characters, that a message quotes in full.
inline constexpr std::size_t kMostQuotedCharacters = 60;

// A value as a message quotes it: at most kMostQuotedCharacters characters (UTF-8 sequences are
// never split), then "…" when something was cut. A store line of a megabyte must not become an
// error box that takes seconds to lay out.
std::string QuotedValue(std::string_view value);

// Replaces the first "%s" in a message pattern. A quoted value ('%s') is cut as QuotedValue
// cuts it; anything else (a file's path) is given whole.
std::string FormatMessage(std::string_view pattern, std::string_view arg);

// The text of the standard error box: a full stop is added when the message's
// last character sorts above "." (a letter or a digit does, a "!" or ")" does not).
std::string ErrorBoxText(std::string_view message);

}  // namespace dorvane
