// Trimming as the whole system does it: only the half-width space (U+0020)
// counts as a space; the ideographic space is an ordinary character.
#pragma once

#include <string_view>

namespace trovlin {

inline constexpr char16_t kSpace = u' ';

inline std::u16string_view TrimLeadingSpaces(std::u16string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == kSpace) ++i;
  return s.substr(i);
}

inline std::u16string_view TrimTrailingSpaces(std::u16string_view s) {
  std::size_t n = s.size();
  while (n > 0 && s[n - 1] == kSpace) --n;
  return s.substr(0, n);
}

inline std::u16string_view TrimSpaces(std::u16string_view s) { return TrimTrailingSpaces(TrimLeadingSpaces(s)); }

}  // namespace trovlin
