#include "platform/linereader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/files.h"

namespace dorvane {

BlockLineReader::BlockLineReader(ReadBlock read, std::uint64_t size, std::size_t blockSize)
    : read_(std::move(read)), size_(size), blockSize_(blockSize == 0 ? 1 : blockSize) {}

LineBreak LineEndFinder::Next(std::string_view text, std::size_t from) {
  const char* data = text.data();
  const std::size_t size = text.size();
  if (lf_ == kUnknown || lf_ < from) {
    // An empty text may have no data pointer, which memchr may not be given even for no bytes.
    const void* lf = size > from ? std::memchr(data + from, '\n', size - from) : nullptr;
    lf_ = lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : size;
  }
  const void* cr = lf_ > from ? std::memchr(data + from, '\r', lf_ - from) : nullptr;
  LineBreak end;
  end.at = cr != nullptr ? static_cast<std::size_t>(static_cast<const char*>(cr) - data) : lf_;
  if (end.at < size) {
    end.length = data[end.at] == '\r' && end.at + 1 < size && data[end.at + 1] == '\n' ? 2 : 1;
  }
  return end;
}

bool LineCursor::Next(std::string_view& line, std::string_view& lineEnd) {
  if (pos_ >= text_.size()) return false;
  const LineBreak end = finder_.Next(text_, pos_);
  line = text_.substr(pos_, end.at - pos_);
  lineEnd = text_.substr(end.at, end.length);
  pos_ = end.at + end.length;
  return true;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  LineCursor cursor(text);
  std::string_view line;
  while (cursor.Next(line)) lines.push_back(line);
  return lines;
}

bool BlockLineReader::Next(std::string_view& line) {
  for (;;) {
    const char* data = buffer_.data();
    const LineBreak end = finder_.Next(std::string_view(data, end_), scan_);
    if (end.length > 0) {
      if (data[end.at] == '\r' && end.at + 1 == end_ && !atEnd_) {
        // A CR at the end of what has been read: the next block tells whether an LF follows.
        scan_ = end.at;
        Refill();
        continue;
      }
      line = std::string_view(data + begin_, end.at - begin_);
      lineEnd_ = std::string_view(data + end.at, end.length);
      begin_ = scan_ = end.at + end.length;
      return true;
    }
    scan_ = end_;
    if (atEnd_) {
      // A last line without a line end; after a read error the torn line is not handed out.
      if (failed_ || begin_ == end_) return false;
      line = std::string_view(data + begin_, end_ - begin_);
      lineEnd_ = {};
      begin_ = scan_ = end_;
      return true;
    }
    Refill();
  }
}

bool BlockLineReader::Refill() {
  if (atEnd_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    scan_ -= begin_;
    end_ -= begin_;
    begin_ = 0;
  }
  // Only a line longer than a block makes the buffer grow.
  if (buffer_.size() - end_ < blockSize_) buffer_.resize(end_ + blockSize_);
  finder_.Forget();  // the line ends are looked for again in what is read now
  const std::ptrdiff_t got = read_(buffer_.data() + end_, blockSize_);
  if (got <= 0) {
    atEnd_ = true;
    failed_ = got < 0;
    return false;
  }
  end_ += static_cast<std::size_t>(got);
  return true;
}

ReadBlock TextBlocks(std::string text) {
  struct Text {
    std::string content;
    std::size_t offset = 0;
  };
  auto source = std::make_shared<Text>();
  source->content = std::move(text);
  return [source](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
    const std::size_t n = std::min(capacity, source->content.size() - source->offset);
    std::memcpy(buffer, source->content.data() + source->offset, n);
    source->offset += n;
    return static_cast<std::ptrdiff_t>(n);
  };
}

std::unique_ptr<LineSource> TextLines(std::string text, std::size_t blockSize) {
  const std::uint64_t size = text.size();
  return std::make_unique<BlockLineReader>(TextBlocks(std::move(text)), size, blockSize);
}

ReadBlock DescriptorBlocks(int fd) {
  return [fd](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
    for (;;) {
      const ssize_t got = ::read(fd, buffer, capacity);
      if (got >= 0 || errno != EINTR) return got;
    }
  };
}

ReadBlock OpenFileBlocks(const std::string& nativePath, std::uint64_t* size) {
  const int fd = ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (size) {
    *size = ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
  }
  // The descriptor closes with the last copy of the reading function.
  auto descriptor = std::shared_ptr<int>(new int(fd), [](int* p) {
    ::close(*p);
    delete p;
  });
  return [descriptor, read = DescriptorBlocks(fd)](char* buffer, std::size_t capacity) {
    return read(buffer, capacity);
  };
}

std::unique_ptr<LineSource> OpenFileLines(const std::string& nativePath) {
  std::uint64_t size = 0;
  ReadBlock read = OpenFileBlocks(nativePath, &size);
  if (!read) return nullptr;
  return std::make_unique<BlockLineReader>(std::move(read), size);
}

namespace {

class HeldTextSnapshot : public LineSnapshot {
 public:
  explicit HeldTextSnapshot(std::string text) : text_(std::move(text)) {}
  std::unique_ptr<LineSource> Lines() const override { return TextLines(text_); }

 private:
  std::string text_;
};

class DescriptorSnapshot : public LineSnapshot {
 public:
  DescriptorSnapshot(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  ~DescriptorSnapshot() override { ::close(fd_); }
  DescriptorSnapshot(const DescriptorSnapshot&) = delete;
  DescriptorSnapshot& operator=(const DescriptorSnapshot&) = delete;

  // Each pass keeps its own offset (pread), so passes never disturb one another.
  std::unique_ptr<LineSource> Lines() const override {
    auto offset = std::make_shared<std::uint64_t>(0);
    ReadBlock read = [fd = fd_, offset](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
      for (;;) {
        const ssize_t n = ::pread(fd, buffer, capacity, static_cast<off_t>(*offset));
        if (n < 0 && errno == EINTR) continue;
        if (n > 0) *offset += static_cast<std::uint64_t>(n);
        return n;
      }
    };
    return std::make_unique<BlockLineReader>(std::move(read), size_);
  }

 private:
  int fd_;
  std::uint64_t size_;
};

}  // namespace

std::unique_ptr<LineSnapshot> TextSnapshot(std::string text) {
  return std::make_unique<HeldTextSnapshot>(std::move(text));
}

std::unique_ptr<LineSnapshot> OpenFileSnapshot(const std::string& nativePath) {
  const int fd = ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<DescriptorSnapshot>(fd, static_cast<std::uint64_t>(st.st_size));
}

// The file system's line readers live here, beside the readers themselves.

std::unique_ptr<LineSnapshot> FileSystem::OpenSnapshot(const std::string& path) const {
  std::optional<std::string> text = ReadAll(path);
  if (!text) return nullptr;
  return TextSnapshot(std::move(*text));
}

std::unique_ptr<LineSnapshot> RealFileSystem::OpenSnapshot(const std::string& path) const {
  return OpenFileSnapshot(Native(path));
}

std::unique_ptr<LineSource> FileSystem::OpenLines(const std::string& path) const {
  std::optional<std::string> text = ReadAll(path);
  if (!text) return nullptr;
  return TextLines(std::move(*text));
}

std::unique_ptr<LineSource> RealFileSystem::OpenLines(const std::string& path) const {
  return OpenFileLines(Native(path));
}

ReadBlock FileSystem::OpenBytes(const std::string& path) const {
  std::optional<std::string> text = ReadAll(path);
  if (!text) return nullptr;
  return TextBlocks(std::move(*text));
}

ReadBlock RealFileSystem::OpenBytes(const std::string& path) const {
  return OpenFileBlocks(Native(path));
}

}  // namespace dorvane
