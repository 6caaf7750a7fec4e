#include "input/line_end_repair.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "common/errors.h"

namespace trovlin {
namespace {

constexpr std::size_t kBlock = 1 << 20;
constexpr unsigned char kLf = 10;
constexpr unsigned char kCr = 13;
constexpr const char* kRepairFailed = "cannot repair the line ends of";

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// One pass over the file; writes the rewritten blocks back when write is set.
// Returns whether any pair was (or would be) rewritten.
bool RepairPass(int fd, const std::string& path, bool write) {
  std::vector<unsigned char> buf(kBlock + 1);  // a block and the byte after it
  off_t blockStart = 0;
  std::size_t skip = 0;  // examination resumes this far into the block
  int before = -1;       // the byte before the block, as rewritten
  int carried = -1;      // the block's first byte when the previous block rewrote it
  bool changed = false;
  for (;;) {
    ssize_t got = ::pread(fd, buf.data(), buf.size(), blockStart);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw IoError(path, kRepairFailed, SystemReason(errno));
    }
    if (got == 0) break;
    const std::size_t n = static_cast<std::size_t>(got);
    const std::size_t limit = std::min(n, kBlock);
    if (carried >= 0) buf[0] = static_cast<unsigned char>(carried);
    bool dirty = false;
    std::size_t i = skip;
    while (i < limit) {
      if (buf[i] != kLf) {
        ++i;
        continue;
      }
      const int prev = i > 0 ? buf[i - 1] : before;
      if (i + 1 < n && buf[i + 1] == kCr && prev != kCr) {
        buf[i] = kCr;
        buf[i + 1] = kLf;
        dirty = true;
      }
      i += 2;
    }
    if (dirty) {
      changed = true;
      const std::size_t span = std::min(n, limit + 1);
      if (write && ::pwrite(fd, buf.data(), span, blockStart) != static_cast<ssize_t>(span)) {
        throw IoError(path, kRepairFailed, SystemReason(errno));
      }
    }
    carried = (dirty && n > limit) ? buf[limit] : -1;
    before = buf[limit - 1];
    skip = i - limit;
    blockStart += static_cast<off_t>(limit);
    if (n <= limit) break;
  }
  return changed;
}

}  // namespace

bool RepairLineEnds(const std::string& path) {
  Fd rw(::open(path.c_str(), O_RDWR | O_CLOEXEC));
  if (rw.get() >= 0) return RepairPass(rw.get(), path, true);
  const int openError = errno;
  Fd ro(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (ro.get() < 0) throw IoError(path, kRepairFailed, SystemReason(errno));
  if (RepairPass(ro.get(), path, false)) throw IoError(path, kRepairFailed, SystemReason(openError));
  return false;
}

}  // namespace trovlin
