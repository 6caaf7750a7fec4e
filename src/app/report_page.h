// The window's Japanese account of a ConversionReport: the one-line summary
// the status bar shows after a run, the whole page of the report dialog
// (gaps, repeats and warnings first, then the log and its items), and the
// grid's tooltip of an item's count.
#pragma once

#include <cstdint>
#include <string>

#include "report/conversion_report.h"

namespace trovlin::app {

// "4行出力  回答 3/3件  欠番 11-20  重複 7  警告 2件": the rows; per set that
// announces its answers, the ones shown with the missing and the repeated;
// the warnings when there are any.
std::u16string ReportSummary(const ConversionReport& report);

// emptyRowsSkipped: the run gave no row to a record without any of the
// items. unreadCount items of the grid, below its empty row unreadRow, were
// not converted. Item codes and counts stand in aligned columns for a fixed
// font, a full-width character taking two places.
std::u16string ReportPage(const ConversionReport& report, bool emptyRowsSkipped, int unreadRow = 0,
                          int unreadCount = 0);

// The places text takes in a fixed font: two for a full-width character.
std::size_t DisplayWidth(std::u16string_view text);

// An item with a value in rows of the records of the log.
std::u16string ItemRowsTip(std::uint64_t rows, std::uint64_t records);

}  // namespace trovlin::app
