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

// Whatever the block size, a line end split across two blocks included, the lines are those of
// SplitLines.
TEST(BlockLineReader, SameLinesAsSplitLinesAtEveryBlockSize) {
  const std::string texts[] = {
      "",
      "a",
      "a\r\n",
      "a\r\nb\nc\rd",
      "\r\n",
      "a\n\n",
      "a\r\r\nb",
      "a\n\rb",
      "\r\r\n\n\r",
      "ab\r",
      "ab\rcd",
      "[1999-7]\r\n36006=36007\r\n",
      std::string(300, 'x') + "\r\n" + std::string(5, 'y'),
  };
  for (const std::string& text : texts) {
    for (std::size_t block : {1u, 2u, 3u, 7u, 65536u}) {
      auto source = TextLines(text, block);
      EXPECT_EQ(AllLines(*source), Split(text)) << text << " block " << block;
      EXPECT_FALSE(source->Failed());
      EXPECT_EQ(source->Size(), text.size());
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

}  // namespace
}  // namespace dorvane
