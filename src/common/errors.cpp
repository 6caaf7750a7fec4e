#include "common/errors.h"

#include <string_view>
#include <system_error>

#include "common/conversion_state.h"

namespace trovlin {
namespace {

// The English words of every operation and reason. In a reason "%n" stands
// for the number and "%l" for the limit; "%s" for the item-list signature.
struct OperationWords {
  IoOperation operation;
  std::string_view words;
};
constexpr OperationWords kOperations[] = {
    {IoOperation::OpenLog, "cannot open the log"},
    {IoOperation::ReadLog, "cannot read the log"},
    {IoOperation::ReadStandardInput, "cannot read the log from"},
    {IoOperation::WriteCsv, "cannot write the CSV file"},
    {IoOperation::WriteIntoFolder, "cannot write into the folder"},
    {IoOperation::LoadItemList, "cannot load the item list"},
    {IoOperation::SaveItemList, "cannot save the item list"},
    {IoOperation::UseItemList, "cannot use the item list"},
    {IoOperation::WritePasteFile, "cannot write the paste file"},
    {IoOperation::WriteReport, "cannot write the report"},
    {IoOperation::WriteWorkbook, "cannot write the workbook"},
};

struct ReasonWords {
  IoReason reason;
  std::string_view words;
};
constexpr ReasonWords kReasons[] = {
    {IoReason::Folder, "it is a folder"},
    {IoReason::BlockDevice, "it is a block device"},
    {IoReason::NotFileOrStream, "it is not a file, character device, FIFO or socket"},
    {IoReason::NotCsv, "it exists and is not a CSV file"},
    {IoReason::OtherNames, "it has other names (hard links)"},
    {IoReason::OtherNamesSeparated, "it has %n other name(s) (hard links); replacing it would separate them"},
    {IoReason::ReadOnly, "it is read-only"},
    {IoReason::SymbolicLink, "it is a symbolic link"},
    {IoReason::NotOrdinaryFile, "it is not an ordinary file"},
    {IoReason::OtherOwner, "it belongs to another user"},
    {IoReason::NotAFolder, "it is not a folder"},
    {IoReason::LineTooLong, "line %n is longer than the limit of %l MiB"},
    {IoReason::NotAnItemList, "line %n: not a Trovlin item list (it must begin with \"%s\")"},
    {IoReason::NoTab, "line %n: expected CODE, TAB, MARK"},
    {IoReason::EmptyCode, "line %n: the code is empty"},
    {IoReason::BadJoinMark, "line %n: the join mark must be \"*\" or nothing"},
    {IoReason::NoItem, "it holds no item"},
    {IoReason::TooManyItems, "it holds %n items; at most %l can be converted"},
    {IoReason::NoWorkbooks, "this build of Trovlin writes no workbooks (.xlsx); write a CSV file instead"},
};

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
  std::string message;
  for (const OperationWords& o : kOperations) {
    if (o.operation == operation) message = o.words;
  }
  message += " '" + path + "': ";
  if (reason == IoReason::System) return message + std::generic_category().message(static_cast<int>(number));
  for (const ReasonWords& r : kReasons) {
    if (r.reason == reason) return message + Filled(r.words, number, limit);
  }
  return message;
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
