#include "session/log_session.h"

#include <optional>

#include "common/database_kind.h"
#include "input/item_preset.h"
#include "tagged/tagged_run.h"
#include "text/utf8.h"

namespace trovlin {

OpenedLog OpenLogInto(ConversionSettings& settings, std::optional<LogEncoding> encoding) {
  OpenedLog opened = OpenLog(settings.inputPath, encoding);
  settings.SetInputFormat(opened.format);
  settings.databaseKind = opened.kind;
  return opened;
}

Discovery FirstAnswerItems(const ConversionSettings& settings, DiscoveryStart start) {
  return DiscoverItems(settings.inputPath, settings.InputFormat(), settings.databaseKind, start);
}

std::optional<AnswerHeader> PatolisLayout(const ConversionSettings& settings) {
  return FindAnswerHeader(settings.inputPath, settings.InputFormat());
}

void SetRunOptions(ConversionSettings& settings, bool removeStars, bool toHalfWidth) {
  const DatabaseKind kind = settings.databaseKind;
  settings.databaseName = Utf8ToUtf16(DatabaseCaption(kind));
  settings.deleteStars = kind == DatabaseKind::Stn && removeStars;
  settings.toHalfWidth = kind == DatabaseKind::Jois && toHalfWidth;
}

ItemTable ItemTableFrom(const std::vector<DiscoveredItem>& list) {
  ItemTable table;
  for (const DiscoveredItem& item : list) {
    table.codes.push_back(item.code);
    table.notJoined.push_back(item.mark != u"*");
  }
  return table;
}

std::vector<DiscoveredItem> ItemListFrom(const ItemTable& table) {
  std::vector<DiscoveredItem> list;
  for (std::size_t i = 0; i < table.codes.size(); ++i) {
    list.push_back({table.codes[i], table.notJoined[i] ? u"" : u"*"});
  }
  return list;
}

std::u16string JoinCodes(const std::vector<std::u16string>& codes) {
  std::u16string joined;
  for (const std::u16string& code : codes) joined += (joined.empty() ? u"" : u", ") + code;
  return joined;
}

std::vector<ReportWarning> ItemWarnings(const ItemTable& items, const Discovery& firstAnswer, bool itemsGiven) {
  std::vector<ReportWarning> warnings;
  if (firstAnswer.leftOut > 0) {
    warnings.push_back({firstAnswer.leftOutLine, WarningKind::ItemsLeftOut, firstAnswer.leftOut, {}});
  }
  if (!itemsGiven) return warnings;
  for (const std::u16string& code : CodesMissingFrom(ItemListFrom(items), firstAnswer)) {
    warnings.push_back({firstAnswer.firstLine, WarningKind::ItemNotShown, 0, code});
  }
  return warnings;
}

std::string Preview(const ConversionSettings& settings, const ItemTable& items, std::size_t maxRows) {
  if (settings.databaseKind == DatabaseKind::Patolis) return PreviewPatolis(settings, maxRows);
  return PreviewTaggedConversion(settings, items, maxRows);
}

}  // namespace trovlin
