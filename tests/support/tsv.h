// Reads the reference vector files: tab-separated rows, "#" lines are comments, strings are
// quoted with \\, \", \t and \xHH escapes, doubles are written DIGITS|0xBITS.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dorvane::test {

using TsvRow = std::vector<std::string>;

inline std::vector<TsvRow> ReadTsv(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::vector<TsvRow> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    TsvRow row;
    std::size_t from = 0;
    for (;;) {
      const auto tab = line.find('\t', from);
      row.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

// Runs `check` on each row of the file whose field `column` is `kind`, traced by the row's first
// fields; the rows checked must number `expected`, so that a file that lost rows fails.
template <typename Check>
void CheckRows(const std::string& path, std::size_t column, const std::string& kind, int expected,
               Check check) {
  int checked = 0;
  for (const TsvRow& row : ReadTsv(path)) {
    if (row.size() <= column || row[column] != kind) continue;
    SCOPED_TRACE(row[0] + " " + row[column + 1]);
    check(row);
    ++checked;
  }
  EXPECT_EQ(checked, expected) << kind << " in " << path;
}

// The text of a quoted field, escapes resolved; a field without quotes is returned as it is.
inline std::string Unquote(std::string_view field) {
  if (field.size() < 2 || field.front() != '"' || field.back() != '"') return std::string(field);
  field = field.substr(1, field.size() - 2);
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      out += field[i];
      continue;
    }
    const char next = field[++i];
    if (next == 't') {
      out += '\t';
    } else if (next == 'x' && i + 2 < field.size() + 1) {
      out += static_cast<char>(std::stoi(std::string(field.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += next;
    }
  }
  return out;
}

// The double of a "DIGITS|0xBITS" field, taken from its bit pattern.
inline double BitsValue(std::string_view field) {
  const auto bar = field.find("|0x");
  if (bar == std::string_view::npos) throw std::runtime_error("no bits in " + std::string(field));
  const auto bits = std::stoull(std::string(field.substr(bar + 3)), nullptr, 16);
  return std::bit_cast<double>(static_cast<std::uint64_t>(bits));
}

inline bool HasBits(std::string_view field) {
  return field.find("|0x") != std::string_view::npos;
}

}  // namespace dorvane::test
