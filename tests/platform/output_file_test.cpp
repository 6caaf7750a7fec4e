// OutputFile against what a path may name: files, links, devices, FIFOs and
// sockets made in a temporary folder, never the system's own nodes.
#include "platform/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "common/errors.h"
#include "support/temp_dir.h"

namespace trovlin {
namespace {

struct stat Stat(const std::string& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info;
}

void WriteAndCommit(const std::string& path, OutputRules rules = {}) {
  OutputFile file(path, IoOperation::WriteCsv, rules);
  file.Write("row\r\n");
  file.Commit();
}

struct TargetCase {
  const char* setup;  // shell commands run in a fresh folder
  const char* output;
  OutputRules rules;
  const char* reason;  // why it is refused; "" when it is written
  const char* holder;  // the file then holding the CSV, or ""
  mode_t mode;         // lstat's type and permission bits of the output afterwards
};

TEST(OutputFile, WhatThePathNamesDecidesWhatIsReplaced) {
  constexpr OutputRules kProposed{.namedByUser = false};
  constexpr const char* kHardLinked = "it has 1 other name(s) (hard links); replacing it would separate them";
  const TargetCase cases[] = {
      {"true", "new.csv", {}, "", "new.csv", S_IFREG | 0640},  // 0666 under umask 027
      {"echo old >a.csv; chmod 604 a.csv", "a.csv", {}, "", "a.csv", S_IFREG | 0604},
      {"echo old >a.csv; chown 1234:5678 a.csv", "a.csv", {}, "", "a.csv", S_IFREG | 0644},
      {"echo old >r.csv; ln -s r.csv l1; ln -s l1 l2.csv", "l2.csv", {}, "", "r.csv", S_IFLNK | 0777},
      {"ln -s made.csv dl.csv", "dl.csv", {}, "", "made.csv", S_IFLNK | 0777},
      {"echo old >ro.csv; chmod 444 ro.csv", "ro.csv", {.force = true}, "", "ro.csv", S_IFREG | 0444},
      {"echo old >x.CSV", "x.CSV", kProposed, "", "x.CSV", S_IFREG | 0644},
      {"echo old >x.c", "x.c", {.namedByUser = false, .force = true}, "", "x.c", S_IFREG | 0644},
      {"mkdir x.csv", "x.csv", {}, "it is a folder", "", 0},
      {"echo old >x.csv; ln x.csv y", "x.csv", {.force = true}, kHardLinked, "", 0},
      {"echo old >main.c; ln -s main.c x.csv", "x.csv", kProposed, "it exists and is not a CSV file", "", 0},
      // Device nodes last: only root can make them.
      {"mknod null c 1 3", "null", {}, "", "", S_IFCHR | 0644},
      {"mknod full c 1 7", "full", {}, "No space left on device", "", 0},
      {"mknod x.csv b 7 0", "x.csv", {}, "it is a block device", "", 0},
  };
  const mode_t umask = ::umask(027);
  for (const TargetCase& c : cases) {
    SCOPED_TRACE(std::string(c.setup) + " -> " + c.output);
    testing::TempDir dir;
    if (std::system(("cd '" + dir.path() + "' && umask 022 && (" + c.setup + ") 2>/dev/null").c_str()) != 0) {
      ::umask(umask);
      GTEST_SKIP() << c.setup << ": not possible here (device nodes need root)";
    }
    const std::string path = dir.File(c.output);
    const struct stat before = Stat(path);
    try {
      WriteAndCommit(path, c.rules);
      EXPECT_STREQ(c.reason, "");
    } catch (const OutputError& e) {
      EXPECT_EQ(e.what(), "cannot write the CSV file '" + path + "': " + c.reason);
    }
    const struct stat after = Stat(path);
    EXPECT_EQ(*c.holder == '\0' ? "row\r\n" : testing::ReadBytes(dir.File(c.holder)), "row\r\n");
    EXPECT_EQ(after.st_mode, *c.reason == '\0' ? c.mode : before.st_mode);
    // A replaced file is a new one; a link, a device and whatever is refused stay.
    EXPECT_EQ(after.st_ino == before.st_ino, *c.reason != '\0' || S_ISCHR(before.st_mode) || S_ISLNK(before.st_mode));
    EXPECT_TRUE(before.st_ino == 0 || (after.st_uid == before.st_uid && after.st_gid == before.st_gid));
  }
  ::umask(umask);
}

TEST(OutputFile, FifosAndSocketsAreWrittenInto) {
  testing::TempDir dir;
  sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
  std::strncpy(address.sun_path, dir.File("socket").c_str(), sizeof address.sun_path - 1);
  const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 1), 0);
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  const int reader = ::open(dir.File("fifo").c_str(), O_RDONLY | O_NONBLOCK);
  for (const char* name : {"fifo", "socket"}) WriteAndCommit(dir.File(name));
  for (const int fd : {reader, ::accept(listener, nullptr, nullptr)}) {
    char bytes[16] = {};
    EXPECT_EQ(::read(fd, bytes, sizeof bytes), 5);
    EXPECT_STREQ(bytes, "row\r\n");
  }
  EXPECT_TRUE(S_ISFIFO(Stat(dir.File("fifo")).st_mode) && S_ISSOCK(Stat(dir.File("socket")).st_mode));
}

}  // namespace
}  // namespace trovlin
