// The tagged record reader: one answer block of an STN, DIALOG or JOIS log
// into one value per item.
//
// A line that opens a field carries its code in the first four columns and
// its text after them; continuation lines are indented by four spaces or
// more. A record ends at the first line of four characters or fewer (other
// than exactly "RE"); blank lines after it are consumed. The "RE" field takes
// every following line up to one of at most three characters or of spaces
// only, joined with LF; its double quotes become apostrophes unless the CSV
// keeps double quotes. Every call of ReadRecord fills record.values for the
// items, whether or not any of them occurs in the block, and record.lines
// with the line each value's field starts on (the first, for a repeated one).
//
// The current line is passed in and out: on entry it is the block's first
// line, already read; on return the first line of the next block.
//
// Text is UTF-16 (RecordReader), or the code page 932 bytes of a code page
// 932 log bound for a code page 932 CSV (Cp932RecordReader): its values are
// the bytes the UTF-16 values encode to, and no line is decoded unless the
// observer wants to see it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/conversion_settings.h"
#include "common/run_observer.h"
#include "logread/log_reader.h"

namespace trovlin {

template <class Text>
class BasicRecordReader {
 public:
  using View = std::basic_string_view<typename Text::value_type>;

  BasicRecordReader(LogReader& log, const ItemTable& items, BasicRecordBuffer<Text>& record,
                    const ConversionSettings& settings, PendingEvents& events);

  void ReadRecord(Text& line);

 private:
  void ReadFieldText(Text& line, std::size_t index);
  void ReadReferenceText(Text& line, std::size_t index);
  void SkipField(Text& line);
  void AppendPiece(View piece, bool firstAlone);
  void FinishFieldText();
  bool FieldTextEndsWithBar() const;
  void Store(std::size_t index, std::uint64_t line);
  void MarkLine(const Text& line);
  std::size_t FindItem(const Text& line) const;

  struct CodeKey {
    std::uint64_t chars;
    std::uint32_t length;
    bool operator==(const CodeKey&) const = default;
  };
  static CodeKey PackCode(std::u16string_view code);
  CodeKey LineCode(const Text& line) const;

  LogReader& log_;
  const ItemTable& items_;
  // Each item code packed into one number, for a cheap lookup per line.
  std::vector<CodeKey> itemKeys_;
  BasicRecordBuffer<Text>& record_;
  PendingEvents& events_;
  const bool deleteStars_;
  const bool toHalfWidth_;
  const bool replaceQuotes_;  // in RE text, as the CSV's apostrophe style does everywhere
  Text nextLine_;
  Text text_;
  Text narrowed_;
  char lastAppended_ = 0;  // of bytes: the last character appended, when ASCII
};

using RecordReader = BasicRecordReader<std::u16string>;
using Cp932RecordReader = BasicRecordReader<std::string>;

}  // namespace trovlin
