#include "app/paste_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "common/errors.h"
#include "support/temp_dir.h"

namespace trovlin::app {
namespace {

using trovlin::testing::ReadBytes;
using trovlin::testing::Sjis;
using trovlin::testing::TempDir;

TEST(PasteFileTest, PathInTheFolderNamedByTmp) {
  EXPECT_EQ(PasteFilePath("/var/tmp"), "/var/tmp/trovlint001.tmp");
  EXPECT_EQ(PasteFilePath(nullptr), "trovlint001.tmp");
  EXPECT_EQ(PasteFilePath(""), "trovlint001.tmp");
}

TEST(PasteFileTest, ClipboardLineBreaksAreCrLf) {
  struct Case {
    std::u16string in, out;
  };
  const Case cases[] = {
      {u"a\nb", u"a\r\nb"},     {u"a\r\nb", u"a\r\nb"}, {u"a\nb\n", u"a\r\nb\r\n"},
      {u"\n\na", u"\r\n\r\na"}, {u"abc", u"abc"},       {u"a\rb", u"a\rb"},
  };
  for (const Case& c : cases) EXPECT_EQ(ClipboardLineBreaks(c.in), c.out);
}

TEST(PasteFileTest, WritesTheTextInCodePage932WithoutAddingALineEnd) {
  TempDir dir;
  const std::string path = dir.File("trovlint001.tmp");
  EXPECT_EQ(WritePasteFile(path, u"L1   ANSWER 1\r\nTI   触媒"), 0u);
  EXPECT_EQ(ReadBytes(path), "L1   ANSWER 1\r\nTI   " + Sjis(u"触媒"));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(PasteFileTest, ASecondPasteReplacesTheWholeFile) {
  TempDir dir;
  const std::string path = dir.File("trovlint001.tmp");
  WritePasteFile(path, u"a much longer first paste");
  WritePasteFile(path, u"short");
  EXPECT_EQ(ReadBytes(path), "short");
}

TEST(PasteFileTest, CharactersWithoutCodePage932FormAreCountedAndWrittenAsQuestionMarks) {
  TempDir dir;
  const std::string path = dir.File("trovlint001.tmp");
  EXPECT_EQ(WritePasteFile(path, u"a한b한"), 2u);
  EXPECT_EQ(ReadBytes(path), "a?b?");
}

TEST(PasteFileTest, RefusesWhatIsNoOrdinaryFileOfItsOwnAndTellsWhy) {
  struct Case {
    const char* name;
    // Plants something at the paste file's name; gives the name and the file to keep.
    std::pair<std::string, std::string> (*plant)(TempDir&);
    std::string reason;  // "" for any refusal
  };
  const Case cases[] = {
      {"a link planted at the name is not followed",
       [](TempDir& dir) {
         const std::string target = dir.Write("victim.txt", "keep me");
         const std::string path = dir.File("trovlint001.tmp");
         EXPECT_EQ(::symlink(target.c_str(), path.c_str()), 0);
         return std::pair{path, target};
       },
       "it is a symbolic link"},
      {"a file with other names is not written into",
       [](TempDir& dir) {
         const std::string original = dir.Write("original.txt", "keep me");
         const std::string path = dir.File("trovlint001.tmp");
         EXPECT_EQ(::link(original.c_str(), path.c_str()), 0);
         return std::pair{path, original};
       },
       "it has other names (hard links)"},
      {"a missing folder is reported with the system's reason",
       [](TempDir& dir) { return std::pair{dir.File("missing/trovlint001.tmp"), dir.Write("other.txt", "keep me")}; },
       "No such file or directory"},
      // With no reader a FIFO cannot even be opened without blocking; either
      // refusal will do, as long as nothing hangs.
      {"a FIFO",
       [](TempDir& dir) {
         const std::string fifo = dir.File("fifo");
         EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
         return std::pair{fifo, dir.Write("other.txt", "keep me")};
       },
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const auto [path, kept] = c.plant(dir);
    try {
      WritePasteFile(path, u"pasted");
      ADD_FAILURE() << "written";
    } catch (const IoError& e) {
      EXPECT_EQ(e.path(), path);
      if (!c.reason.empty()) {
        EXPECT_EQ(std::string(e.what()), "cannot write the paste file '" + path + "': " + c.reason);
      }
    }
    EXPECT_EQ(ReadBytes(kept), "keep me");
  }
}

}  // namespace
}  // namespace trovlin::app
