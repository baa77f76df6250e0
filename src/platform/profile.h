// Private-profile INI files: read and written with the Windows profile-function semantics.
// Nothing is cached: every read goes to the file, every write replaces it atomically.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dorvane {

class ProfileEdit;

// An accessor that holds only the file's path.
class ProfileFile {
 public:
  explicit ProfileFile(std::string path);

  const std::string& Path() const { return path_; }

  // Trimmed, case-insensitive names; first section and first key win; values trimmed and
  // unquoted, at most 1023 characters; missing file, section or key gives the default
  // (its trailing blanks removed).
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // Decimal, or hexadecimal after "0x"/"0X" when longer than two characters; else the default.
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  // Read as an integer: non-zero is true; not an integer gives the default.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // Each write replaces the file atomically under an advisory lock; a write that cannot be
  // done throws WriteError "Unable to write to %s" with the full path.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void DeleteKey(std::string_view section, std::string_view key);
  void EraseSection(std::string_view section);
  // The names of the file's sections in file order, as written (a name met twice is listed
  // twice); none for a missing or unreadable file.
  std::vector<std::string> SectionNames() const;

 private:
  std::string path_;
};

// A batch of reads and writes on one file under one lock, written back in one atomic replace.
// Reads see the batch's own writes. Commit() writes the file when anything changed; the
// destructor discards what was not committed. Costs one parse of the file, then O(1) per
// lookup or write on average, so many writes cost one file rewrite.
class ProfileEdit {
 public:
  explicit ProfileEdit(const ProfileFile& file);
  ~ProfileEdit();
  ProfileEdit(const ProfileEdit&) = delete;
  ProfileEdit& operator=(const ProfileEdit&) = delete;

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void DeleteKey(std::string_view section, std::string_view key);
  void EraseSection(std::string_view section);
  // The sections the batch holds now, in file order (see ProfileFile::SectionNames).
  std::vector<std::string> SectionNames() const;

  bool Dirty() const;
  // Writes the file if anything changed (throws WriteError); the batch stays usable. Writes that
  // changed nothing do not touch the file, but still fail on a file that may not be written.
  void Commit();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The integer encoding of the settings file, shared by ProfileFile and its callers.
bool ParseProfileInteger(std::string_view text, int& out);

// One line of a profile file as the profile functions see it, for readers that walk a file
// themselves: names trimmed, a key's value trimmed but still quoted.
enum class ProfileLineKind { Blank, Comment, Section, Key };
struct ProfileLine {
  ProfileLineKind kind = ProfileLineKind::Blank;
  std::string_view name;
  std::string_view value;
  bool hasValue = false;
};
ProfileLine ParseProfileLine(std::string_view line);
// A key's value as a read returns it: unquoted, at most 1023 characters.
std::string ProfileValueText(std::string_view value);
// Throws WriteError "Unable to write to %s" with the file's full path.
[[noreturn]] void ThrowProfileWriteError(const std::string& path);

}  // namespace dorvane
