#include "patolis/text_cuts.h"

#include "text/spaces.h"

namespace trovlin {

std::optional<Position> Find(std::u16string_view line, std::u16string_view marker, Position start) {
  if (start < 1) return std::nullopt;
  const auto from = static_cast<std::uint64_t>(start - 1);
  if (from > line.size()) return 0;
  const std::size_t at = line.find(marker, static_cast<std::size_t>(from));
  return at == std::u16string_view::npos ? 0 : static_cast<Position>(at) + 1;
}

std::optional<std::u16string_view> Cut(std::u16string_view line, Position start, Position length) {
  if (start < 1 || length < 0) return std::nullopt;
  const auto from = static_cast<std::uint64_t>(start - 1);
  if (from >= line.size()) return std::u16string_view();
  const std::uint64_t available = line.size() - from;
  const auto wanted = static_cast<std::uint64_t>(length);
  return line.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(wanted < available ? wanted : available));
}

std::optional<std::u16string_view> Rest(std::u16string_view line, Position start) {
  if (start < 1) return std::nullopt;
  const auto from = static_cast<std::uint64_t>(start - 1);
  if (from >= line.size()) return std::u16string_view();
  return line.substr(static_cast<std::size_t>(from));
}

std::optional<std::u16string_view> Trim(std::optional<std::u16string_view> piece) {
  if (!piece) return std::nullopt;
  return TrimSpaces(*piece);
}

void TrimInPlace(std::u16string& text) {
  const std::u16string_view kept = TrimSpaces(text);
  const auto offset = static_cast<std::size_t>(kept.data() - text.data());
  const std::size_t length = kept.size();
  text.erase(offset + length);
  text.erase(0, offset);
}

}  // namespace trovlin
