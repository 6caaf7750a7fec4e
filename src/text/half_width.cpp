#include "text/half_width.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "text/text_tables.h"

namespace trovlin {
namespace {

// No character below U+3000 has a half-width form that code page 932 holds.
constexpr char16_t kFirstWide = 0x3000;

// Up to two half-width characters for a character; 0 = unchanged.
using Narrow = std::array<char16_t, 2>;

// The mapping, for the lookups of the hot loop: the few 256-character
// pages that hold a mapping, and one empty page that every other page (all
// of them below U+3000 included) shares, so the lookups stay in the cache.
struct PagedWidthTable {
  using Page = std::array<Narrow, 256>;
  std::array<std::uint8_t, 256> pageOf{};  // 0 = the empty page
  std::vector<Page> pages;
  const Narrow& operator[](char16_t c) const { return pages[pageOf[c >> 8]][c & 0xFF]; }
};

std::unique_ptr<PagedWidthTable> BuildPagedWidthTable() {
  auto t = std::make_unique<PagedWidthTable>();
  t->pages.emplace_back();
  for (std::size_t i = 0; i < tables::kWidthPairCount; ++i) {
    const tables::WidthPair& pair = tables::kWidthPairs[i];
    std::uint8_t& page = t->pageOf[pair.wide >> 8];
    if (page == 0) {
      page = static_cast<std::uint8_t>(t->pages.size());
      t->pages.emplace_back();
    }
    t->pages[page][pair.wide & 0xFF] = {pair.narrow[0], pair.narrow[1]};
  }
  return t;
}

const PagedWidthTable& GetWidthTable() {
  static const std::unique_ptr<PagedWidthTable> table = BuildPagedWidthTable();
  return *table;
}

// The characters below U+3000 at the front of [p, end), copied to o (which
// has room for eight more); returns how many.
std::size_t CopyNarrowRun(const char16_t* p, const char16_t* end, char16_t* o) {
  const char16_t* const start = p;
#if defined(__SSE2__)
  const __m128i lastNarrow = _mm_set1_epi16(static_cast<short>(kFirstWide - 1));
  const __m128i zero = _mm_setzero_si128();
  for (; end - p >= 8; p += 8, o += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), v);
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(v, lastNarrow), zero)) != 0xFFFF) break;
  }
#endif
  while (p < end && *p < kFirstWide) *o++ = *p++;
  return static_cast<std::size_t>(p - start);
}

}  // namespace

void AppendHalfWidth(std::u16string_view text, std::u16string& out) {
  const PagedWidthTable& t = GetWidthTable();
  const std::size_t start = out.size();
  out.resize(start + 2 * text.size() + 8);  // at most two characters for one, and room for a block copy
  char16_t* o = out.data() + start;
  const char16_t* p = text.data();
  const char16_t* const end = p + text.size();
  while (p < end) {
    const std::size_t copied = CopyNarrowRun(p, end, o);
    p += copied;
    o += copied;
    for (; p < end && *p >= kFirstWide; ++p) {
      const Narrow& n = t[*p];
      o[0] = n[0] != 0 ? n[0] : *p;
      o[1] = n[1];
      o += 1 + (n[1] != 0);
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
}

// Without an allocation: a one-for-one narrowing is made in place, and from
// the first voiced katakana on (which takes two characters) the text is
// filled from its end.
void ToHalfWidthInPlace(std::u16string& text) {
  const PagedWidthTable& t = GetWidthTable();
  const std::size_t n = text.size();
  std::size_t i = 0;
  for (; i < n; ++i) {
    const Narrow& narrow = t[text[i]];
    if (narrow[1] != 0) break;
    if (narrow[0] != 0) text[i] = narrow[0];
  }
  if (i == n) return;
  std::size_t extra = 0;
  for (std::size_t k = i; k < n; ++k) extra += t[text[k]][1] != 0;
  text.resize(n + extra);
  std::size_t to = n + extra;
  for (std::size_t k = n; k-- > i;) {
    const char16_t c = text[k];
    const Narrow& narrow = t[c];
    if (narrow[1] != 0) text[--to] = narrow[1];
    text[--to] = narrow[0] != 0 ? narrow[0] : c;
  }
}

}  // namespace trovlin
