#include "platform/output_file.h"

#include <cerrno>

#include "common/errors.h"
#include "platform/stop_signals.h"

namespace trovlin {
namespace {

using platform::OutputTarget;

// Every chunk of this many bytes is sent to the disk once the next one is
// complete. A fresh cache page is dear (on a virtual machine each costs a
// fault in the host); pages handed back are reused for the next chunk, which
// makes a long output several times cheaper to write, and the final fsync
// waits for a chunk or two instead of the whole file.
constexpr std::uint64_t kWriteBackChunk = 8 << 20;

std::string_view LastName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool HasExtension(std::string_view path, std::string_view extension) {
  const std::string_view name = LastName(path);
  if (name.size() < extension.size()) return false;
  std::string tail(name.substr(name.size() - extension.size()));
  for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return tail == extension;
}

OutputFile::OutputFile(std::string path, IoOperation operation, OutputRules rules)
    : path_(std::move(path)), operation_(operation) {
  if (path_ == "-") {
    fd_ = platform::BinaryStandardOutput();
    toStandardOutput_ = true;
    return;
  }
  OutputTarget target;
  if (const int error = platform::InspectOutputTarget(path_, &target)) Fail(error);
  Refuse(target, rules);
  if (target.kind == OutputTarget::Kind::Stream || target.kind == OutputTarget::Kind::Socket) {
    if (const int error = platform::OpenStream(target, &stream_)) Fail(error);
    fd_ = stream_.get();
    return;
  }
  if (const int error = pending_.Create(target)) Fail(error);
  fd_ = pending_.fd();
  writeBackEarly_ = true;
}

void OutputFile::Fail(int error) const {
  if (platform::StopRequested()) throw RunCancelled();
  throw OutputError(path_, operation_, IoReason::System, error);
}

void OutputFile::Refuse(const OutputTarget& target, const OutputRules& rules) const {
  using Kind = OutputTarget::Kind;
  switch (target.kind) {
    case Kind::Missing:
      return;
    case Kind::Folder:
      throw OutputError(path_, operation_, IoReason::Folder);
    case Kind::BlockDevice:
      throw OutputError(path_, operation_, IoReason::BlockDevice);
    case Kind::Other:
      throw OutputError(path_, operation_, IoReason::NotFileOrStream);
    default:
      break;
  }
  // A proposed name can fall on a file the user never meant to give up
  // (the proposal for "search.log.1" is "search.log.c").
  if (!rules.namedByUser && !rules.force &&
      !(HasExtension(path_, rules.chosenExtension) && HasExtension(target.path, rules.chosenExtension))) {
    throw OutputError(path_, operation_, IoReason::NotCsv);
  }
  if (target.kind != Kind::File) return;
  if (target.links > 1) {
    throw OutputError(path_, operation_, IoReason::OtherNamesSeparated, target.links - 1);
  }
  if ((target.mode & 0222) == 0 && !rules.force) throw OutputError(path_, operation_, IoReason::ReadOnly);
}

void OutputFile::Write(std::string_view bytes) {
  if (const int error = platform::WriteAll(fd_, bytes)) Fail(error);
  written_ += bytes.size();
  if (written_ - writebackStarted_ >= kWriteBackChunk && writeBackEarly_) WriteBack();
}

// Starts the newest chunk on its way to the disk, then waits for the chunk
// started two chunks ago (the disk has had a chunk's time to write it, so
// the wait is short) and drops that one from the cache. A failure of the
// disk is the CSV's failure (once reported here, fsync would not report it
// again); any other refusal leaves the whole flush to fsync, as without this.
void OutputFile::WriteBack() {
  const auto sync = [this](std::uint64_t from, std::uint64_t to, bool wait) {
    const int error = platform::WriteBackRange(fd_, from, to, wait);
    if (error == 0) return true;
    if (platform::IsDiskFailure(error)) Fail(error);
    writeBackEarly_ = false;
    return false;
  };
  if (!sync(writebackStarted_, written_, false)) return;
  if (writebackPrevious_ > writebackDone_) {
    if (!sync(writebackDone_, writebackPrevious_, true)) return;
    writebackDone_ = writebackPrevious_;
  }
  writebackPrevious_ = writebackStarted_;
  writebackStarted_ = written_;
}

void OutputFile::Commit() {
  if (committed_) return;
  // A stop that came after the last pending-events point still wins over
  // putting the file in place.
  if (platform::StopRequested()) throw RunCancelled();
  if (stream_.valid()) {
    if (const int error = stream_.Close()) Fail(error);
  } else if (!toStandardOutput_) {
    if (const int error = platform::SyncFile(fd_)) Fail(error);
    if (const int error = pending_.Publish()) Fail(error);
  }
  committed_ = true;
}

}  // namespace trovlin
