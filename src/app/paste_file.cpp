#include "app/paste_file.h"

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

  platform::FileDescriptor fd;
  platform::SharedNameRefusal refused = platform::SharedNameRefusal::None;
  if (const int error = platform::OpenOwnFile(path, &fd, &refused)) Refuse(path, IoReason::System, error);
  switch (refused) {
    case platform::SharedNameRefusal::None:
      break;
    case platform::SharedNameRefusal::SymbolicLink:
      Refuse(path, IoReason::SymbolicLink);
    case platform::SharedNameRefusal::NotOrdinaryFile:
      Refuse(path, IoReason::NotOrdinaryFile);
    case platform::SharedNameRefusal::OtherOwner:
      Refuse(path, IoReason::OtherOwner);
    case platform::SharedNameRefusal::OtherNames:
      Refuse(path, IoReason::OtherNames);
  }

  if (const int error = platform::WriteAll(fd.get(), bytes)) Refuse(path, IoReason::System, error);
  if (const int error = fd.Close()) Refuse(path, IoReason::System, error);
  return unencodable;
}

}  // namespace trovlin::app
