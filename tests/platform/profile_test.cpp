#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "support/files.h"

namespace dorvane {
namespace {

using testing::ReadBytes, testing::TempDir, testing::WriteBytes;

// One operation on the file, through ProfileFile; a read carries the text it must give.
struct Op {
  enum Kind { Write, Delete, Erase, Read } kind;
  std::string section;
  std::string key;
  std::string text;  // value to write, or default of a read
  std::string expected = {};
};

Op W(std::string s, std::string k, std::string v) {
  return {Op::Write, s, k, v};
}
Op D(std::string s, std::string k) {
  return {Op::Delete, s, k, ""};
}
Op E(std::string s) {
  return {Op::Erase, s, "", ""};
}
Op R(std::string s, std::string k, std::string def, std::string expected) {
  return {Op::Read, s, k, def, expected};
}

struct Case {
  const char* name;
  std::optional<std::string> before;  // nullopt: no file
  std::vector<Op> ops;
  std::optional<std::string> after;  // the whole file afterwards, when it matters
};

const std::string kW1 =
    "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n"
    "[App3]\r\nkey5=string5\r\n";
const std::string kW2 =
    "[App1]\r\nkey1=string1\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n[App3]\r\nkey5="
    "string5\r\n";
const std::string kW2c = "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n";
const std::string kThirtyOne = "[old]\r\nkey=value\r\nno line end!!";

std::string R1File(const std::string& eol) {
  return "[section1]" + eol + "name1=val1" + eol + "name2=\"val2\"" + eol + "name3" + eol +
         "name4=a" + eol + "[section2]" + eol;
}

std::vector<Op> R1Reads() {
  return {R("section1", "name1", "def", "val1"),      R("section1", "name2", "def", "val2"),
          R("section1", "name3", "def", "def"),       R("section1", "name4", "def", "a"),
          R("section1", "NaMe1", "def", "val1"),      R("section2", "name1", "def", "def"),
          R("no such section", "name1", "def", "def")};
}

std::vector<Case> BlackBoxCases() {
  const std::string long2000(2000, 'x');
  return {
      {"W1",
       std::nullopt,
       {W("App1", "key1", "string1"), W("App1", "key2", "string2"), W("App1", "key3", "string3"),
        W("App2", "key4", "string4"), W("App3", "key5", "string5")},
       kW1},
      {"W2", kW1, {D("App1", "key2")}, kW2},
      {"W2b", kW2, {D("App1", "key2")}, kW2},
      {"W2c", kW2, {E("App1")}, kW2c},
      {"W2d", kW2c, {D("App3", "key5")}, "[App2]\r\nkey4=string4\r\n[App3]\r\n"},
      {"W3", std::nullopt, {W("App", "key", "")}, "[App]\r\nkey=\r\n"},
      {"W4",
       kThirtyOne,
       {W("section1", "key1", "string1")},
       kThirtyOne + "\r\n[section1]\r\nkey1=string1\r\n"},
      {"W5",
       "[A]\r\nx=1\r\n\r\n; note\r\n[B]\r\ny=2\r\n",
       {W("A", "z", "3")},
       "[A]\r\nx=1\r\nz=3\r\n\r\n; note\r\n[B]\r\ny=2\r\n"},
      {"W6", "[A]\r\n a = 1 \r\n", {W("a", "A", "2"), R("A", "a", "", "2")}, "[A]\r\na=2\r\n"},
      {"R1 CR LF", R1File("\r\n"), R1Reads(), R1File("\r\n")},
      {"R1 CR", R1File("\r"), R1Reads(), std::nullopt},
      {"R1 LF", R1File("\n"), R1Reads(), std::nullopt},
      {"R2", "[s]\r\n", {R("s", "missing", "default  ", "default")}, std::nullopt},
      {"R3", "[s]\r\nk=" + long2000 + "\r\n", {R("s", "k", "", long2000.substr(0, 1023))}, {}},
      {"R4", "[ section1 ]\r\nk=v\r\n", {R("section1", "k", "", "v")}, std::nullopt},
      {"R5",
       "[s]\r\nk=first\r\n[S]\r\nk=second\r\nj=only\r\n",
       {R("s", "k", "", "first"), R("s", "j", "def", "def")},
       std::nullopt},
      // Beyond the numbered cases: the edges of the line grammar.
      {"quotes",
       "[q]\r\na='x y'\r\nb=\"\r\nc='\"\r\nd=\"  in  \"\r\ne=\"\"\r\n",
       {R("q", "a", "", "x y"), R("q", "b", "", "\""), R("q", "c", "", "'\""),
        R("q", "d", "", "  in  "), R("q", "e", "def", "")},
       std::nullopt},
      {"comments and lines before any section",
       "k=top\r\n[s]\r\n;k=hidden\r\n; k = hidden\r\n",
       {R("s", "k", "def", "def"), R("s", ";k", "def", "def"), R("", "k", "def", "def")},
       std::nullopt},
      {"blanks of every kind around names and values",
       "\t[ s\v]\x1A\r\n \f k\t=\t v \x1A\r\n",
       {R(" s ", "\tk", "", "v")},
       std::nullopt},
      {"a bracket without its closing bracket is no section",
       "[s]\r\n[t=1\r\n",
       {R("s", "[t", "", "1"), R("t", "x", "def", "def")},
       std::nullopt},
      {"text after the closing bracket is ignored",
       "[s] trailing ] text\r\nk=1\r\n",
       {R("s] trailing", "k", "", "1")},
       std::nullopt},
      {"byte-order mark skipped on read, kept on write",
       "\xEF\xBB\xBF[s]\r\nk=1\r\n",
       {R("s", "k", "", "1"), W("s", "k", "2")},
       "\xEF\xBB\xBF[s]\r\nk=2\r\n"},
      {"UTF-8 text round trip, letters beyond ASCII match exactly",
       std::nullopt,
       {W("Größe", "Straße", "Ærø"), R("Größe", "Straße", "", "Ærø"),
        R("GRößE", "STRAßE", "", "Ærø"), R("GRÖSSE", "Straße", "def", "def")},
       "[Größe]\r\nStraße=Ærø\r\n"},
      {"a write to the second of two sections of a name goes to the first",
       "[s]\r\nk=1\r\n[t]\r\n[S]\r\nj=2\r\n",
       {W("S", "j", "3")},
       "[s]\r\nk=1\r\nj=3\r\n[t]\r\n[S]\r\nj=2\r\n"},
      {"erasing the first of two sections uncovers the second",
       "[s]\r\nk=1\r\n[S]\r\nk=2\r\n",
       {E("s"), R("s", "k", "", "2")},
       "[S]\r\nk=2\r\n"},
      {"deleting the first of two equal keys uncovers the second",
       "[s]\r\nk=1\r\nK=2\r\n",
       {D("s", "k"), R("s", "k", "", "2")},
       "[s]\r\nK=2\r\n"},
      {"a key without '=' reads as the default and is replaced by a write",
       "[s]\r\nname3\r\n",
       {R("s", "name3", "def", "def"), W("s", "name3", "v")},
       "[s]\r\nname3=v\r\n"},
      {"unrelated bytes and LF line ends survive a write",
       "; header\n\n[s]\n  k = 1  \nj=2\n\n[t]\nx=\x01\xff\n",
       {W("s", "j", "3"), W("t", "y", "4")},
       "; header\n\n[s]\n  k = 1  \nj=3\n\n[t]\nx=\x01\xff\ny=4\r\n"},
      {"a new key after a last line that has no line end",
       "[s]\r\nk=1",
       {W("s", "j", "2")},
       "[s]\r\nk=1\r\nj=2\r\n"},
      {"writing the value the key holds leaves the line as it is",
       "[s]\r\n k = 1 \r\n",
       {W("s", "k", "1")},
       "[s]\r\n k = 1 \r\n"},
      {"erasing a section takes its comments and blank lines up to the next section",
       "[a]\r\nk=1\r\n; c\r\n\r\n[b]\r\nk=2",
       {E("a"), E("missing"), D("b", "missing")},
       "[b]\r\nk=2"},
      {"a section erased and written again goes to the end",
       "[a]\r\nk=1\r\n[b]\r\nk=2\r\n",
       {E("a"), W("a", "k", "3")},
       "[b]\r\nk=2\r\n[a]\r\nk=3\r\n"},
  };
}

TEST(ProfileFile, BlackBoxCases) {
  for (const Case& c : BlackBoxCases()) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("test.ini");
    if (c.before) WriteBytes(path, *c.before);
    ProfileFile ini(path);
    for (const Op& op : c.ops) {
      switch (op.kind) {
        case Op::Write:
          ini.WriteString(op.section, op.key, op.text);
          break;
        case Op::Delete:
          ini.DeleteKey(op.section, op.key);
          break;
        case Op::Erase:
          ini.EraseSection(op.section);
          break;
        case Op::Read:
          EXPECT_EQ(ini.ReadString(op.section, op.key, op.text), op.expected)
              << op.section << "/" << op.key;
          // The batch reader must agree with the single-pass reader.
          EXPECT_EQ(ProfileEdit(ini).ReadString(op.section, op.key, op.text), op.expected)
              << op.section << "/" << op.key << " through a batch";
          break;
      }
    }
    if (c.after) {
      EXPECT_EQ(ReadBytes(path).value_or("<no file>"), *c.after);
    }
  }
}

TEST(ProfileFile, MissingFileGivesDefaultsAndIsNotCreatedByReadsOrDeletes) {
  TempDir dir;
  ProfileFile ini(dir.File("none.ini"));
  EXPECT_EQ(ini.ReadString("s", "k", "def "), "def");
  EXPECT_EQ(ini.ReadInteger("s", "k", 7), 7);
  EXPECT_TRUE(ini.ReadBool("s", "k", true));
  ini.DeleteKey("s", "k");
  ini.EraseSection("s");
  EXPECT_FALSE(ReadBytes(ini.Path()).has_value());
}

TEST(ProfileFile, SeesChangesMadeByOthers) {  // R6
  TempDir dir;
  ProfileFile ini(dir.File("r6.ini"));
  WriteBytes(ini.Path(), "[s]\r\nk=old\r\n");
  EXPECT_EQ(ini.ReadString("s", "k", ""), "old");
  WriteBytes(ini.Path(), "[s]\r\nk=new\r\n");
  EXPECT_EQ(ini.ReadString("s", "k", ""), "new");
}

TEST(ProfileFile, IntegersAndBooleans) {
  struct Case {
    const char* stored;  // nullptr: key absent
    int integer;         // read with default 1 (I1)
    bool boolean;        // read with default false (B1)
  } cases[] = {
      {"3", 3, true},
      {" 3", 3, true},
      {"-1", -1, true},
      {"0x10", 16, true},
      {"0X1f", 31, true},
      {"0x", 1, false},
      {"abc", 1, false},
      {"12abc", 1, false},
      {"99999999999", 1, false},
      {"", 1, false},
      {"1", 1, true},
      {"0", 0, false},
      {"2", 2, true},
      {"yes", 1, false},
      {"true", 1, false},
      {"+5", 5, true},
      {"2147483647", 2147483647, true},
      {"-2147483648", -2147483647 - 1, true},
      {"2147483648", 1, false},
      {"0xFFFFFFFF", -1, true},
      {"0x100000000", 1, false},
      {"0x-1", 1, false},
      {"-", 1, false},
      {nullptr, 1, false},
  };
  TempDir dir;
  ProfileFile ini(dir.File("numbers.ini"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored ? c.stored : "(absent)");
    if (c.stored) {
      WriteBytes(ini.Path(), std::string("[s]\r\nCount=") + c.stored + "\r\nWarn=" + c.stored);
    } else {
      WriteBytes(ini.Path(), "[s]\r\n");
    }
    EXPECT_EQ(ini.ReadInteger("s", "Count", 1), c.integer);
    EXPECT_EQ(ini.ReadBool("s", "Warn", false), c.boolean);
  }
  // A value that is not an integer keeps whichever default the caller gives.
  WriteBytes(ini.Path(), "[s]\r\nWarn=yes\r\n");
  EXPECT_TRUE(ini.ReadBool("s", "Warn", true));
}

TEST(ProfileFile, WritesIntegersAndBooleansAsDecimalText) {
  TempDir dir;
  ProfileFile ini(dir.File("w.ini"));
  ini.WriteInteger("PageControl", "ActivePage", 3);
  ini.WriteInteger("s", "Low", -2147483647 - 1);
  ini.WriteBool("s", "On", true);
  ini.WriteBool("s", "Off", false);
  EXPECT_EQ(ReadBytes(ini.Path()),
            "[PageControl]\r\nActivePage=3\r\n[s]\r\nLow=-2147483648\r\nOn=1\r\nOff=0\r\n");
  EXPECT_EQ(ini.ReadInteger("s", "Low", 0), -2147483647 - 1);
}

TEST(ProfileFile, WriteFailuresNameTheFile) {  // W7
  TempDir dir;
  WriteBytes(dir.File("plain"), "x");
  mkdir(dir.File("folder.ini").c_str(), 0755);
  std::vector<std::string> paths = {
      dir.File("missing/test.ini"),  // no folder
      dir.File("plain/test.ini"),    // the "folder" is a regular file
      dir.File("folder.ini"),        // a folder where the file should be
  };
  // A file the user made read-only refuses even a write that would change nothing.
  WriteBytes(dir.File("ro.ini"), "[s]\r\nk=v\r\n");
  chmod(dir.File("ro.ini").c_str(), 0444);
  paths.push_back(dir.File("ro.ini"));
  for (const auto& path : paths) {
    SCOPED_TRACE(path);
    ProfileFile ini(path);
    try {
      ini.WriteString("s", "k", "v");
      ADD_FAILURE() << "the write succeeded";
    } catch (const WriteError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
  }
}

TEST(ProfileFile, RefusesTextThatWouldChangeTheFilesStructure) {
  TempDir dir;
  ProfileFile ini(dir.File("t.ini"));
  WriteBytes(ini.Path(), "[s]\r\nk=1\r\n");
  const std::string expected = "Unable to write to " + ini.Path();
  struct Bad {
    const char* section;
    const char* key;
    const char* value;
  } bad[] = {
      {"s", "k", "1\r\n[Prog]\r\nFirstTime=1"},
      {"s", "k", "1\n"},
      {"s\r\n[x]", "k", "1"},
      {"s", "a\nb", "1"},
      {"s", "a=b", "1"},
      {"s", ";k", "1"},
      {"s", "[x]", "1"},
      {"s", " ;k", "1"},
      {"s", "\t[x]", "1"},
  };
  for (const auto& b : bad) {
    SCOPED_TRACE(b.value);
    try {
      ini.WriteString(b.section, b.key, b.value);
      ADD_FAILURE() << "accepted";
    } catch (const WriteError& e) {
      EXPECT_EQ(std::string(e.what()), expected);
    }
  }
  EXPECT_EQ(ReadBytes(ini.Path()), "[s]\r\nk=1\r\n");
}

TEST(ProfileFile, RelativePathIsReportedInFull) {
  TempDir dir;
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  ProfileFile ini("missing/x.ini");
  std::string message;
  try {
    ini.WriteString("s", "k", "v");
  } catch (const WriteError& e) {
    message = e.what();
  }
  ASSERT_EQ(chdir(cwd), 0);
  char real[4096];
  ASSERT_NE(realpath(dir.Path().c_str(), real), nullptr);
  EXPECT_EQ(message, "Unable to write to " + std::string(real) + "/missing/x.ini");
}

TEST(ProfileEdit, BatchReadsItsOwnWritesAndWritesOnceOnCommit) {
  TempDir dir;
  ProfileFile ini(dir.File("batch.ini"));
  WriteBytes(ini.Path(), "[1998-7]\r\n36006.8430905671=36006.8699199074\r\n");
  {
    ProfileEdit edit(ini);
    EXPECT_FALSE(edit.Dirty());
    edit.WriteString("1998-7", "36007.5", "36007.6");
    edit.WriteString("1998-8", "36008.1", "36008.2");
    edit.WriteString("1998-8", "36008.1", "36008.3");
    EXPECT_TRUE(edit.Dirty());
    EXPECT_EQ(edit.ReadString("1998-7", "36007.5", ""), "36007.6");
    EXPECT_EQ(edit.ReadString("1998-8", "36008.1", ""), "36008.3");
    // Nothing reaches the file before the commit.
    EXPECT_EQ(ini.ReadString("1998-8", "36008.1", "none"), "none");
    edit.Commit();
    EXPECT_FALSE(edit.Dirty());
    EXPECT_EQ(ReadBytes(ini.Path()),
              "[1998-7]\r\n36006.8430905671=36006.8699199074\r\n36007.5=36007.6\r\n"
              "[1998-8]\r\n36008.1=36008.3\r\n");
    // The batch stays usable after a commit; this write is then dropped with it.
    edit.DeleteKey("1998-7", "36007.5");
    EXPECT_EQ(edit.ReadString("1998-7", "36007.5", "gone"), "gone");
  }
  EXPECT_EQ(ini.ReadString("1998-7", "36007.5", ""), "36007.6");
}

TEST(ProfileEdit, CleanBatchLeavesTheFileAlone) {
  TempDir dir;
  ProfileFile ini(dir.File("clean.ini"));
  ProfileEdit(ini).Commit();
  EXPECT_FALSE(ReadBytes(ini.Path()).has_value());

  WriteBytes(ini.Path(), "[s]\r\nk = v\r\n");
  struct stat before {};
  stat(ini.Path().c_str(), &before);
  ini.WriteString("s", "k", "v");
  struct stat after {};
  stat(ini.Path().c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino);  // not even replaced
}

TEST(ProfileEdit, KeysOfErasedAndDeletedLinesAreGoneForGood) {
  TempDir dir;
  ProfileFile ini(dir.File("e.ini"));
  ProfileEdit edit(ini);
  edit.WriteString("a", "k", "1");
  edit.WriteString("a", "j", "2");
  edit.WriteString("b", "k", "3");
  edit.DeleteKey("a", "j");
  edit.WriteString("a", "i", "4");  // goes where j was the last key
  edit.EraseSection("b");
  EXPECT_EQ(edit.ReadString("b", "k", "def"), "def");
  edit.WriteString("b", "x", "5");
  edit.Commit();
  EXPECT_EQ(ReadBytes(ini.Path()), "[a]\r\nk=1\r\ni=4\r\n[b]\r\nx=5\r\n");
}

TEST(ProfileEdit, NestedAccessToTheSameFileDoesNotWaitForItself) {
  TempDir dir;
  ProfileFile ini(dir.File("nested.ini"));
  ProfileEdit outer(ini);
  ini.WriteString("s", "k", "inner");  // a second lock on the same file, same thread
  EXPECT_EQ(ini.ReadString("s", "k", ""), "inner");
}

// Two processes writing different keys of one file: the lock keeps every write.
TEST(ProfileFile, ConcurrentWritersLoseNothing) {
  TempDir dir;
  const std::string path = dir.File("shared.ini");
  constexpr int kWrites = 40;
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ProfileFile ini(path);
    for (int i = 0; i < kWrites; ++i) ini.WriteString("s", "child" + std::to_string(i), "c");
    _exit(0);
  }
  ProfileFile ini(path);
  for (int i = 0; i < kWrites; ++i) ini.WriteString("s", "parent" + std::to_string(i), "p");
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ(ini.ReadString("s", "child" + std::to_string(i), ""), "c") << i;
    EXPECT_EQ(ini.ReadString("s", "parent" + std::to_string(i), ""), "p") << i;
  }
  // The lock leaves no file behind.
  std::vector<std::string> entries;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
    entries.push_back(e.path().filename().string());
  }
  EXPECT_EQ(entries, std::vector<std::string>{"shared.ini"});
}

}  // namespace
}  // namespace dorvane
