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

constexpr const char* kWriteFailed = "cannot write the CSV file";

std::string RandomSuffix() {
  static thread_local std::mt19937_64 engine{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string s(8, '0');
  for (char& c : s) c = kDigits[engine() % 36];
  return s;
}

}  // namespace

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
  if (IsStandardOutput()) {
    fd_ = STDOUT_FILENO;
    return;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(path_, ec)) throw OutputError(path_, kWriteFailed, "it is a folder");
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporaryPath_ = path_ + std::string(kPartialMarker) + RandomSuffix();
    fd_ = ::open(temporaryPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd_ < 0 && errno != EEXIST) throw OutputError(path_, kWriteFailed, SystemReason(errno));
  }
  if (fd_ < 0) throw OutputError(path_, kWriteFailed, SystemReason(EEXIST));
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
      throw OutputError(path_, kWriteFailed, SystemReason(errno));
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void OutputFile::Commit() {
  if (committed_) return;
  if (IsStandardOutput()) {
    committed_ = true;
    return;
  }
  if (::fsync(fd_) != 0 && errno != EINVAL) throw OutputError(path_, kWriteFailed, SystemReason(errno));
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) throw OutputError(path_, kWriteFailed, SystemReason(errno));
  if (std::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
    throw OutputError(path_, kWriteFailed, SystemReason(errno));
  }
  committed_ = true;
}

}  // namespace trovlin
