// Where a conversion's rows go when they are not CSV bytes: a workbook.
//
// The CSV writer hands the header and each row to the sink as they come;
// whoever made the sink finishes it.
#pragma once

#include <string>
#include <vector>

#include "common/conversion_settings.h"

namespace trovlin {

// A cell of a report sheet: text, or a count (decimal digits in text) that
// a spreadsheet takes as a number.
struct SheetCell {
  std::string text;
  bool number = false;

  bool operator==(const SheetCell&) const = default;
};
using SheetRows = std::vector<std::vector<SheetCell>>;

class RowSink {
 public:
  virtual ~RowSink() = default;
  virtual void WriteHeader(const ItemTable& items) = 0;
  // Takes the row's values; they are emptied afterwards.
  virtual void WriteRow(RecordBuffer& record) = 0;
};

}  // namespace trovlin
