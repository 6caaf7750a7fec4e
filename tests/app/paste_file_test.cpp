#include "app/paste_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/errors.h"
#include "support/temp_dir.h"

namespace trovlin::app {
namespace {

using trovlin::testing::ReadBytes;

// Whatever is planted at the paste file's name, the file it points to keeps
// its bytes; only an earlier paste file of the user's own is replaced.
TEST(PasteFileTest, RefusesWhatIsNoOrdinaryFileOfItsOwnAndTellsWhy) {
  struct Case {
    char plant;          // l: a symbolic link, h: a second name, m: a missing folder, f: a FIFO, p: an earlier paste
    const char* reason;  // "": any refusal (a FIFO must just not hang); nullptr: written
  };
  const Case cases[] = {{'l', "it is a symbolic link"},
                        {'h', "it has other names (hard links)"},
                        {'m', "No such file or directory"},
                        {'f', ""},
                        {'p', nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plant);
    trovlin::testing::TempDir dir;
    const std::string kept = dir.Write("kept.txt", "keep me");
    std::string path = dir.File("trovlint001.tmp");
    if (c.plant == 'm') path = dir.File("missing/trovlint001.tmp");
    if (c.plant == 'p') WritePasteFile(path, u"a longer earlier paste");
    EXPECT_EQ(c.plant == 'l'   ? ::symlink(kept.c_str(), path.c_str())
              : c.plant == 'h' ? ::link(kept.c_str(), path.c_str())
              : c.plant == 'f' ? ::mkfifo(path.c_str(), 0600)
                               : 0,
              0);
    try {
      WritePasteFile(path, u"pasted");
      EXPECT_EQ(c.reason, nullptr);
      struct stat info {};
      EXPECT_TRUE(::stat(path.c_str(), &info) == 0 && (info.st_mode & 0777) == 0600);
      EXPECT_EQ(ReadBytes(path), "pasted");
    } catch (const IoError& e) {
      ASSERT_NE(c.reason, nullptr) << e.what();
      const std::string expected = "cannot write the paste file '" + path + "': " + c.reason;
      EXPECT_EQ(e.what(), *c.reason == '\0' ? std::string(e.what()) : expected);
    }
    EXPECT_EQ(ReadBytes(kept), "keep me");
  }
  EXPECT_EQ(PasteFilePath(nullptr), "trovlint001.tmp");  // without TMP, in the current folder
}

}  // namespace
}  // namespace trovlin::app
