#include "csv/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include "common/errors.h"

namespace trovlin {
namespace {


// Every chunk of this many bytes is sent to the disk once the next one is
// complete. A fresh cache page is dear (on a virtual machine each costs a
// fault in the host); pages handed back are reused for the next chunk, which
// makes a long output several times cheaper to write, and the final fsync
// waits for a chunk or two instead of the whole file.
constexpr std::uint64_t kWriteBackChunk = 8 << 20;

std::string RandomSuffix() {
  static thread_local std::mt19937_64 engine{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string s(8, '0');
  for (char& c : s) c = kDigits[engine() % 36];
  return s;
}

}  // namespace

OutputFile::OutputFile(std::string path, std::string failure) : path_(std::move(path)), failure_(std::move(failure)) {
  if (IsStandardOutput()) {
    fd_ = STDOUT_FILENO;
    return;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(path_, ec)) throw OutputError(path_, failure_, "it is a folder");
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporaryPath_ = path_ + std::string(kPartialMarker) + RandomSuffix();
    fd_ = ::open(temporaryPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd_ < 0 && errno != EEXIST) throw OutputError(path_, failure_, SystemReason(errno));
  }
  if (fd_ < 0) throw OutputError(path_, failure_, SystemReason(EEXIST));
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Discard() noexcept {
  if (IsStandardOutput() || committed_) return;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporaryPath_.empty()) ::unlink(temporaryPath_.c_str());
}

void OutputFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      throw OutputError(path_, failure_, SystemReason(errno));
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    written_ += static_cast<std::uint64_t>(n);
  }
  if (written_ - writebackStarted_ >= kWriteBackChunk && writeBackEarly_ && !IsStandardOutput()) WriteBack();
}

// Starts the newest chunk on its way to the disk, then waits for the chunk
// started two chunks ago (the disk has had a chunk's time to write it, so
// the wait is short) and drops that one from the cache. A failure of the
// disk is the CSV's failure (once reported here, fsync would not report it
// again); any other refusal leaves the whole flush to fsync, as without this.
void OutputFile::WriteBack() {
#if defined(__linux__)
  const auto sync = [this](std::uint64_t from, std::uint64_t to, unsigned flags) {
    if (::sync_file_range(fd_, static_cast<off_t>(from), static_cast<off_t>(to - from), flags) == 0) return true;
    if (errno == EIO || errno == ENOSPC || errno == EDQUOT) throw OutputError(path_, failure_, SystemReason(errno));
    writeBackEarly_ = false;
    return false;
  };
  if (!sync(writebackStarted_, written_, SYNC_FILE_RANGE_WRITE)) return;
  if (writebackPrevious_ > writebackDone_) {
    constexpr unsigned kWait = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
    if (!sync(writebackDone_, writebackPrevious_, kWait)) return;
    ::posix_fadvise(fd_, static_cast<off_t>(writebackDone_), static_cast<off_t>(writebackPrevious_ - writebackDone_),
                    POSIX_FADV_DONTNEED);
    writebackDone_ = writebackPrevious_;
  }
  writebackPrevious_ = writebackStarted_;
  writebackStarted_ = written_;
#else
  writeBackEarly_ = false;
#endif
}

void OutputFile::Commit() {
  if (committed_) return;
  if (IsStandardOutput()) {
    committed_ = true;
    return;
  }
  if (::fsync(fd_) != 0 && errno != EINVAL) throw OutputError(path_, failure_, SystemReason(errno));
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) throw OutputError(path_, failure_, SystemReason(errno));
  if (std::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
    throw OutputError(path_, failure_, SystemReason(errno));
  }
  committed_ = true;
}

}  // namespace trovlin
