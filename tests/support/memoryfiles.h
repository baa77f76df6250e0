// Files held in memory, for tests that drive the core through its file-system seam: a file can
// be made unreadable (the driver holds it), handed out in small pieces or break off after a few
// blocks, and a hook runs after each read so that a test can play a writer meanwhile.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/linereader.h"

namespace dorvane::testing {

class MemoryFileSystem : public FileSystem {
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

  // Runs after each read of a file's content.
  std::function<void(const std::string&)> afterRead;
  // The paths Delete was asked for, in order.
  std::vector<std::string> deleted;
  // At most this many bytes a read when set, as a slow reader would get them.
  std::size_t chunk = 0;
  // The block size of the line readers.
  std::size_t lineBlock = kLineBlockSize;
  // When set, reading fails (a read error) after this many blocks.
  std::optional<int> failAfterBlocks;

  bool Exists(const std::string& path) const override { return Has(path); }
  std::optional<std::string> ReadAll(const std::string& path) const override {
    auto it = files_.find(path);
    if (it == files_.end() || !it->second.readable) return std::nullopt;
    std::string content = it->second.content;
    if (afterRead) afterRead(path);
    return content;
  }
  ReadBlock OpenBytes(const std::string& path) const override {
    std::optional<std::string> content = ReadAll(path);
    if (!content) return nullptr;
    if (chunk == 0 && !failAfterBlocks) return TextBlocks(std::move(*content));
    auto text = std::make_shared<std::string>(std::move(*content));
    std::size_t offset = 0;
    int blocks = 0;
    return [text, offset, blocks, step = chunk, failAfter = failAfterBlocks](
               char* buffer, std::size_t capacity) mutable -> std::ptrdiff_t {
      if (failAfter && blocks++ >= *failAfter) return -1;
      const std::size_t n =
          std::min({capacity, step == 0 ? capacity : step, text->size() - offset});
      text->copy(buffer, n, offset);
      offset += n;
      return static_cast<std::ptrdiff_t>(n);
    };
  }
  std::unique_ptr<LineSource> OpenLines(const std::string& path) const override {
    const auto it = files_.find(path);
    ReadBlock read = OpenBytes(path);
    if (!read) return nullptr;
    return std::make_unique<BlockLineReader>(std::move(read), it->second.content.size(), lineBlock);
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

}  // namespace dorvane::testing
