// Opening a log and reading what it offers, for every front end.
//
// A front end opens a log into its ConversionSettings (the encoding and the
// line end decided once, the service detected), reads what the log offers
// (the first answer's item codes, or a PATOLIS log's answer layout) to show
// it, and previews the CSV; a conversion itself is asked of the session as a
// ConversionRequest (session/conversion.h). The window and trovlin-cli call
// only the session for these steps, so the same log, service, items and
// options give the same bytes in both. Failures are thrown as IoError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/conversion_settings.h"
#include "input/discover.h"
#include "input/open_log.h"
#include "patolis/patolis.h"
#include "report/conversion_report.h"

namespace trovlin {

// Opens settings.inputPath: its reading format and detected service go into
// settings (DatabaseKind::None, with the refusal, when no service is
// recognised). encoding, when given, is taken instead of the sniffed one.
OpenedLog OpenLogInto(ConversionSettings& settings, std::optional<LogEncoding> encoding = std::nullopt);

// The item codes of the first answer of the opened log.
Discovery FirstAnswerItems(const ConversionSettings& settings, DiscoveryStart start = DiscoveryStart::FirstBlock);

// The PATOLIS answer header of the opened log, if it has one with "様式".
std::optional<AnswerHeader> PatolisLayout(const ConversionSettings& settings);

// The per-service options of a run: star removal for STN, half-width text
// for JOIS, each only when its option is on. Every other service keeps its
// text as it stands (the PATOLIS converters narrow the fields their layouts
// define, whatever the option says).
void SetRunOptions(ConversionSettings& settings, bool removeStars, bool toHalfWidth);

// An item list as CSV columns, and back; a "*" mark means joined.
ItemTable ItemTableFrom(const std::vector<DiscoveredItem>& list);
std::vector<DiscoveredItem> ItemListFrom(const ItemTable& table);
// Codes joined with ", ", as messages list them.
std::u16string JoinCodes(const std::vector<std::u16string>& codes);

// The warnings about the item list of a tagged run, for its report: codes
// given for columns (itemsGiven) that the first answer does not show, and
// codes of the first answer past the column limit.
std::vector<ReportWarning> ItemWarnings(const ItemTable& items, const Discovery& firstAnswer, bool itemsGiven);

// The CSV bytes of the header and the first maxRows rows, as Convert would
// write them (a PATOLIS log in its layout's columns, items unused); nothing
// is written.
std::string Preview(const ConversionSettings& settings, const ItemTable& items, std::size_t maxRows);

}  // namespace trovlin
