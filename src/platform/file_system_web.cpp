// The browser's file calls. A log is a file the page hands over (the worker
// mounts the browser's File, which is then read in blocks as the core asks,
// never copied whole); a small file such as an item list sits in memory.
// Every output goes to the page: it is a stream, handed over in chunks that
// become the download once the run has put it in place. Nothing is named,
// renamed or removed on any disk, so the calls for pending files answer
// ENOTSUP and are never reached.
#include <emscripten.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_calls.h"
#include "platform/file_system.h"

// The page's side of an output: open starts a new download (dropping what a
// previous open gathered), write hands it the bytes, close ends it.
// clang-format off
EM_JS(void, trovlin_page_output_open, (const char* name), {
  Module.pageOutputOpen(UTF8ToString(name));
});
// The page is handed a view of the core's memory, valid only during the
// call: it copies what it keeps.
EM_JS(void, trovlin_page_output_write, (const char* data, size_t size), {
  Module.pageOutputWrite(HEAPU8.subarray(data, data + size));
});
EM_JS(void, trovlin_page_output_close, (), {
  Module.pageOutputClose();
});
// clang-format on

namespace trovlin::platform {

const char kPathSeparator = '/';

namespace {

// The descriptor of the page's output: far above any the file system gives.
constexpr int kPageOutput = 1 << 28;

template <typename Call>
int Counted(Call call, std::size_t* done) {
  for (;;) {
    const ssize_t n = call();
    if (n >= 0) {
      *done = static_cast<std::size_t>(n);
      return 0;
    }
    if (errno != EINTR) return errno;
  }
}

}  // namespace

int FileDescriptor::Close() {
  if (fd_ < 0) return 0;
  const int fd = release();
  if (fd == kPageOutput) {
    trovlin_page_output_close();
    return 0;
  }
  return ::close(fd) == 0 ? 0 : errno;
}

int WriteSome(int fd, std::string_view bytes, std::size_t* wrote) {
  if (fd == kPageOutput) {
    trovlin_page_output_write(bytes.data(), bytes.size());
    *wrote = bytes.size();
    return 0;
  }
  return Counted([&] { return ::write(fd, bytes.data(), bytes.size()); }, wrote);
}

int ReadSome(int fd, char* data, std::size_t size, std::size_t* got) {
  return Counted([&] { return ::read(fd, data, size); }, got);
}

int SyncFile(int) { return 0; }

bool IsDiskFailure(int error) { return error == EIO || error == ENOSPC; }

int WriteBackRange(int, std::uint64_t, std::uint64_t, bool) { return ENOSYS; }

int InspectOutputTarget(const std::string& path, OutputTarget* target) {
  *target = OutputTarget{};
  target->path = path;
  target->kind = OutputTarget::Kind::Stream;
  return 0;
}

int OpenStream(const OutputTarget& target, FileDescriptor* out) {
  trovlin_page_output_open(target.path.c_str());
  *out = FileDescriptor(kPageOutput);
  return 0;
}

int CreateNew(const std::string&, FileDescriptor*) { return ENOTSUP; }

int OpenUnnamedBeside(const std::string&, FileDescriptor*) { return ENOTSUP; }

int PublishUnnamed(FileDescriptor*, const std::string&, bool) { return ENOTSUP; }

int TakeOwnerAndMode(int, const OutputTarget&) { return 0; }

int MoveIntoPlace(const std::string&, const std::string&, bool) { return ENOTSUP; }

void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

// The page's files live in the worker's memory and go with it; a scratch
// file there is named, and the name removed after use.
int OpenSpoolFile(FileDescriptor* fd, std::string* path, std::string* named) {
  std::string name = "/tmp/trovlin-scratch-XXXXXX";
  const int created = ::mkstemp(name.data());
  if (created < 0) return errno;
  *fd = FileDescriptor(created);
  *path = name;
  *named = name;
  return 0;
}

// The paste file is the window's; a page has no clipboard file to write.
int OpenOwnFile(const std::string&, FileDescriptor*, SharedNameRefusal* refused) {
  *refused = SharedNameRefusal::None;
  return ENOSYS;
}

}  // namespace trovlin::platform
