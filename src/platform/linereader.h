// Text files read line by line in blocks, so that a file of any size is read in bounded memory.
// The line ends are those of SplitLines: CR LF, LF or CR; a final line end adds no empty line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dorvane {

// The lines of one open file, in file order.
class LineSource {
 public:
  virtual ~LineSource() = default;
  // The next line without its line end; false at the end of the file or when reading failed.
  // The line stays valid until the next call.
  virtual bool Next(std::string_view& line) = 0;
  // True when the lines ended because the file could not be read further.
  virtual bool Failed() const = 0;
  // The file's size in bytes when it was opened.
  virtual std::uint64_t Size() const = 0;
};

// Fills `buffer` with up to `size` bytes; returns how many, 0 at the end, below 0 on an error.
using ReadBlock = std::function<std::ptrdiff_t(char* buffer, std::size_t size)>;

inline constexpr std::size_t kLineBlockSize = 64 * 1024;

// Splits what `read` delivers into lines. Holds one block, more only while a single line is
// longer than a block.
class BlockLineReader : public LineSource {
 public:
  BlockLineReader(ReadBlock read, std::uint64_t size, std::size_t blockSize = kLineBlockSize);

  bool Next(std::string_view& line) override;
  bool Failed() const override { return failed_; }
  std::uint64_t Size() const override { return size_; }
  // The line end of the line last handed out ("\r\n", "\n", "\r", or none after a last line),
  // for a reader that copies a file through byte for byte. Valid as long as the line.
  std::string_view LineEnd() const { return lineEnd_; }

 private:
  // Moves the unread rest to the front and reads behind it; false at the end or on an error.
  bool Refill();
  // The first CR or LF from scan_ on, end_ when there is none.
  std::size_t FindLineEnd();

  ReadBlock read_;
  std::uint64_t size_;
  std::size_t blockSize_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;  // first unread byte
  std::size_t scan_ = 0;   // first byte not yet searched for a line end
  std::size_t end_ = 0;    // end of the bytes read
  // The next LF at or after scan_, end_ for none before end_.
  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
  std::size_t lf_ = kUnknown;
  bool atEnd_ = false;
  bool failed_ = false;
  std::string_view lineEnd_;
};

// The bytes of a text held in memory, handed out as a file's would be.
ReadBlock TextBlocks(std::string text);

// The lines of a text held in memory (the files of a test's fake file system).
std::unique_ptr<LineSource> TextLines(std::string text, std::size_t blockSize = kLineBlockSize);

// One open file whose lines can be read from the first again, pass after pass: each pass reads
// the file as it was opened, even when a rename has replaced it since (the open file keeps the
// old one), so two passes never see two versions of it.
class LineSnapshot {
 public:
  virtual ~LineSnapshot() = default;
  // A new pass from the first line.
  virtual std::unique_ptr<LineSource> Lines() const = 0;
};

// A snapshot of a text held in memory.
std::unique_ptr<LineSnapshot> TextSnapshot(std::string text);

// A snapshot of a file on disk, opened once by its native path; nullptr when it cannot be
// opened or is no regular file.
std::unique_ptr<LineSnapshot> OpenFileSnapshot(const std::string& nativePath);

// The lines of a file on disk, opened by its native path; nullptr when it cannot be opened.
std::unique_ptr<LineSource> OpenFileLines(const std::string& nativePath);

// The bytes read from a descriptor that the caller keeps open and closes.
ReadBlock DescriptorBlocks(int fd);

// The bytes of a file on disk, opened by its native path; an empty function when it cannot be
// opened. The file closes with the last copy of the function; `size` receives its size.
ReadBlock OpenFileBlocks(const std::string& nativePath, std::uint64_t* size = nullptr);

}  // namespace dorvane
