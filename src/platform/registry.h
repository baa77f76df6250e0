// The registry under HKEY_LOCAL_MACHINE, behind a small interface so that a Win32
// implementation can sit beside the file-backed one used on POSIX.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dorvane {

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens a key (e.g. "Software\\Microsoft\\Windows\\CurrentVersion\\Setup"), creating it when
  // absent. False when it can neither be opened nor created.
  virtual bool OpenKey(const std::string& key) = 0;
  // A string value of a key; nullopt when the key or value is absent or not a string.
  virtual std::optional<std::string> ReadString(const std::string& key,
                                                const std::string& name) = 0;
  // Throw Error "Failed to set data for '%s'" (the value's name) when the value cannot be written.
  virtual void WriteString(const std::string& key, const std::string& name,
                           const std::string& value) = 0;
  virtual void WriteBinary(const std::string& key, const std::string& name,
                           const std::vector<std::uint8_t>& data) = 0;
  // Several string values of one key; the file-backed registry writes them in one replace, so
  // that a reader never finds half of them.
  virtual void WriteStrings(const std::string& key,
                            const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [name, value] : values) WriteString(key, name, value);
  }
};

// Reads through to another registry and writes nothing: for a run whose data folder cannot be
// written, which still reads what the registry holds.
class ReadOnlyRegistry : public Registry {
 public:
  explicit ReadOnlyRegistry(Registry& inner) : inner_(inner) {}
  bool OpenKey(const std::string&) override { return true; }
  std::optional<std::string> ReadString(const std::string& key, const std::string& name) override {
    return inner_.ReadString(key, name);
  }
  void WriteString(const std::string&, const std::string&, const std::string&) override {}
  void WriteBinary(const std::string&, const std::string&,
                   const std::vector<std::uint8_t>&) override {}

 private:
  Registry& inner_;
};

// A key names its root when it starts with "HKEY_" ("HKEY_CURRENT_USER\\Control Panel\\..."); any
// other key lies under HKEY_LOCAL_MACHINE.

// HKEY_LOCAL_MACHINE kept in one REGEDIT4 export file (dorvane.REG in the data folder).
// Read with CR LF or LF line ends, written with CR LF, replaced atomically on every write.
class RegFileRegistry : public Registry {
 public:
  explicit RegFileRegistry(std::string path);
  const std::string& Path() const { return path_; }

  bool OpenKey(const std::string& key) override;
  std::optional<std::string> ReadString(const std::string& key, const std::string& name) override;
  void WriteString(const std::string& key, const std::string& name,
                   const std::string& value) override;
  void WriteBinary(const std::string& key, const std::string& name,
                   const std::vector<std::uint8_t>& data) override;
  void WriteStrings(const std::string& key,
                    const std::vector<std::pair<std::string, std::string>>& values) override;

 private:
  std::string path_;
};

}  // namespace dorvane
