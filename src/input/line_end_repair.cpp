#include "input/line_end_repair.h"

#include <fcntl.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
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

// The first j in [from, end) with p[j] == LF and p[j + 1] == CR, or end.
// p[end] must be readable. Only such a pair can ever be rewritten, and a log
// with CR LF line ends holds none, so the whole file is usually one search.
std::size_t FindLfCr(const unsigned char* p, std::size_t from, std::size_t end) {
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8(static_cast<char>(kLf));
  const __m128i cr = _mm_set1_epi8(static_cast<char>(kCr));
  // p[from + 32] is the last byte loaded, and from + 32 <= end.
  for (; end - from >= 32; from += 32) {
    const auto* q = reinterpret_cast<const __m128i*>(p + from);
    const auto* q1 = reinterpret_cast<const __m128i*>(p + from + 1);
    const __m128i lo = _mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(q), lf), _mm_cmpeq_epi8(_mm_loadu_si128(q1), cr));
    const __m128i hi =
        _mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(q + 1), lf), _mm_cmpeq_epi8(_mm_loadu_si128(q1 + 1), cr));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(lo)) |
                          (static_cast<unsigned>(_mm_movemask_epi8(hi)) << 16);
    if (mask != 0) return from + static_cast<std::size_t>(__builtin_ctz(mask));
  }
#endif
  for (; from < end; ++from) {
    if (p[from] == kLf && p[from + 1] == kCr) return from;
  }
  return end;
}

// Whether the LF at j is examined, when examination reached from (<= j) and
// nothing in [from, j) is rewritten. An examined LF leaves the byte after it
// unexamined, so in a run of LFs every other one is examined, starting with
// the first: the byte before the run is no LF, so it was either examined or
// the skipped byte after an LF, and either way the run's first LF comes next.
bool IsExamined(const unsigned char* p, std::size_t from, std::size_t j) {
  std::size_t k = j;
  while (k > from && p[k - 1] == kLf) --k;
  return (j - k) % 2 == 0;
}

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
    // A pair needs the byte after its LF, so the file's last byte starts none.
    const std::size_t pairEnd = std::min(limit, n - 1);
    if (carried >= 0) buf[0] = static_cast<unsigned char>(carried);
    bool dirty = false;
    std::size_t i = skip;  // the next byte examined
    while (i < pairEnd) {
      const std::size_t j = FindLfCr(buf.data(), i, pairEnd);
      if (j == pairEnd) break;
      if (!IsExamined(buf.data(), i, j)) {
        // The LF before j was examined and its pair failed: j is skipped.
        i = j + 1;
        continue;
      }
      const int prev = j > 0 ? buf[j - 1] : before;
      if (prev != kCr) {
        buf[j] = kCr;
        buf[j + 1] = kLf;
        dirty = true;
      }
      i = j + 2;
    }
    // No pair is left in the block: examination runs on to its end, and one
    // byte past it when the block's last byte is an examined LF.
    if (i < limit) i = (buf[limit - 1] == kLf && IsExamined(buf.data(), i, limit - 1)) ? limit + 1 : limit;
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
