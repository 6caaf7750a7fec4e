// The position arithmetic of the PATOLIS layouts: find, cut and rest on the
// current line, 1-based, one character per UTF-16 code unit.
//
// A step whose start is below 1, or whose length is negative, has no result
// (std::nullopt) and is skipped by the caller: the position or cell it would
// have set keeps its value. That is how a missing marker (position 0) quietly
// leaves the cells that depend on it as they were. Positions are 64-bit, so
// lines of any length work.
#pragma once

#include <cassert>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "text/spaces.h"

namespace trovlin {

using Position = std::int64_t;

// The converters make a dozen of these steps per line, so they are inline:
// the optional results then live in registers and mostly fold away.

// find(marker, start): the position of the first marker at or after start,
// 0 when there is none (also when start lies beyond the end).
inline std::optional<Position> Find(std::u16string_view line, std::u16string_view marker, Position start) {
  if (start < 1) return std::nullopt;
  const auto from = static_cast<std::uint64_t>(start - 1);
  if (from > line.size()) return 0;
  if (marker.size() == 1) {
    // Most markers are one character; for them a plain loop beats the general search.
    const char16_t wanted = marker.front();
    for (auto i = static_cast<std::size_t>(from); i < line.size(); ++i) {
      if (line[i] == wanted) return static_cast<Position>(i) + 1;
    }
    return 0;
  }
  const std::size_t at = line.find(marker, static_cast<std::size_t>(from));
  return at == std::u16string_view::npos ? 0 : static_cast<Position>(at) + 1;
}

// cut(start, length): length characters from start, fewer when the line ends
// first, empty when start lies beyond the end.
inline std::optional<std::u16string_view> Cut(std::u16string_view line, Position start, Position length) {
  if (start < 1 || length < 0) return std::nullopt;
  const auto from = static_cast<std::uint64_t>(start - 1);
  if (from >= line.size()) return std::u16string_view();
  const std::uint64_t available = line.size() - from;
  const auto wanted = static_cast<std::uint64_t>(length);
  return line.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(wanted < available ? wanted : available));
}

// rest(start): the characters from start to the end of the line.
inline std::optional<std::u16string_view> Rest(std::u16string_view line, Position start) {
  if (start < 1) return std::nullopt;
  const auto from = static_cast<std::uint64_t>(start - 1);
  if (from >= line.size()) return std::u16string_view();
  return line.substr(static_cast<std::size_t>(from));
}

// trim(x) of a result that may be missing: half-width spaces only.
inline std::optional<std::u16string_view> Trim(std::optional<std::u16string_view> piece) {
  if (!piece) return std::nullopt;
  return TrimSpaces(*piece);
}

// The assignments of a step, made only when the step has a result.
inline void SetPosition(Position& target, std::optional<Position> found, Position offset = 0) {
  if (found) target = *found + offset;
}

// piece must not view cell itself: every piece is cut from a line. That lets
// clear and append do the copy, cheaper than assign, which must allow for an
// overlap; the cell keeps its memory from row to row either way.
inline void SetCell(std::u16string& cell, std::optional<std::u16string_view> piece) {
  if (!piece) return;
  assert(piece->empty() || std::greater<const char16_t*>()(piece->data(), cell.data() + cell.capacity()) ||
         std::less_equal<const char16_t*>()(piece->data() + piece->size(), cell.data()));
  cell.clear();
  cell.append(*piece);
}

// Removes the half-width spaces at both ends of text itself.
void TrimInPlace(std::u16string& text);

}  // namespace trovlin
