#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <deque>
#include <limits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/ascii.h"
#include "platform/error.h"
#include "platform/files.h"

namespace dorvane {

namespace {

constexpr std::size_t kMaxValueLength = 1023;
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kCrLf = "\r\n";
constexpr const char* kUnableToWrite = "Unable to write to %s";

// Blank, tab, CR, LF, VT, FF and ^Z: what the profile functions strip around names and values.
bool IsProfileSpace(char c) {
  switch (c) {
    case ' ':
    case '\t':
    case '\r':
    case '\n':
    case '\v':
    case '\f':
    case '\x1A':
      return true;
    default:
      return false;
  }
}

std::string_view TrimLeft(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsProfileSpace(s[i])) ++i;
  return s.substr(i);
}

std::string_view TrimRight(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && IsProfileSpace(s[n - 1])) --n;
  return s.substr(0, n);
}

std::string_view Trim(std::string_view s) {
  return TrimRight(TrimLeft(s));
}

std::size_t HashNoCase(std::string_view s) {
  std::uint64_t h = 14695981039346656037ull;
  for (char c : s) {
    h ^= static_cast<unsigned char>(AsciiLower(c));
    h *= 1099511628211ull;
  }
  return static_cast<std::size_t>(h);
}

std::string ValueText(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kMaxValueLength));
}

std::string DefaultText(std::string_view def) {
  while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
  return std::string(def.substr(0, kMaxValueLength));
}

std::string_view SkipBom(std::string_view text) {
  if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
  return text;
}

// The message names the file by its full path, whatever path the caller handed in.
std::string FullPath(const std::string& path) {
  if (!path.empty() && path.front() == '/') return path;
  std::string cwd(4096, '\0');
  if (::getcwd(cwd.data(), cwd.size()) == nullptr) return path;
  cwd.resize(cwd.find('\0'));
  if (cwd.empty() || cwd.back() != '/') cwd += '/';
  return cwd + path;
}

[[noreturn]] void ThrowUnableToWrite(const std::string& path) {
  throw WriteError(FormatMessage(kUnableToWrite, FullPath(path)));
}

// Text that would not read back as the same section, key and value once written, because it
// would break the line or turn the key line into another kind of line, is refused rather than
// written: a line break in a value would otherwise smuggle new sections into the file.
void CheckWritable(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
      key.find('=') != std::string_view::npos || (!key.empty() && key.front() == ';') ||
      (!key.empty() && key.front() == '[')) {
    ThrowUnableToWrite(path);
  }
}

std::string IntegerText(int value) {
  char buffer[16];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

bool ParseProfileInteger(std::string_view text, int& out) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    std::string_view digits = text.substr(2);
    std::uint32_t value = 0;
    auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (result.ec != std::errc() || result.ptr != digits.data() + digits.size()) return false;
    // Eight hex digits cover the whole 32 bits; 0xFFFFFFFF is -1.
    out = static_cast<int>(value);
    return true;
  }
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return false;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) {
    return false;
  }
  out = static_cast<int>(value);
  return true;
}

// ---------------------------------------------------------------------------------------------
// ProfileFile

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {}

// One pass over the text: nothing is kept but the position in it.
std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  std::string content;
  if (ReadWholeFile(path_, content, FileKinds::kRegularFile) != FileRead::kRead)
    return DefaultText(defaultValue);
  const std::string_view wantedSection = Trim(section);
  const std::string_view wantedKey = Trim(key);
  LineCursor cursor(SkipBom(content));
  std::string_view line;
  std::string_view eol;
  bool inSection = false;
  while (cursor.Next(line, eol)) {
    // Outside the wanted section only section lines matter.
    if (!inSection) {
      std::string_view head = TrimLeft(line);
      if (head.empty() || head.front() != '[') continue;
    }
    ProfileLine parsed = ParseProfileLine(line);
    if (parsed.kind == ProfileLineKind::Section) {
      if (inSection) break;  // only the first section of that name is searched
      inSection = EqualNoCase(parsed.name, wantedSection);
    } else if (inSection && parsed.kind == ProfileLineKind::Key &&
               EqualNoCase(parsed.name, wantedKey)) {
      return parsed.hasValue ? ValueText(parsed.value) : DefaultText(defaultValue);
    }
  }
  return DefaultText(defaultValue);
}

int ProfileFile::ReadInteger(std::string_view section, std::string_view key,
                             int defaultValue) const {
  int value = 0;
  return ParseProfileInteger(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool ProfileFile::ReadBool(std::string_view section, std::string_view key,
                           bool defaultValue) const {
  int value = 0;
  return ParseProfileInteger(ReadString(section, key, ""), value) ? value != 0 : defaultValue;
}

void ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  ProfileEdit edit(*this);
  edit.WriteString(section, key, value);
  edit.Commit();
}

void ProfileFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, IntegerText(value));
}

void ProfileFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void ProfileFile::DeleteKey(std::string_view section, std::string_view key) {
  ProfileEdit edit(*this);
  edit.DeleteKey(section, key);
  edit.Commit();
}

std::vector<std::string> ProfileFile::SectionNames() const {
  std::vector<std::string> names;
  std::string content;
  if (ReadWholeFile(path_, content, FileKinds::kRegularFile) != FileRead::kRead) return names;
  LineCursor cursor(SkipBom(content));
  std::string_view line;
  std::string_view eol;
  while (cursor.Next(line, eol)) {
    const std::string_view head = TrimLeft(line);
    if (head.empty() || head.front() != '[') continue;
    const ProfileLine parsed = ParseProfileLine(line);
    if (parsed.kind == ProfileLineKind::Section) names.emplace_back(parsed.name);
  }
  return names;
}

void ProfileFile::EraseSection(std::string_view section) {
  ProfileEdit edit(*this);
  edit.EraseSection(section);
  edit.Commit();
}

// ---------------------------------------------------------------------------------------------
// ProfileEdit
//
// The file is kept as its original text plus a list of lines linked in file order, each line a
// view into the original text or into a string the batch wrote. Writing a line replaces its
// view; inserting links a new line in; deleting marks the line removed. Hash indexes give the
// first section of a name and the first key of a name within each section. A section's keys are
// indexed when the batch first looks into it, so a single write to a large file does not pay
// for indexing every section.

namespace {

constexpr std::uint32_t kNoLine = std::numeric_limits<std::uint32_t>::max();

struct Line {
  std::string_view text;
  std::string_view eol;
  std::uint32_t next = kNoLine;
  bool removed = false;
};

struct Section {
  std::string_view name;
  std::uint32_t header = kNoLine;
  std::uint32_t lastKey = kNoLine;  // a new key goes after this line (the header when keyless)
  bool erased = false;
  bool indexed = false;  // its keys are in the key index
};

struct NoCaseHash {
  std::size_t operator()(std::string_view s) const { return HashNoCase(s); }
};

struct NoCaseEqual {
  bool operator()(std::string_view a, std::string_view b) const { return EqualNoCase(a, b); }
};

struct KeyRef {
  std::uint32_t section;
  std::string_view name;
};

struct KeyRefHash {
  std::size_t operator()(const KeyRef& k) const {
    return HashNoCase(k.name) ^ (static_cast<std::size_t>(k.section) * 0x9E3779B97F4A7C15ull);
  }
};

struct KeyRefEqual {
  bool operator()(const KeyRef& a, const KeyRef& b) const {
    return a.section == b.section && EqualNoCase(a.name, b.name);
  }
};

}  // namespace

struct ProfileEdit::Impl {
  std::string path;
  FileLock lock;
  bool readable = true;
  bool dirty = false;
  bool touched = false;  // a write was asked for, even one that changed nothing
  std::string original;
  std::string_view bom;
  std::deque<std::string> written;  // text of the lines this batch wrote; views point into it
  std::vector<Line> lines;
  std::uint32_t head = kNoLine;
  std::uint32_t tail = kNoLine;
  std::vector<Section> sections;
  std::unordered_map<std::string_view, std::uint32_t, NoCaseHash, NoCaseEqual> sectionIndex;
  std::unordered_map<KeyRef, std::uint32_t, KeyRefHash, KeyRefEqual> keyIndex;

  explicit Impl(const std::string& filePath) : path(filePath), lock(filePath) {
    switch (ReadWholeFile(path, original, FileKinds::kRegularFile)) {
      case FileRead::kRead:
        break;
      case FileRead::kMissing:
        original.clear();
        break;
      case FileRead::kFailed:
        // Never replace a file that could not be read: the batch would drop its content.
        readable = false;
        original.clear();
        break;
    }
    Parse();
  }

  void Parse() {
    std::string_view text = original;
    std::string_view body = SkipBom(text);
    bom = text.substr(0, text.size() - body.size());
    lines.reserve(body.size() / 24 + 4);
    sectionIndex.reserve(body.size() / 1024 + 4);
    LineCursor cursor(body);
    Line line;
    std::uint32_t current = kNoLine;
    while (cursor.Next(line.text, line.eol)) {
      const auto index = static_cast<std::uint32_t>(lines.size());
      lines.push_back(line);
      if (index > 0) lines[index - 1].next = index;
      ProfileLine parsed = ParseProfileLine(line.text);
      if (parsed.kind == ProfileLineKind::Section) {
        current = static_cast<std::uint32_t>(sections.size());
        sections.push_back(Section{parsed.name, index, index, false, false});
        sectionIndex.try_emplace(parsed.name, current);
      } else if (parsed.kind == ProfileLineKind::Key && current != kNoLine) {
        sections[current].lastKey = index;
      }
    }
    if (!lines.empty()) {
      head = 0;
      tail = static_cast<std::uint32_t>(lines.size() - 1);
    }
  }

  std::uint32_t FindSection(std::string_view name) const {
    auto it = sectionIndex.find(Trim(name));
    return it == sectionIndex.end() ? kNoLine : it->second;
  }

  // Indexes the first key of each name in a section, once.
  void IndexSection(std::uint32_t section) {
    Section& s = sections[section];
    if (s.indexed) return;
    s.indexed = true;
    if (keyIndex.empty()) keyIndex.reserve(lines.size());  // no rehashing as sections come in
    for (auto i = NextLive(s.header); i != kNoLine; i = NextLive(i)) {
      ProfileLine parsed = ParseProfileLine(lines[i].text);
      if (parsed.kind == ProfileLineKind::Section) break;
      if (parsed.kind == ProfileLineKind::Key)
        keyIndex.try_emplace(KeyRef{section, parsed.name}, i);
    }
  }

  std::uint32_t FindKey(std::uint32_t section, std::string_view key) {
    IndexSection(section);
    auto it = keyIndex.find(KeyRef{section, Trim(key)});
    return it == keyIndex.end() ? kNoLine : it->second;
  }

  std::string_view Keep(std::string text) { return written.emplace_back(std::move(text)); }

  std::uint32_t NewLine(std::string_view text) {
    const auto index = static_cast<std::uint32_t>(lines.size());
    lines.push_back(Line{text, kCrLf, kNoLine, false});
    return index;
  }

  void InsertAfter(std::uint32_t at, std::uint32_t index) {
    lines[index].next = lines[at].next;
    lines[at].next = index;
    if (tail == at) tail = index;
  }

  void Append(std::uint32_t index) {
    if (tail == kNoLine) {
      head = index;
    } else {
      lines[tail].next = index;
    }
    tail = index;
  }

  // The next line in file order that is still there.
  std::uint32_t NextLive(std::uint32_t index) const {
    index = lines[index].next;
    while (index != kNoLine && lines[index].removed) index = lines[index].next;
    return index;
  }

  // After a key line went: the section's next key of the same name (if any) becomes the one
  // found, and the insertion point moves back to the last key line that is left.
  void Reindex(std::uint32_t section, std::string_view keyName) {
    Section& s = sections[section];
    s.lastKey = s.header;
    bool found = false;
    for (auto i = NextLive(s.header); i != kNoLine; i = NextLive(i)) {
      ProfileLine parsed = ParseProfileLine(lines[i].text);
      if (parsed.kind == ProfileLineKind::Section) break;
      if (parsed.kind != ProfileLineKind::Key) continue;
      s.lastKey = i;
      if (!found && EqualNoCase(parsed.name, keyName)) {
        keyIndex.try_emplace(KeyRef{section, parsed.name}, i);
        found = true;
      }
    }
  }

  std::string Serialise() const {
    std::string out;
    out.reserve(original.size() + 256);
    out += bom;
    bool lineOpen = false;
    for (auto i = head; i != kNoLine; i = lines[i].next) {
      const Line& line = lines[i];
      if (line.removed) continue;
      // The old last line had no line end; something now follows it.
      if (lineOpen) out += kCrLf;
      out += line.text;
      out += line.eol;
      lineOpen = line.eol.empty();
    }
    return out;
  }
};

ProfileEdit::ProfileEdit(const ProfileFile& file) : impl_(std::make_unique<Impl>(file.Path())) {}

ProfileEdit::~ProfileEdit() = default;

std::string ProfileEdit::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  const auto s = impl_->FindSection(section);
  if (s == kNoLine) return DefaultText(defaultValue);
  const auto k = impl_->FindKey(s, key);
  if (k == kNoLine) return DefaultText(defaultValue);
  ProfileLine parsed = ParseProfileLine(impl_->lines[k].text);
  return parsed.hasValue ? ValueText(parsed.value) : DefaultText(defaultValue);
}

void ProfileEdit::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  Impl& d = *impl_;
  d.touched = true;
  CheckWritable(d.path, section, key, value);
  const std::string_view sectionName = Trim(section);
  const std::string_view keyName = Trim(key);

  auto s = d.FindSection(sectionName);
  if (s == kNoLine) {
    // A new section goes at the end of the file, its key line right after it.
    std::string headerText;
    headerText.reserve(sectionName.size() + 2);
    headerText.append("[").append(sectionName).append("]");
    std::string_view header = d.Keep(std::move(headerText));
    std::string_view keyLine = d.Keep(std::string(keyName) + "=" + std::string(value));
    const auto headerIndex = d.NewLine(header);
    const auto keyIndex = d.NewLine(keyLine);
    d.Append(headerIndex);
    d.Append(keyIndex);
    s = static_cast<std::uint32_t>(d.sections.size());
    d.sections.push_back(
        Section{header.substr(1, sectionName.size()), headerIndex, keyIndex, false, true});
    d.sectionIndex.emplace(d.sections.back().name, s);
    d.keyIndex.emplace(KeyRef{s, keyLine.substr(0, keyName.size())}, keyIndex);
    d.dirty = true;
    return;
  }

  const auto k = d.FindKey(s, keyName);
  if (k != kNoLine) {
    Line& line = d.lines[k];
    ProfileLine parsed = ParseProfileLine(line.text);
    if (parsed.hasValue && parsed.value == value) return;  // already holds it
    // The key keeps the spelling it has in the file.
    line.text = d.Keep(std::string(parsed.name) + "=" + std::string(value));
    if (line.eol.empty()) line.eol = kCrLf;
    d.dirty = true;
    return;
  }

  std::string_view keyLine = d.Keep(std::string(keyName) + "=" + std::string(value));
  const auto index = d.NewLine(keyLine);
  d.InsertAfter(d.sections[s].lastKey, index);
  d.sections[s].lastKey = index;
  d.keyIndex.emplace(KeyRef{s, keyLine.substr(0, keyName.size())}, index);
  d.dirty = true;
}

void ProfileEdit::DeleteKey(std::string_view section, std::string_view key) {
  Impl& d = *impl_;
  d.touched = true;
  const auto s = d.FindSection(section);
  if (s == kNoLine) return;
  if (d.FindKey(s, key) == kNoLine) return;
  auto it = d.keyIndex.find(KeyRef{s, Trim(key)});
  d.lines[it->second].removed = true;
  d.keyIndex.erase(it);
  d.Reindex(s, Trim(key));
  d.dirty = true;
}

void ProfileEdit::EraseSection(std::string_view section) {
  Impl& d = *impl_;
  d.touched = true;
  const auto s = d.FindSection(section);
  if (s == kNoLine) return;
  Section& erased = d.sections[s];
  d.lines[erased.header].removed = true;
  for (auto i = d.NextLive(erased.header); i != kNoLine; i = d.NextLive(i)) {
    if (ParseProfileLine(d.lines[i].text).kind == ProfileLineKind::Section) break;
    d.lines[i].removed = true;
  }
  erased.erased = true;
  d.sectionIndex.erase(erased.name);
  // A later section of the same name is now the first one.
  for (auto later = s + 1; later < d.sections.size(); ++later) {
    const Section& candidate = d.sections[later];
    if (!candidate.erased && EqualNoCase(candidate.name, erased.name)) {
      d.sectionIndex.emplace(candidate.name, later);
      break;
    }
  }
  d.dirty = true;
}

std::vector<std::string> ProfileEdit::SectionNames() const {
  std::vector<std::string> names;
  for (const Section& section : impl_->sections) {
    if (!section.erased) names.emplace_back(section.name);
  }
  return names;
}

bool ProfileEdit::Dirty() const {
  return impl_->dirty;
}

// One line of the file, without its line end. A line that is neither blank, a comment nor a
// section line is a key; without "=" it is a key with no value, which reads as the default but
// is still replaced by a write and removed by a delete.
ProfileLine ParseProfileLine(std::string_view raw) {
  ProfileLine out;
  std::string_view line = Trim(raw);
  if (line.empty()) return out;
  if (line.front() == ';') {
    out.kind = ProfileLineKind::Comment;
    return out;
  }
  if (line.front() == '[') {
    auto close = line.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      out.kind = ProfileLineKind::Section;
      out.name = Trim(line.substr(1, close - 1));
      return out;
    }
  }
  out.kind = ProfileLineKind::Key;
  auto eq = line.find('=');
  if (eq == std::string_view::npos) {
    out.name = line;
    return out;
  }
  out.name = TrimRight(line.substr(0, eq));
  out.value = TrimLeft(line.substr(eq + 1));
  out.hasValue = true;
  return out;
}

std::string ProfileValueText(std::string_view value) {
  return ValueText(value);
}

void ThrowProfileWriteError(const std::string& path) {
  ThrowUnableToWrite(path);
}

void ProfileEdit::Commit() {
  Impl& d = *impl_;
  if (!d.dirty) {
    // A write that changes nothing leaves the file alone, but a file the user made read-only
    // refuses it all the same, as the profile functions always did.
    if (d.touched && !MayWriteFile(d.path)) ThrowUnableToWrite(d.path);
    d.touched = false;
    return;
  }
  d.touched = false;
  if (!d.readable || !WriteFileAtomically(d.path, d.Serialise())) ThrowUnableToWrite(d.path);
  d.dirty = false;
}

}  // namespace dorvane
