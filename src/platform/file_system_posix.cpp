#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/file_calls.h"
#include "platform/file_system.h"
#include "platform/stop_signals.h"

namespace trovlin::platform {

const char kPathSeparator = '/';

namespace {

constexpr int kMaxLinkHops = 40;

// A call a signal interrupted is tried again, unless the signal asks the run
// to stop: then EINTR reaches the caller.
bool Retry() { return errno == EINTR && !StopRequested(); }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int ReadLink(const std::string& path, std::string* link) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (n < 0) return errno;
    if (static_cast<std::size_t>(n) < buffer.size()) {
      link->assign(buffer.data(), static_cast<std::size_t>(n));
      return 0;
    }
    buffer.resize(buffer.size() * 2);
  }
}

OutputTarget::Kind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return OutputTarget::Kind::File;
  if (S_ISDIR(mode)) return OutputTarget::Kind::Folder;
  if (S_ISCHR(mode) || S_ISFIFO(mode)) return OutputTarget::Kind::Stream;
  if (S_ISSOCK(mode)) return OutputTarget::Kind::Socket;
  if (S_ISBLK(mode)) return OutputTarget::Kind::BlockDevice;
  return OutputTarget::Kind::Other;
}

int ConnectSocket(const std::string& path, FileDescriptor* out) {
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return ENAMETOOLONG;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM, 0));
  if (!fd.valid()) return errno;
  ::fcntl(fd.get(), F_SETFD, FD_CLOEXEC);
  if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return errno;
  *out = std::move(fd);
  return 0;
}

// The unnamed file's name in /proc, through which it is linked into place.
std::string SelfPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

bool UnnamedFilesUsable() { return ::access("/proc/self/fd", X_OK) == 0; }

[[maybe_unused]] bool UnnamedNotSupported(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// Answers a read or write, tried again while a signal interrupts it.
template <typename Call>
int Counted(Call call, std::size_t* done) {
  for (;;) {
    const ssize_t n = call();
    if (n >= 0) {
      *done = static_cast<std::size_t>(n);
      return 0;
    }
    if (!Retry()) return errno;
  }
}

// Opens an unnamed file in folder with the access and mode given; *out is
// left invalid where the system or the folder's file system has none.
int OpenUnnamedIn(const std::string& folder, int access, mode_t mode, FileDescriptor* out) {
#if defined(O_TMPFILE)
  if (!UnnamedFilesUsable()) return 0;
  const int fd = ::open(folder.c_str(), O_TMPFILE | access | O_CLOEXEC, mode);
  if (fd < 0) return UnnamedNotSupported(errno) ? 0 : errno;
  *out = FileDescriptor(fd);
  return 0;
#else
  (void)folder, (void)access, (void)mode, (void)out;
  return 0;
#endif
}

int LinkAside(int fd, const std::string& target, std::string* name) {
  const std::string self = SelfPath(fd);
  const auto link = [&self](const std::string& aside) {
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, aside.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
  };
  if (const int error = CreateUnderFreshName(target + std::string(kPartialMarker), name, link)) return error;
  RememberPartialFile(*name);
  return 0;
}

}  // namespace

int FileDescriptor::Close() {
  if (fd_ < 0) return 0;
  // Retrying close() after EINTR could close a descriptor another thread got.
  const int result = ::close(release());
  return result == 0 || errno == EINTR ? 0 : errno;
}

int WriteSome(int fd, std::string_view bytes, std::size_t* wrote) {
  return Counted([&] { return ::write(fd, bytes.data(), bytes.size()); }, wrote);
}

int ReadSome(int fd, char* data, std::size_t size, std::size_t* got) {
  return Counted([&] { return ::read(fd, data, size); }, got);
}

int SyncFile(int fd) {
  // A file system that cannot sync (EINVAL) has nothing more to flush.
  return ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
}

bool IsDiskFailure(int error) { return error == EIO || error == ENOSPC || error == EDQUOT; }

int WriteBackRange(int fd, std::uint64_t from, std::uint64_t to, bool wait) {
#if defined(__linux__)
  const unsigned flags =
      wait ? SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER : SYNC_FILE_RANGE_WRITE;
  if (::sync_file_range(fd, static_cast<off_t>(from), static_cast<off_t>(to - from), flags) != 0) return errno;
  if (wait) ::posix_fadvise(fd, static_cast<off_t>(from), static_cast<off_t>(to - from), POSIX_FADV_DONTNEED);
  return 0;
#else
  (void)fd, (void)from, (void)to, (void)wait;
  return ENOSYS;
#endif
}

int InspectOutputTarget(const std::string& path, OutputTarget* target) {
  // What is not a regular file is opened by the name given: the kernel
  // follows links such as /dev/fd/N that name a pipe and cannot be read as text.
  struct stat followed {};
  if (::stat(path.c_str(), &followed) == 0 && !S_ISREG(followed.st_mode)) {
    *target = OutputTarget{};
    target->path = path;
    target->kind = KindOf(followed.st_mode);
    return 0;
  }
  std::string current = path;
  for (int hops = 0;; ++hops) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0) {
      if (errno != ENOENT) return errno;
      *target = OutputTarget{};
      target->path = current;
      return 0;
    }
    if (!S_ISLNK(info.st_mode)) {
      target->path = current;
      target->kind = KindOf(info.st_mode);
      target->mode = info.st_mode & 07777;
      target->links = info.st_nlink;
      target->owner = info.st_uid;
      target->group = info.st_gid;
      return 0;
    }
    if (hops == kMaxLinkHops) return ELOOP;
    std::string link;
    if (const int error = ReadLink(current, &link)) return error;
    const std::size_t slash = current.rfind('/');
    current = link[0] == '/' || slash == std::string::npos ? link : current.substr(0, slash + 1) + link;
  }
}

int OpenStream(const OutputTarget& target, FileDescriptor* out) {
  if (target.kind == OutputTarget::Kind::Socket) return ConnectSocket(target.path, out);
  for (;;) {
    // A FIFO blocks here until something reads it.
    const int fd = ::open(target.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
      *out = FileDescriptor(fd);
      return 0;
    }
    if (!Retry()) return errno;
  }
}

int CreateNew(const std::string& path, FileDescriptor* out) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return errno;
  *out = FileDescriptor(fd);
  return 0;
}

int OpenUnnamedBeside(const std::string& target, FileDescriptor* out) {
  return OpenUnnamedIn(FolderOf(target), O_WRONLY, 0666, out);
}

// A new name is linked straight in; an existing file is replaced by a
// rename, which linkat cannot do.
int PublishUnnamed(FileDescriptor* fd, const std::string& target, bool targetExisted) {
  if (!targetExisted) {
    if (::linkat(AT_FDCWD, SelfPath(fd->get()).c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return fd->Close();
    }
    if (errno != EEXIST) return errno;
  }
  std::string aside;
  if (const int error = LinkAside(fd->get(), target, &aside)) return error;
  if (::rename(aside.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(aside.c_str());
    ForgetPartialFile();
    return error;
  }
  ForgetPartialFile();
  return fd->Close();
}

int TakeOwnerAndMode(int fd, const OutputTarget& target) {
  // Only root may give a file away; anyone may keep one of their groups.
  if (::fchown(fd, target.owner, target.group) != 0) {
    [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), target.group);
  }
  return ::fchmod(fd, target.mode) == 0 ? 0 : errno;
}

int MoveIntoPlace(const std::string& from, const std::string& to, bool) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

int OpenSpoolFile(FileDescriptor* fd, std::string* path, std::string* named) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  if (const int error = OpenUnnamedIn(folder, O_RDWR, 0600, fd)) return error;
  if (!fd->valid()) {
    std::string name = folder + "/trovlin-input-XXXXXX";
    const int created = ::mkstemp(name.data());
    if (created < 0) return errno;
    *fd = FileDescriptor(created);
    // Where /proc reopens it, the file needs no name at all.
    if (UnnamedFilesUsable()) {
      ::unlink(name.c_str());
    } else {
      *named = name;
    }
  }
  *path = named->empty() ? SelfPath(fd->get()) : *named;
  return 0;
}

int OpenOwnFile(const std::string& path, FileDescriptor* out, SharedNameRefusal* refused) {
  *refused = SharedNameRefusal::None;
  // O_NOFOLLOW: a link planted at the name fails the open instead of
  // redirecting the write; O_NONBLOCK: a planted FIFO cannot hang the caller.
  FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600));
  if (fd.get() < 0) {
    if (errno != ELOOP) return errno;
    *refused = SharedNameRefusal::SymbolicLink;
    return 0;
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return errno;
  if (!S_ISREG(info.st_mode)) {
    *refused = SharedNameRefusal::NotOrdinaryFile;
  } else if (info.st_uid != ::geteuid()) {
    *refused = SharedNameRefusal::OtherOwner;
  } else if (info.st_nlink > 1) {
    *refused = SharedNameRefusal::OtherNames;
  }
  if (*refused != SharedNameRefusal::None) return 0;
  if (::ftruncate(fd.get(), 0) != 0) return errno;
  *out = std::move(fd);
  return 0;
}

}  // namespace trovlin::platform
