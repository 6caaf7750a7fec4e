// The position arithmetic of the PATOLIS layouts: find, cut and rest on the
// current line, 1-based, one character per UTF-16 code unit.
//
// A step whose start is below 1, or whose length is negative, has no result
// (std::nullopt) and is skipped by the caller: the position or cell it would
// have set keeps its value. That is how a missing marker (position 0) quietly
// leaves the cells that depend on it as they were. Positions are 64-bit, so
// lines of any length work.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trovlin {

using Position = std::int64_t;

// find(marker, start): the position of the first marker at or after start,
// 0 when there is none (also when start lies beyond the end).
std::optional<Position> Find(std::u16string_view line, std::u16string_view marker, Position start);

// cut(start, length): length characters from start, fewer when the line ends
// first, empty when start lies beyond the end.
std::optional<std::u16string_view> Cut(std::u16string_view line, Position start, Position length);

// rest(start): the characters from start to the end of the line.
std::optional<std::u16string_view> Rest(std::u16string_view line, Position start);

// trim(x) of a result that may be missing: half-width spaces only.
std::optional<std::u16string_view> Trim(std::optional<std::u16string_view> piece);

// The assignments of a step, made only when the step has a result.
inline void SetPosition(Position& target, std::optional<Position> found, Position offset = 0) {
  if (found) target = *found + offset;
}

inline void SetCell(std::u16string& cell, std::optional<std::u16string_view> piece) {
  if (piece) cell.assign(*piece);
}

// Removes the half-width spaces at both ends of text itself.
void TrimInPlace(std::u16string& text);

}  // namespace trovlin
