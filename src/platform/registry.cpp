#include "platform/registry.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <utility>

#include "platform/ascii.h"
#include "platform/error.h"
#include "platform/files.h"

namespace dorvane {

namespace {

constexpr std::string_view kRootPrefix = "HKEY_LOCAL_MACHINE\\";
constexpr const char* kFailedToSet = "Failed to set data for '%s'";

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

std::string_view KeyPath(std::string_view key) {
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  return key;
}

// A key as its header names it: under HKEY_LOCAL_MACHINE unless it names its own root
// ("HKEY_CURRENT_USER\\Control Panel\\International").
std::string FullKey(std::string_view key) {
  constexpr std::string_view kAnyRoot = "HKEY_";
  key = KeyPath(key);
  if (key.size() >= kAnyRoot.size() && EqualNoCase(key.substr(0, kAnyRoot.size()), kAnyRoot)) {
    return std::string(key);
  }
  return std::string(kRootPrefix) + std::string(key);
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

std::string ValueName(std::string_view name) {
  return name.empty() ? "@" : Quoted(name);
}

// Reads a quoted string at the start of `text` (which starts with a quote); `rest` gets what
// follows the closing quote. False when the quote is never closed.
bool ReadQuoted(std::string_view text, std::string& out, std::string_view& rest) {
  out.clear();
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      const char escaped = text[i + 1];
      if (escaped == '\\' || escaped == '"') {
        out += escaped;
      } else {
        out += c;
        out += escaped;
      }
      ++i;
    } else if (c == '"') {
      rest = text.substr(i + 1);
      return true;
    } else {
      out += c;
    }
  }
  return false;
}

// A string written by hand without escapes: `"C:\WINDOWS\"` never closes under the escaping
// rules, as its last backslash escapes the closing quote. When the data ends in a quote, the text
// up to that quote is taken, with the escapes that are there undone.
bool ReadUnescapedQuoted(std::string_view text, std::string& out) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return false;
  const std::string_view inner = text.substr(1, text.size() - 2);
  out.clear();
  for (std::size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] == '\\' && i + 1 < inner.size() && (inner[i + 1] == '\\' || inner[i + 1] == '"')) {
      ++i;
    }
    out += inner[i];
  }
  return true;
}

struct ValueLine {
  bool ok = false;
  std::string name;
  std::string_view data;  // the text after "="
};

ValueLine ParseValueLine(std::string_view line) {
  ValueLine out;
  std::string_view rest;
  if (!line.empty() && line.front() == '@') {
    rest = line.substr(1);
  } else if (!line.empty() && line.front() == '"') {
    if (!ReadQuoted(line, out.name, rest)) return out;
  } else {
    return out;
  }
  // Blanks around "=" are not in an export, but a hand-written file may have them.
  rest = TrimLeft(rest);
  if (rest.empty() || rest.front() != '=') return out;
  out.data = TrimLeft(rest.substr(1));
  out.ok = true;
  return out;
}

// The file as lines; a value split over lines with a trailing "\" stays one entry when looked up.
struct RegDocument {
  std::vector<std::string> lines;

  // Index of the header line of a key, or lines.size().
  std::size_t FindKey(std::string_view key) const {
    const std::string full = FullKey(key);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      std::string_view line = TrimRight(lines[i]);
      if (line.size() < 2 || line.front() != '[' || line.back() != ']') continue;
      if (EqualNoCase(KeyPath(line.substr(1, line.size() - 2)), full)) return i;
    }
    return lines.size();
  }

  // End of the block that starts at the header `header` (the next header line or the end).
  std::size_t BlockEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines.size() && !(!lines[i].empty() && lines[i].front() == '[')) ++i;
    return i;
  }

  // One past the last line of the entry that starts at `i` (continuation lines included).
  std::size_t EntryEnd(std::size_t i, std::size_t end) const {
    while (i + 1 < end && !TrimRight(lines[i]).empty() && TrimRight(lines[i]).back() == '\\') ++i;
    return i + 1;
  }

  struct Found {
    std::size_t first;
    std::size_t end;
  };

  // The entry of a value within a key's block, and the end of the block's last value entry.
  std::optional<Found> FindValue(std::size_t header, std::string_view name,
                                 std::size_t& afterLastValue) const {
    const std::size_t end = BlockEnd(header);
    afterLastValue = header + 1;
    std::optional<Found> found;
    for (std::size_t i = header + 1; i < end;) {
      ValueLine value = ParseValueLine(lines[i]);
      const std::size_t next = value.ok ? EntryEnd(i, end) : i + 1;
      if (value.ok) {
        afterLastValue = next;
        if (!found && EqualNoCase(value.name, name)) found = Found{i, next};
      }
      i = next;
    }
    return found;
  }

  std::string Text() const {
    std::string out;
    for (const auto& line : lines) {
      out += line;
      out += "\r\n";
    }
    return out;
  }

  void AppendKey(std::string_view key) {
    if (!lines.empty() && !TrimRight(lines.back()).empty()) lines.emplace_back();
    std::string section(1, '[');
    section += FullKey(key);
    section += ']';
    lines.push_back(std::move(section));
    lines.emplace_back();
  }
};

// Loads the file; false when it exists but cannot be read (it must then not be rewritten).
bool Load(const std::string& path, RegDocument& doc) {
  // The path is native, as its writer takes it: no "\" in it is a separator.
  RealFileSystem fs("", {path});
  auto content = fs.ReadAll(path);
  if (!content) {
    if (::access(path.c_str(), F_OK) == 0 || errno != ENOENT) return false;
    doc.lines = {"REGEDIT4", ""};
    return true;
  }
  for (auto line : SplitLines(*content)) doc.lines.emplace_back(line);
  if (doc.lines.empty()) doc.lines = {"REGEDIT4", ""};
  return true;
}

}  // namespace

RegFileRegistry::RegFileRegistry(std::string path) : path_(std::move(path)) {}

bool RegFileRegistry::OpenKey(const std::string& key) {
  if (HasLineBreak(key)) return false;
  FileLock lock(path_);
  RegDocument doc;
  if (!Load(path_, doc)) return false;
  if (doc.FindKey(key) != doc.lines.size()) return true;
  doc.AppendKey(key);
  return WriteFileAtomically(path_, doc.Text());
}

std::optional<std::string> RegFileRegistry::ReadString(const std::string& key,
                                                       const std::string& name) {
  RegDocument doc;
  if (!Load(path_, doc)) return std::nullopt;
  const std::size_t header = doc.FindKey(key);
  if (header == doc.lines.size()) return std::nullopt;
  std::size_t afterLastValue = 0;
  auto found = doc.FindValue(header, name, afterLastValue);
  if (!found) return std::nullopt;
  ValueLine value = ParseValueLine(doc.lines[found->first]);
  if (value.data.empty() || value.data.front() != '"') return std::nullopt;
  std::string text;
  std::string_view rest;
  if (ReadQuoted(value.data, text, rest) && TrimRight(rest).empty()) return text;
  if (ReadUnescapedQuoted(TrimRight(value.data), text)) return text;
  return std::nullopt;
}

namespace {

// Sets values of one key (name and data as written after "=") in one replace of the file.
void SetValues(const std::string& path, const std::string& key,
               const std::vector<std::pair<std::string, std::string>>& values) {
  if (values.empty()) return;
  const std::string failure = FormatMessage(kFailedToSet, values.front().first);
  if (HasLineBreak(key)) throw Error(failure);
  for (const auto& [name, data] : values) {
    if (HasLineBreak(name) || HasLineBreak(data)) throw Error(FormatMessage(kFailedToSet, name));
  }
  FileLock lock(path);
  RegDocument doc;
  if (!Load(path, doc)) throw Error(failure);
  std::size_t header = doc.FindKey(key);
  if (header == doc.lines.size()) {
    doc.AppendKey(key);
    header = doc.lines.size() - 2;
  }
  for (const auto& [name, data] : values) {
    std::string line = ValueName(name) + "=" + data;
    std::size_t afterLastValue = 0;
    if (auto found = doc.FindValue(header, name, afterLastValue)) {
      doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(found->first + 1),
                      doc.lines.begin() + static_cast<std::ptrdiff_t>(found->end));
      doc.lines[found->first] = std::move(line);
    } else {
      doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(afterLastValue),
                       std::move(line));
    }
  }
  if (!WriteFileAtomically(path, doc.Text())) throw Error(failure);
}

void SetValue(const std::string& path, const std::string& key, const std::string& name,
              const std::string& data) {
  SetValues(path, key, {{name, data}});
}

}  // namespace

void RegFileRegistry::WriteString(const std::string& key, const std::string& name,
                                  const std::string& value) {
  SetValue(path_, key, name, Quoted(value));
}

void RegFileRegistry::WriteStrings(const std::string& key,
                                   const std::vector<std::pair<std::string, std::string>>& values) {
  std::vector<std::pair<std::string, std::string>> quoted;
  quoted.reserve(values.size());
  for (const auto& [name, value] : values) quoted.emplace_back(name, Quoted(value));
  SetValues(path_, key, quoted);
}

void RegFileRegistry::WriteBinary(const std::string& key, const std::string& name,
                                  const std::vector<std::uint8_t>& data) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text = "hex:";
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (i > 0) text += ',';
    text += kHex[data[i] >> 4];
    text += kHex[data[i] & 0x0F];
  }
  SetValue(path_, key, name, text);
}

}  // namespace dorvane
