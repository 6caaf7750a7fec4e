#include "app/paste_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/errors.h"
#include "platform/file_system.h"
#include "text/cp932.h"

namespace trovlin::app {
namespace {

[[noreturn]] void Refuse(const std::string& path, IoReason reason, int error = 0) {
  throw IoError(path, IoOperation::WritePasteFile, reason, error);
}

}  // namespace

std::string PasteFilePath(const char* tmp) {
  std::string path = tmp != nullptr ? tmp : "";
  if (!path.empty()) path += platform::kPathSeparator;
  path += kPasteFileName;
  return path;
}

std::u16string ClipboardLineBreaks(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += u'\r';
    out += text[i];
  }
  return out;
}

std::uint64_t WritePasteFile(const std::string& path, std::u16string_view text) {
  std::string bytes;
  const std::uint64_t unencodable = EncodeCp932(text, bytes);

  // O_NOFOLLOW: a link planted at the name fails the open instead of
  // redirecting the write; O_NONBLOCK: a planted FIFO cannot hang the window.
  platform::FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600));
  if (fd.get() < 0) {
    const int error = errno;
    if (error == ELOOP) Refuse(path, IoReason::SymbolicLink);
    Refuse(path, IoReason::System, error);
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) Refuse(path, IoReason::System, errno);
  if (!S_ISREG(info.st_mode)) Refuse(path, IoReason::NotOrdinaryFile);
  if (info.st_uid != ::geteuid()) Refuse(path, IoReason::OtherOwner);
  if (info.st_nlink > 1) Refuse(path, IoReason::OtherNames);
  if (::ftruncate(fd.get(), 0) != 0) Refuse(path, IoReason::System, errno);

  if (const int error = platform::WriteAll(fd.get(), bytes)) Refuse(path, IoReason::System, error);
  if (const int error = fd.Close()) Refuse(path, IoReason::System, error);
  return unencodable;
}

}  // namespace trovlin::app
