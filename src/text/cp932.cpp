#include "text/cp932.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "text/text_tables.h"

namespace trovlin {
namespace {

constexpr std::uint16_t kNoBytes = 0xFFFF;  // no encoding (no code page 932 pair has FF)

struct Tables {
  enum Kind : std::uint8_t { kSingle, kLead, kInvalid };
  std::array<Kind, 256> kind{};
  std::array<char16_t, 256> single{};
  // pair[lead][trail]; 0 = not mapped (no pair decodes to U+0000).
  std::array<std::array<char16_t, 256>, 256> pair{};
  // encoded[c]: the bytes in the order they are written, the first in the
  // low half (the high half is 0 for a one-byte form), or kNoBytes.
  std::array<std::uint16_t, 0x10000> encoded{};
};

// The lookup tables, expanded from the compact form compiled in.
std::unique_ptr<Tables> BuildTables() {
  auto t = std::make_unique<Tables>();
  for (int b = 0; b < 256; ++b) {
    t->kind[b] = static_cast<Tables::Kind>(tables::kCp932Kind[b]);
    t->single[b] = tables::kCp932Single[b];
  }
  for (std::size_t row = 0; row < tables::kCp932PairLeadCount; ++row) {
    std::copy_n(tables::kCp932PairRows[row], tables::kTrailCount,
                t->pair[tables::kCp932PairLeads[row]].begin() + tables::kFirstTrail);
  }
  // The first byte sequence that decodes to a character encodes it, unless
  // the exceptions say otherwise.
  t->encoded.fill(kNoBytes);
  for (int b = 0; b < 256; ++b) {
    std::uint16_t& e = t->encoded[t->single[b]];
    if (t->kind[b] == Tables::kSingle && e == kNoBytes) e = static_cast<std::uint16_t>(b);
  }
  for (int lead = 0; lead < 256; ++lead) {
    for (int trail = tables::kFirstTrail; trail < tables::kFirstTrail + tables::kTrailCount; ++trail) {
      const char16_t c = t->pair[lead][trail];
      if (c != 0 && t->encoded[c] == kNoBytes) t->encoded[c] = static_cast<std::uint16_t>(trail << 8 | lead);
    }
  }
  for (std::size_t i = 0; i < tables::kCp932EncodeExceptionCount; ++i) {
    t->encoded[tables::kCp932EncodeExceptions[i].c] = tables::kCp932EncodeExceptions[i].bytes;
  }
  return t;
}

const Tables& GetTables() {
  static const std::unique_ptr<Tables> tables = BuildTables();
  return *tables;
}

// Most bytes of a log are ASCII: they are converted sixteen at a time with
// SSE2, eight at a time elsewhere.
#if !defined(__SSE2__)
constexpr std::uint64_t kHighBits8 = 0x8080808080808080ull;
constexpr std::uint64_t kNonAscii16 = 0xFF80FF80FF80FF80ull;

std::uint64_t Load8(const void* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
#endif

// Widens the ASCII bytes at the front of [p, end) into o; returns how many.
// May write up to fifteen characters past them, which the caller's room (a
// character for every byte left) always holds.
std::size_t WidenAscii(const unsigned char* p, const unsigned char* end, char16_t* o) {
  const unsigned char* const start = p;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  while (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8), _mm_unpackhi_epi8(v, zero));
    const int high = _mm_movemask_epi8(v);
    if (high != 0)
      return static_cast<std::size_t>(p - start) + static_cast<std::size_t>(std::countr_zero(unsigned(high)));
    p += 16;
    o += 16;
  }
  if (end - p >= 8) {
    const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(v, zero));
    const int high = _mm_movemask_epi8(v) & 0xFF;
    if (high != 0)
      return static_cast<std::size_t>(p - start) + static_cast<std::size_t>(std::countr_zero(unsigned(high)));
    p += 8;
    o += 8;
  }
#else
  while (end - p >= 8 && (Load8(p) & kHighBits8) == 0) {
    for (int k = 0; k < 8; ++k) o[k] = p[k];
    o += 8;
    p += 8;
  }
#endif
  while (p < end && *p < 0x80) *o++ = *p++;
  return static_cast<std::size_t>(p - start);
}

// The one ASCII character an encoding writes as another byte, if any.
struct AsciiSwap {
  char from = 0;
  char to = 0;
};

// Narrows the characters below U+0080 at the front of [p, end) into o,
// swapping one character when asked; returns how many. May write up to
// fifteen bytes past them, which the caller's room (two bytes for every
// character left) always holds.
template <bool kSwap>
[[gnu::always_inline]] inline std::size_t NarrowAscii(const char16_t* p, const char16_t* end, char* o, AsciiSwap swap) {
  const char16_t* const start = p;
#if defined(__SSE2__)
  const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i zero = _mm_setzero_si128();
  const __m128i from = _mm_set1_epi8(swap.from);
  const __m128i delta = _mm_set1_epi8(static_cast<char>(swap.to - swap.from));
  const auto narrow = [&](__m128i a, __m128i b) {
    __m128i bytes = _mm_packus_epi16(a, b);
    if constexpr (kSwap) bytes = _mm_add_epi8(bytes, _mm_and_si128(_mm_cmpeq_epi8(bytes, from), delta));
    return bytes;
  };
  while (end - p >= 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), narrow(a, b));
    const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(_mm_or_si128(a, b), nonAscii), zero);
    if (_mm_movemask_epi8(ascii) != 0xFFFF) break;
    p += 16;
    o += 16;
  }
  if (end - p >= 8) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(a, nonAscii), zero)) == 0xFFFF) {
      _mm_storel_epi64(reinterpret_cast<__m128i*>(o), narrow(a, a));
      p += 8;
      o += 8;
    }
  }
#else
  while (end - p >= 4 && (Load8(p) & kNonAscii16) == 0) {
    for (int k = 0; k < 4; ++k) o[k] = static_cast<char>(p[k]);
    if constexpr (kSwap) {
      for (int k = 0; k < 4; ++k) o[k] = o[k] == swap.from ? swap.to : o[k];
    }
    o += 4;
    p += 4;
  }
#endif
  for (; p < end && *p < 0x80; ++p) {
    const char c = static_cast<char>(*p);
    *o++ = kSwap && c == swap.from ? swap.to : c;
  }
  return static_cast<std::size_t>(p - start);
}

// With kPairs, a surrogate pair is one "?", whatever its trail looks like
// (it may look like an escaped byte). Without, the loop has no such test.
template <bool kSwap, bool kPairs>
std::size_t EncodeRun(std::u16string_view text, std::string& out, AsciiSwap swap) {
  const Tables& t = GetTables();
  std::size_t unencodable = 0;
  const std::size_t start = out.size();
  out.resize(start + 2 * text.size());  // never more than two bytes a character
  char* o = out.data() + start;
  const char16_t* p = text.data();
  const char16_t* const end = p + text.size();
  while (p < end) {
    const std::size_t ascii = NarrowAscii<kSwap>(p, end, o, swap);
    p += ascii;
    o += ascii;
    while (p < end && *p >= 0x80) {
      // Characters with a form, the bulk of it, in a loop of their own.
      for (; p < end && *p >= 0x80; ++p) {
        const std::uint16_t e = t.encoded[*p];
        if (e == kNoBytes) break;
        // Both bytes are stored; a single-byte form then moves on by one.
        o[0] = static_cast<char>(e & 0xFF);
        o[1] = static_cast<char>(e >> 8);
        o += 1 + (e >> 8 != 0);
      }
      if (p == end || *p < 0x80) break;
      const char16_t c = *p++;
      const std::uint16_t e = t.encoded[c];
      if (e < kNoBytes) {
        // Both bytes are stored; a single-byte form then moves on by one.
        o[0] = static_cast<char>(e & 0xFF);
        o[1] = static_cast<char>(e >> 8);
        o += 1 + (e >> 8 != 0);
      } else if (kPairs && c >= 0xD800 && c <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF) {
        ++p;
        *o++ = '?';
        ++unencodable;
      } else if (IsEscapedByte(c)) {
        const char byte = static_cast<char>(c - 0xDC00);  // an invalid byte kept: swapped like any byte
        *o++ = kSwap && byte == swap.from ? swap.to : byte;
      } else {
        *o++ = '?';
        ++unencodable;
      }
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return unencodable;
}

// Text with a character code page 932 cannot hold (only a UTF-8 or UTF-16
// log gives one) is encoded again with the test for pairs, which the common
// case thus never pays for.
template <bool kSwap>
std::size_t Encode(std::u16string_view text, std::string& out, AsciiSwap swap) {
  const std::size_t start = out.size();
  if (EncodeRun<kSwap, false>(text, out, swap) == 0) return 0;
  out.resize(start);
  return EncodeRun<kSwap, true>(text, out, swap);
}

}  // namespace

std::size_t DecodeCp932(std::string_view bytes, std::u16string& out) {
  const Tables& t = GetTables();
  std::size_t invalid = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  const std::size_t start = out.size();
  out.resize(start + bytes.size());  // never more characters than bytes
  char16_t* o = out.data() + start;
  while (p < end) {
    const std::size_t ascii = WidenAscii(p, end, o);
    p += ascii;
    o += ascii;
    // A run of Japanese text: mapped pairs go straight through the table,
    // in a loop of their own (0 unless p[0] leads and p[1] trails a mapped pair).
    while (p < end && *p >= 0x80) {
      for (const unsigned char* const lastLead = end - 1; p < lastLead && *p >= 0x80; p += 2) {
        const char16_t c = t.pair[p[0]][p[1]];
        if (c == 0) break;
        *o++ = c;
      }
      if (p == end || *p < 0x80) break;
      const unsigned char b = *p;
      switch (t.kind[b]) {
        case Tables::kSingle:
          *o++ = t.single[b];
          ++p;
          break;
        case Tables::kLead:
          if (p + 1 < end && IsTrailByte(p[1])) {
            *o++ = EscapeInvalidByte(b);
            *o++ = EscapeInvalidByte(p[1]);
            invalid += 2;
            p += 2;
          } else {
            *o++ = EscapeInvalidByte(b);
            ++invalid;
            ++p;
          }
          break;
        case Tables::kInvalid:
          *o++ = EscapeInvalidByte(b);
          ++invalid;
          ++p;
          break;
      }
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return invalid;
}

std::size_t EncodeCp932(std::u16string_view text, std::string& out) { return Encode<false>(text, out, {}); }

std::size_t EncodeCp932Replacing(std::u16string_view text, char16_t from, char to, std::string& out) {
  if (from >= 0x80 || static_cast<unsigned char>(to) >= 0x80) {
    throw std::invalid_argument("EncodeCp932Replacing swaps ASCII characters only");
  }
  return Encode<true>(text, out, {static_cast<char>(from), to});
}

bool Cp932RoundTrips(char16_t c) {
  if (c < 0x80 || IsEscapedByte(c)) return true;
  const Tables& t = GetTables();
  std::uint16_t e = t.encoded[c];
  if (e == kNoBytes) return false;
  if (e < 0x100) return t.kind[e] == Tables::kSingle && t.single[e] == c;
  return t.pair[e & 0xFF][e >> 8] == c;
}

std::size_t CountCp932Unencodable(std::u16string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (Cp932RoundTrips(c)) continue;
    ++count;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
  }
  return count;
}

}  // namespace trovlin
