#include "common/errors.h"

#include <string_view>
#include <system_error>

#include "common/conversion_settings.h"

namespace trovlin {
namespace {

// The English words of every operation and reason. In a reason "%n" stands
// for the number and "%l" for the limit; "%s" for the item-list signature.
std::string_view OperationWords(IoOperation operation) {
  switch (operation) {
    case IoOperation::OpenLog:
      return "cannot open the log";
    case IoOperation::ReadLog:
      return "cannot read the log";
    case IoOperation::ReadStandardInput:
      return "cannot read the log from";
    case IoOperation::WriteCsv:
      return "cannot write the CSV file";
    case IoOperation::WriteIntoFolder:
      return "cannot write into the folder";
    case IoOperation::LoadItemList:
      return "cannot load the item list";
    case IoOperation::SaveItemList:
      return "cannot save the item list";
    case IoOperation::UseItemList:
      return "cannot use the item list";
    case IoOperation::WritePasteFile:
      return "cannot write the paste file";
    case IoOperation::WriteReport:
      return "cannot write the report";
    case IoOperation::WriteWorkbook:
      return "cannot write the workbook";
  }
  return {};  // not reached: every operation has its case
}

// IoReason::System is worded by the system (see EnglishMessage).
std::string_view ReasonWords(IoReason reason) {
  switch (reason) {
    case IoReason::System:
      return "";
    case IoReason::Folder:
      return "it is a folder";
    case IoReason::BlockDevice:
      return "it is a block device";
    case IoReason::NotFileOrStream:
      return "it is not a file, character device, FIFO or socket";
    case IoReason::NotCsv:
      return "it exists and is not a CSV file";
    case IoReason::OtherNames:
      return "it has other names (hard links)";
    case IoReason::OtherNamesSeparated:
      return "it has %n other name(s) (hard links); replacing it would separate them";
    case IoReason::ReadOnly:
      return "it is read-only";
    case IoReason::SymbolicLink:
      return "it is a symbolic link";
    case IoReason::NotOrdinaryFile:
      return "it is not an ordinary file";
    case IoReason::OtherOwner:
      return "it belongs to another user";
    case IoReason::NotAFolder:
      return "it is not a folder";
    case IoReason::LineTooLong:
      return "line %n is longer than the limit of %l MiB";
    case IoReason::NotAnItemList:
      return "line %n: not a Trovlin item list (it must begin with \"%s\")";
    case IoReason::NoTab:
      return "line %n: expected CODE, TAB, MARK";
    case IoReason::EmptyCode:
      return "line %n: the code is empty";
    case IoReason::BadJoinMark:
      return "line %n: the join mark must be \"*\" or nothing";
    case IoReason::NoItem:
      return "it holds no item";
    case IoReason::TooManyItems:
      return "it holds %n items; at most %l can be converted";
    case IoReason::NoWorkbooks:
      return "this build of Trovlin writes no workbooks (.xlsx); write a CSV file instead";
  }
  return {};  // not reached: every reason has its case
}

std::string Filled(std::string_view pattern, std::uint64_t number, std::uint64_t limit) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char place = pattern[i] == '%' && i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (place == 'n' || place == 'l') {
      out += std::to_string(place == 'n' ? number : limit);
      ++i;
    } else if (place == 's') {
      out += kPresetSignature;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string EnglishMessage(const std::string& path, IoOperation operation, IoReason reason, std::uint64_t number,
                           std::uint64_t limit) {
  const std::string message = std::string(OperationWords(operation)) + " '" + path + "': ";
  if (reason == IoReason::System) return message + std::generic_category().message(static_cast<int>(number));
  return message + Filled(ReasonWords(reason), number, limit);
}

}  // namespace

IoError::IoError(std::string path, IoOperation operation, IoReason reason, std::uint64_t number, std::uint64_t limit)
    : std::runtime_error(EnglishMessage(path, operation, reason, number, limit)),
      path_(std::move(path)),
      operation_(operation),
      reason_(reason),
      number_(number),
      limit_(limit) {}

}  // namespace trovlin
