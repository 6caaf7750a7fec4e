// The tagged record reader: one answer block of an STN, DIALOG or JOIS log
// into one value per item.
//
// A line that opens a field carries its code in the first four columns and
// its text after them; continuation lines are indented by four spaces or
// more. A record ends at the first line of four characters or fewer (other
// than exactly "RE"); blank lines after it are consumed. The "RE" field takes
// every following line up to one of at most three characters or of spaces
// only, joined with LF. Every call of ReadRecord fills record.values for the
// items, whether or not any of them occurs in the block.
//
// The current line is passed in and out: on entry it is the block's first
// line, already read; on return the first line of the next block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/conversion_state.h"
#include "common/event_hook.h"
#include "logread/log_reader.h"

namespace trovlin {

class RecordReader {
 public:
  RecordReader(LogReader& log, const ItemTable& items, RecordBuffer& record, const ConversionSettings& settings,
               PendingEvents& events);

  void ReadRecord(std::u16string& line);

 private:
  void ReadFieldText(std::u16string& line, std::size_t index);
  void ReadReferenceText(std::u16string& line, std::size_t index);
  void SkipField(std::u16string& line);
  void AppendPiece(std::u16string_view piece);
  void Store(std::size_t index);
  std::size_t FindItem(std::u16string_view code) const;

  struct CodeKey {
    std::uint64_t chars;
    std::uint32_t length;
    bool operator==(const CodeKey&) const = default;
  };
  static CodeKey PackCode(std::u16string_view code);

  LogReader& log_;
  const ItemTable& items_;
  // Each item code packed into one number, for a cheap lookup per line.
  std::vector<CodeKey> itemKeys_;
  RecordBuffer& record_;
  PendingEvents& events_;
  const bool deleteStars_;
  const bool toHalfWidth_;
  std::u16string nextLine_;
  std::u16string text_;
  std::u16string narrowed_;
};

}  // namespace trovlin
