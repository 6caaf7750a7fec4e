// What file_system.h does the same way on every system, built on the calls
// of platform/file_calls.h.
#include "platform/file_system.h"

#include <cerrno>
#include <random>
#include <vector>

#include "platform/file_calls.h"
#include "platform/stop_signals.h"

namespace trovlin::platform {

namespace {

std::string RandomSuffix() {
  static thread_local std::mt19937_64 engine{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string s(8, '0');
  for (char& c : s) c = kDigits[engine() % 36];
  return s;
}

}  // namespace

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(PathOf(path), ec);
}

FileDescriptor::~FileDescriptor() { Close(); }

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.release();
  }
  return *this;
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    std::size_t wrote = 0;
    if (const int error = WriteSome(fd, bytes, &wrote)) return error;
    bytes.remove_prefix(wrote);
  }
  return 0;
}

int CreateUnderFreshName(const std::string& prefix, std::string* name,
                         const std::function<int(const std::string&)>& create) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    *name = prefix + RandomSuffix();
    const int error = create(*name);
    if (error == 0) return 0;
    if (error != EEXIST) {
      name->clear();
      return error;
    }
  }
  name->clear();
  return EEXIST;
}

int PendingFile::Create(const OutputTarget& target) {
  target_ = target.path;
  targetExisted_ = target.kind != OutputTarget::Kind::Missing;
  if (const int error = OpenUnnamedBeside(target_, &fd_)) return error;
  unnamed_ = fd_.valid();
  if (!unnamed_) {
    const auto create = [this](const std::string& name) { return CreateNew(name, &fd_); };
    if (const int error = CreateUnderFreshName(target_ + std::string(kPartialMarker), &named_, create)) return error;
    RememberPartialFile(named_);
  }
  return target.kind == OutputTarget::Kind::File ? TakeOwnerAndMode(fd_.get(), target) : 0;
}

int PendingFile::Publish() {
  if (unnamed_) return PublishUnnamed(&fd_, target_, targetExisted_);
  if (const int error = fd_.Close()) return error;
  if (const int error = MoveIntoPlace(named_, target_, targetExisted_)) return error;
  ForgetPartialFile();
  named_.clear();
  return 0;
}

void PendingFile::Discard() noexcept {
  fd_.Close();
  if (named_.empty()) return;
  RemoveFile(named_);
  ForgetPartialFile();
  named_.clear();
}

SpooledInput::~SpooledInput() {
  fd_.Close();
  if (!named_.empty()) RemoveFile(named_);
}

int SpooledInput::Spool() {
  if (const int error = OpenSpoolFile(&fd_, &path_, &named_)) return error;
  const int input = BinaryStandardInput();
  std::vector<char> block(1 << 20);
  for (;;) {
    std::size_t got = 0;
    if (const int error = ReadSome(input, block.data(), block.size(), &got)) return error;
    if (got == 0) return 0;
    if (const int error = WriteAll(fd_.get(), std::string_view(block.data(), got))) return error;
  }
}

ScratchFile::~ScratchFile() {
  fd_.Close();
  if (!named_.empty()) RemoveFile(named_);
}

int ScratchFile::Open() { return OpenSpoolFile(&fd_, &path_, &named_); }

}  // namespace trovlin::platform
