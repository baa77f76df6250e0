#include "platform/linereader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/files.h"

namespace dorvane {
namespace {

std::vector<std::string> AllLines(LineSource& source) {
  std::vector<std::string> lines;
  std::string_view line;
  while (source.Next(line)) lines.emplace_back(line);
  return lines;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(text)) lines.emplace_back(line);
  return lines;
}

// The lines of a text handed to a LineCutter in pieces of `size` bytes.
std::vector<std::string> CutLines(const std::string& text, std::size_t size) {
  std::vector<std::string> lines;
  std::string line;
  LineCutter cutter;
  for (std::size_t at = 0; at < text.size(); at += size) {
    cutter.Feed(std::string_view(text).substr(at, size), [&](std::string_view piece, bool ended) {
      line.append(piece);
      if (!ended) return;
      lines.push_back(line);
      line.clear();
    });
  }
  if (cutter.Finish()) lines.push_back(line);
  return lines;
}

// A line ends at CR LF, LF or CR, and a final line end adds no empty line: the same lines
// whether the text is held whole, read in blocks or handed in pieces, whatever the block size,
// a line end split across two blocks included; and the line ends a cursor hands out, put back
// between the lines, give the text again.
TEST(LineEnds, EveryReaderCutsTheSameLines) {
  using Lines = std::vector<std::string>;
  const struct Case {
    std::string text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"\r\n", {""}},
      {"a\n\n", {"a", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"\r\r\n\n\r", {"", "", "", ""}},
      {"ab\r", {"ab"}},
      {"ab\rcd", {"ab", "cd"}},
      {"[1999-7]\r\n36006=36007\r\n", {"[1999-7]", "36006=36007"}},
      {std::string(300, 'x') + "\r\n" + std::string(5, 'y'),
       {std::string(300, 'x'), std::string(5, 'y')}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Split(c.text), c.lines);
    std::string rejoined;
    LineCursor cursor(c.text);
    std::string_view line;
    std::string_view end;
    while (cursor.Next(line, end)) rejoined.append(line).append(end);
    EXPECT_EQ(rejoined, c.text);
    for (std::size_t block : {1u, 2u, 3u, 7u, 65536u}) {
      auto source = TextLines(c.text, block);
      EXPECT_EQ(AllLines(*source), c.lines) << "block " << block;
      EXPECT_FALSE(source->Failed());
      EXPECT_EQ(source->Size(), c.text.size());
      EXPECT_EQ(CutLines(c.text, block), c.lines) << "pieces of " << block;
    }
  }
}

TEST(BlockLineReader, ReadErrorEndsTheLinesWithoutTheTornOne) {
  int calls = 0;
  BlockLineReader reader(
      [&](char* buffer, std::size_t) -> std::ptrdiff_t {
        if (++calls > 1) return -1;
        std::string_view block = "one\r\ntw";
        std::copy(block.begin(), block.end(), buffer);
        return static_cast<std::ptrdiff_t>(block.size());
      },
      100, 16);
  EXPECT_EQ(AllLines(reader), std::vector<std::string>{"one"});
  EXPECT_TRUE(reader.Failed());
}

TEST(RealFileSystem, OpensLinesThroughTheDriveRoot) {
  testing::TempDir dir;
  RealFileSystem fs(dir.Path());
  EXPECT_EQ(fs.OpenLines("\\Calls.DB"), nullptr);
  const std::string text = "[1999-7]\r\n" + std::string(200000, '9') + "=1\r\n\r\nlast";
  testing::WriteBytes(dir.File("Calls.DB"), text);
  auto source = fs.OpenLines("C:\\Calls.DB");
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(source->Size(), text.size());
  EXPECT_EQ(AllLines(*source), Split(text));
  EXPECT_FALSE(source->Failed());

  auto folder = fs.OpenLines(dir.Path());  // opens, but reading a folder fails
  std::string_view line;
  if (folder != nullptr) {
    EXPECT_FALSE(folder->Next(line));
    EXPECT_TRUE(folder->Failed());
  }
}

// Every pass over a snapshot reads the file that was opened, also after an atomic replace of it.
TEST(RealFileSystem, ASnapshotKeepsTheVersionItOpened) {
  testing::TempDir dir;
  RealFileSystem fs(dir.Path());
  EXPECT_EQ(fs.OpenSnapshot(dir.File("none.DB")), nullptr);
  EXPECT_EQ(fs.OpenSnapshot(dir.Path()), nullptr);
  const std::string old = "[1999-7]\r\n" + std::string(100000, '1') + "=2\r\nlast";
  testing::WriteBytes(dir.File("Calls.DB"), old);
  const auto snapshot = fs.OpenSnapshot(dir.File("Calls.DB"));
  ASSERT_NE(snapshot, nullptr);
  auto first = snapshot->Lines();
  ASSERT_TRUE(WriteFileAtomically(dir.File("Calls.DB"), "[2005-1]\r\n3=4\r\n"));
  auto second = snapshot->Lines();
  EXPECT_EQ(AllLines(*second), Split(old));
  EXPECT_EQ(AllLines(*first), Split(old));
  EXPECT_EQ(AllLines(*snapshot->Lines()), Split(old));
}

}  // namespace
}  // namespace dorvane
