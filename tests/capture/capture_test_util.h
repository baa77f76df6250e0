// Fakes and helpers for the call store and modem log tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "capture/callstore.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform_test_util.h"

namespace dorvane::testing {

// Files held in memory. A file can be made unreadable (the driver holds it), and a hook runs
// after each read so a test can play the driver writing to the log meanwhile.
class FakeFileSystem : public FileSystem {
 public:
  struct File {
    std::string content;
    FileStamp stamp;
    bool readable = true;
  };

  void Put(const std::string& path, std::string content, bool readable = true) {
    File& f = files_[path];
    f.stamp = FileStamp{content.size(), ++clock_};
    f.content = std::move(content);
    f.readable = readable;
  }
  void Append(const std::string& path, const std::string& text) {
    File& f = files_.at(path);
    f.content += text;
    f.stamp = FileStamp{f.content.size(), ++clock_};
  }
  bool Has(const std::string& path) const { return files_.count(path) != 0; }

  std::function<void(const std::string&)> afterRead;
  std::vector<std::string> deleted;

  bool Exists(const std::string& path) const override { return files_.count(path) != 0; }
  std::optional<std::string> ReadAll(const std::string& path) const override {
    auto it = files_.find(path);
    if (it == files_.end() || !it->second.readable) return std::nullopt;
    std::string content = it->second.content;
    if (afterRead) afterRead(path);
    return content;
  }
  // Hands the bytes out `chunk` at a time when it is set, as a slow reader would get them.
  std::size_t chunk = 0;
  ReadBlock OpenBytes(const std::string& path) const override {
    std::optional<std::string> content = ReadAll(path);
    if (!content) return nullptr;
    if (chunk == 0) return TextBlocks(std::move(*content));
    auto text = std::make_shared<std::string>(std::move(*content));
    auto offset = std::make_shared<std::size_t>(0);
    return [text, offset, step = chunk](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
      const std::size_t n = std::min({capacity, step, text->size() - *offset});
      text->copy(buffer, n, *offset);
      *offset += n;
      return static_cast<std::ptrdiff_t>(n);
    };
  }
  bool Delete(const std::string& path) override {
    deleted.push_back(path);
    return files_.erase(path) != 0;
  }
  std::optional<FileStamp> Stamp(const std::string& path) const override {
    auto it = files_.find(path);
    if (it == files_.end()) return std::nullopt;
    return it->second.stamp;
  }

 private:
  std::map<std::string, File> files_;
  std::int64_t clock_ = 0;
};

// Fails the test on any box it was not told to expect; expected information boxes are kept.
class ScriptedMessages : public MessageService {
 public:
  std::vector<std::string> expectedInformation;
  std::vector<std::string> shownInformation;

  Answer Confirm(const std::string& text, bool) override {
    ADD_FAILURE() << "unexpected confirmation: " << text;
    return Answer::No;
  }
  void Information(const std::string& text) override {
    shownInformation.push_back(text);
    if (shownInformation.size() > expectedInformation.size() ||
        expectedInformation[shownInformation.size() - 1] != text) {
      ADD_FAILURE() << "unexpected information: " << text;
    }
  }
  void Warning(const std::string& text) override {
    ADD_FAILURE() << "unexpected warning: " << text;
  }
  void ErrorMessage(const std::string& text) override {
    ADD_FAILURE() << "unexpected error box: " << text;
  }
  void Note(const std::string& text) override { ADD_FAILURE() << "unexpected note: " << text; }
  void ShowError(const std::string& message) override {
    ADD_FAILURE() << "unexpected error: " << message;
  }
};

inline RegionalSettings PointSettings() {
  return RegionalSettings{};
}

inline RegionalSettings CommaSettings() {
  RegionalSettings rs;
  rs.decimalSeparator = ",";
  rs.thousandSeparator = ".";
  return rs;
}

// The call lines of a store text, as (start, end) texts in file order.
inline std::vector<std::pair<std::string, std::string>> CallLines(std::string_view storeText) {
  std::vector<std::pair<std::string, std::string>> calls;
  ForEachCallLine(storeText, [&](std::string_view start, std::string_view end) {
    calls.emplace_back(start, end);
    return true;
  });
  return calls;
}

}  // namespace dorvane::testing
