#include "text/half_width.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

#include "text/cp932.h"

namespace trovlin {
namespace {

// No character below U+3000 has a half-width form that code page 932 holds.
constexpr char16_t kFirstWide = 0x3000;

// Up to two half-width characters for a character; 0 = unchanged.
using Narrow = std::array<char16_t, 2>;

struct WidthTable {
  std::array<Narrow, 0x10000> narrow{};
};

// The same mapping for the lookups of the hot loop: the few 256-character
// pages that hold a mapping, and one empty page that every other page (all
// of them below U+3000 included) shares, so the lookups stay in the cache.
struct PagedWidthTable {
  using Page = std::array<Narrow, 256>;
  std::array<std::uint8_t, 256> pageOf{};  // 0 = the empty page
  std::vector<Page> pages;
  const Narrow& operator[](char16_t c) const { return pages[pageOf[c >> 8]][c & 0xFF]; }
};

char16_t SingleRawDecomposition(const icu::Normalizer2& n, char16_t c) {
  icu::UnicodeString d;
  if (!n.getRawDecomposition(c, d) || d.length() != 1) return 0;
  return d.charAt(0);
}

std::unique_ptr<WidthTable> BuildWidthTable() {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfkd = icu::Normalizer2::getNFKDInstance(status);
  const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
  if (U_FAILURE(status)) throw std::runtime_error("ICU normalisation data is missing");
  auto t = std::make_unique<WidthTable>();
  auto set = [&](char16_t from, char16_t a, char16_t b = 0) {
    if (Cp932RoundTrips(a) && (b == 0 || Cp932RoundTrips(b))) t->narrow[from] = {a, b};
  };
  for (UChar32 c = kFirstWide; c < 0x10000; ++c) {
    const auto type = u_getIntPropertyValue(c, UCHAR_DECOMPOSITION_TYPE);
    if (type == U_DT_WIDE) {
      if (char16_t ascii = SingleRawDecomposition(*nfkd, char16_t(c))) set(char16_t(c), ascii);
    } else if (type == U_DT_NARROW) {
      if (char16_t wide = SingleRawDecomposition(*nfkd, char16_t(c))) set(wide, char16_t(c));
    }
  }
  // The spacing sound marks fold to the same half-width marks as the combining ones.
  set(u'゛', t->narrow[0x3099][0]);
  set(u'゜', t->narrow[0x309A][0]);
  // Voiced and semi-voiced katakana: half-width base letter, then the half-width mark.
  for (char16_t c = 0x30A0; c < 0x3100; ++c) {
    icu::UnicodeString d;
    if (!nfd->getRawDecomposition(c, d) || d.length() != 2) continue;
    const auto& base = t->narrow[d.charAt(0)];
    const auto& mark = t->narrow[d.charAt(1)];
    if (base[0] != 0 && base[1] == 0 && mark[0] != 0) set(c, base[0], mark[0]);
  }
  return t;
}

std::unique_ptr<PagedWidthTable> BuildPagedWidthTable() {
  const std::unique_ptr<WidthTable> full = BuildWidthTable();
  auto t = std::make_unique<PagedWidthTable>();
  t->pages.emplace_back();
  for (unsigned page = kFirstWide >> 8; page < 256; ++page) {
    const auto first = full->narrow.begin() + page * 256;
    if (std::all_of(first, first + 256, [](const Narrow& n) { return n[0] == 0; })) continue;
    t->pageOf[page] = static_cast<std::uint8_t>(t->pages.size());
    std::copy(first, first + 256, t->pages.emplace_back().begin());
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
