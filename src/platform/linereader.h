// Text cut into lines, the one rule for every reader of text files: a line ends at CR LF, LF or
// CR, and a final line end adds no empty line. LineEndFinder holds the rule; it is applied to a
// text held whole (LineCursor, SplitLines), to a file read in blocks that the reader asks for
// (BlockLineReader, so that a file of any size is read in bounded memory), and to text handed in
// pieces as it comes (LineCutter, for readers that decode or unpack on the way).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dorvane {

// Where a line ends: the offset of its line end and the line end's length (2 for CR LF, 1 for LF
// or CR, 0 when the text holds no line end after the line: `at` is then the text's size).
struct LineBreak {
  std::size_t at = 0;
  std::size_t length = 0;
};

// Finds line ends in a text, searching each character once however the lines end: the next LF
// is remembered while it lies ahead, so that a text of CR line ends is not searched to its end
// for every line. A CR that is the text's last byte ends a line of length 1; a reader of pieces
// looks at the next piece for its LF.
class LineEndFinder {
 public:
  // The first line end in `text` at or after `from`.
  LineBreak Next(std::string_view text, std::size_t from);
  // To be called when the text changes (it moved, or grew).
  void Forget() { lf_ = kUnknown; }

 private:
  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
  std::size_t lf_ = kUnknown;
};

// The lines of a text held whole, each with its line end.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : text_(text) {}
  // The next line and its line end ("\r\n", "\n", "\r", or none after a last line); false
  // after the last line.
  bool Next(std::string_view& line, std::string_view& lineEnd);
  // The next line without its line end.
  bool Next(std::string_view& line) {
    std::string_view lineEnd;
    return Next(line, lineEnd);
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  LineEndFinder finder_;
};

// Splits text into lines; a final line end adds no empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

// Cuts text that comes in pieces into lines, handing each line on in pieces, so that a line of
// any length costs no memory here: `onPiece(piece, ended)` for each piece of a line, `ended`
// true for the piece that ends it (possibly empty). A CR that ends one piece and an LF that
// starts the next are one line end.
class LineCutter {
 public:
  template <typename OnPiece>
  void Feed(std::string_view text, OnPiece&& onPiece) {
    if (skipLf_ && !text.empty()) {
      skipLf_ = false;
      if (text.front() == '\n') text.remove_prefix(1);
    }
    finder_.Forget();
    std::size_t pos = 0;
    while (pos < text.size()) {
      const LineBreak end = finder_.Next(text, pos);
      if (end.length == 0) {
        onPiece(text.substr(pos), false);
        open_ = true;
        return;
      }
      onPiece(text.substr(pos, end.at - pos), true);
      open_ = false;
      skipLf_ = text[end.at] == '\r' && end.at + 1 == text.size();
      pos = end.at + end.length;
    }
  }
  // At the end of the text: true when a last line without a line end is still open (its
  // pieces handed on, its end not).
  bool Finish() {
    const bool open = open_;
    open_ = false;
    skipLf_ = false;
    return open;
  }

 private:
  LineEndFinder finder_;
  bool skipLf_ = false;
  bool open_ = false;
};

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

  ReadBlock read_;
  std::uint64_t size_;
  std::size_t blockSize_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;  // first unread byte
  std::size_t scan_ = 0;   // first byte not yet searched for a line end
  std::size_t end_ = 0;    // end of the bytes read
  LineEndFinder finder_;
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
