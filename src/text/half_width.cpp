#include "text/half_width.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <array>
#include <memory>
#include <stdexcept>

#include "text/cp932.h"

namespace trovlin {
namespace {

// No character below U+3000 has a half-width form that code page 932 holds.
constexpr char16_t kFirstWide = 0x3000;

struct WidthTable {
  // Up to two half-width characters for each character; 0 = unchanged.
  std::array<std::array<char16_t, 2>, 0x10000> narrow{};
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

const WidthTable& GetWidthTable() {
  static const std::unique_ptr<WidthTable> table = BuildWidthTable();
  return *table;
}

}  // namespace

void AppendHalfWidth(std::u16string_view text, std::u16string& out) {
  const WidthTable& t = GetWidthTable();
  for (char16_t c : text) {
    if (c < kFirstWide || t.narrow[c][0] == 0) {
      out.push_back(c);
      continue;
    }
    out.push_back(t.narrow[c][0]);
    if (t.narrow[c][1] != 0) out.push_back(t.narrow[c][1]);
  }
}

void ToHalfWidthInPlace(std::u16string& text) {
  std::u16string narrowed;
  narrowed.reserve(text.size() + 8);
  AppendHalfWidth(text, narrowed);
  text.swap(narrowed);
}

}  // namespace trovlin
