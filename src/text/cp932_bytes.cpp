#include "text/cp932_bytes.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "text/cp932.h"
#include "text/half_width.h"

namespace trovlin {
namespace {

bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// What a lead and trail pair becomes: up to two bytes, and how many
// characters they are.
struct PairOut {
  std::array<char, 2> bytes{};
  std::uint8_t length = 0;
  char lastAscii = 0;  // the last character, when it is a single ASCII byte
};

// What a byte at or above 0x80 and the byte after it are, as flags.
enum UnitFlags : std::uint8_t {
  kPair = 1,         // the two bytes are one unit (a mapped pair, or two invalid bytes)
  kInvalidPair = 2,  // a lead and trail that the table does not map: two characters
};

// Made from the decoder and encoder themselves, so the byte forms cannot
// drift from them.
struct ByteTables {
  std::array<bool, 256> invalidAlone{};  // a byte that is an invalid character on its own
  std::array<std::uint8_t, 0x10000> unit{};  // [byte << 8 | next byte (0 at the end)]
  std::array<PairOut, 0x10000> canonical{};
  std::array<PairOut, 0x10000> narrow{};  // canonical, or the half-width form
};

PairOut ToPairOut(const std::string& bytes, bool singleBytes) {
  if (bytes.empty() || bytes.size() > 2) throw std::logic_error("a code page 932 character has one or two bytes");
  PairOut out;
  std::memcpy(out.bytes.data(), bytes.data(), bytes.size());
  out.length = static_cast<std::uint8_t>(bytes.size());
  const auto last = static_cast<unsigned char>(bytes.back());
  if (singleBytes && last < 0x80) out.lastAscii = static_cast<char>(last);
  return out;
}

std::unique_ptr<ByteTables> BuildByteTables() {
  auto t = std::make_unique<ByteTables>();
  std::u16string text;
  std::string bytes;
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    text.clear();
    t->invalidAlone[b] = DecodeCp932(one, text) != 0;
    bytes.clear();
    EncodeCp932(text, bytes);
    // The walks copy ASCII as it is and every other single byte unchanged.
    if (bytes != one) throw std::logic_error("a single code page 932 byte does not round-trip");
  }
  for (int lead = 0x80; lead < 256; ++lead) {
    const char probe[2] = {static_cast<char>(lead), '\x40'};
    text.clear();
    DecodeCp932(std::string_view(probe, 2), text);
    // A lead byte takes the trail with it, mapped or not; any other byte
    // leaves the "@" after it a character of its own.
    if (!t->invalidAlone[lead] || !(text.size() == 1 || text[1] == EscapeInvalidByte(0x40))) continue;
    for (int trail = 0x40; trail < 256; ++trail) {
      if (!IsTrailByte(static_cast<unsigned char>(trail))) continue;
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      text.clear();
      DecodeCp932(pair, text);
      bytes.clear();
      EncodeCp932(text, bytes);
      const std::size_t index = std::size_t(lead) << 8 | std::size_t(trail);
      t->canonical[index] = ToPairOut(bytes, false);
      t->narrow[index] = t->canonical[index];
      t->unit[index] = kPair;
      if (text.size() != 1) {
        t->unit[index] |= kInvalidPair;
        continue;
      }
      std::u16string narrowed;
      AppendHalfWidth(text, narrowed);
      if (narrowed == text) continue;
      bytes.clear();
      EncodeCp932(narrowed, bytes);
      // Half-width forms are single bytes, so the last byte is a character.
      if (bytes.size() != narrowed.size()) throw std::logic_error("a half-width form is not single bytes");
      t->narrow[index] = ToPairOut(bytes, true);
    }
  }
  return t;
}

const ByteTables& GetByteTables() {
  static const std::unique_ptr<ByteTables> tables = BuildByteTables();
  return *tables;
}

// A stop byte that no ASCII run holds.
constexpr char kNoStop = '\x80';

// How many bytes at the front of [p, end) are ASCII and not stop.
std::size_t PlainAsciiRun(const unsigned char* p, const unsigned char* end, char stop) {
  const unsigned char* const start = p;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(stop);
  for (; end - p >= 16; p += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(v, _mm_cmpeq_epi8(v, wanted))));
    if (hits != 0) return static_cast<std::size_t>(p - start) + static_cast<std::size_t>(std::countr_zero(hits));
  }
#endif
  while (p < end && *p < 0x80 && *p != static_cast<unsigned char>(stop)) ++p;
  return static_cast<std::size_t>(p - start);
}

// The unit flags of the byte at p (p < end, *p >= 0x80) and its index into
// the pair tables.
struct Unit {
  std::size_t index;
  std::uint8_t flags;
};

Unit UnitAt(const ByteTables& t, const unsigned char* p, const unsigned char* end) {
  const std::size_t index = std::size_t(p[0]) << 8 | (end - p >= 2 ? p[1] : 0);
  return {index, t.unit[index]};
}

}  // namespace

std::size_t CanonicalizeCp932(std::string_view bytes, std::string& out) {
  const ByteTables& t = GetByteTables();
  const std::size_t start = out.size();
  out.resize(start + bytes.size());  // the canonical form is never longer
  char* o = out.data() + start;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  std::size_t invalid = 0;
  while (p < end) {
    const std::size_t ascii = PlainAsciiRun(p, end, kNoStop);
    std::memcpy(o, p, ascii);
    o += ascii;
    p += ascii;
    // A run of Japanese text, a unit at a time.
    while (p < end && *p >= 0x80) {
      const Unit unit = UnitAt(t, p, end);
      if (unit.flags & kPair) {
        const PairOut& pair = t.canonical[unit.index];
        o[0] = pair.bytes[0];
        o[1] = pair.bytes[1];
        o += 2;
        p += 2;
        invalid += unit.flags & kInvalidPair ? 2 : 0;
      } else {
        *o++ = static_cast<char>(*p);
        invalid += t.invalidAlone[*p];
        ++p;
      }
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return invalid;
}

// The bytes and characters of the unit at p (p < end).
struct Span {
  std::size_t bytes;
  std::size_t chars;
};
Span SpanAt(const ByteTables& t, const unsigned char* p, const unsigned char* end) {
  if (*p < 0x80) return {1, 1};
  const std::uint8_t flags = UnitAt(t, p, end).flags;
  if (!(flags & kPair)) return {1, 1};
  return {2, flags & kInvalidPair ? 2u : 1u};
}

bool HasAtMostCp932Chars(std::string_view bytes, std::size_t limit) {
  if (bytes.size() <= limit) return true;
  if (bytes.size() > 2 * limit) return false;  // no character is longer than two bytes
  const ByteTables& t = GetByteTables();
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  std::size_t chars = 0;
  while (p < end && chars <= limit) {
    const Span span = SpanAt(t, p, end);
    chars += span.chars;
    p += span.bytes;
  }
  return chars <= limit;
}

Cp932Cut CutAfterCp932Chars(std::string_view bytes, std::size_t chars) {
  const ByteTables& t = GetByteTables();
  const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = begin + bytes.size();
  const auto* p = begin;
  for (std::size_t n = 0; n < chars && p < end;) {
    const Span span = SpanAt(t, p, end);
    if (span.chars == 2 && n + 1 == chars) return {static_cast<std::size_t>(p + 1 - begin), true};
    n += span.chars;
    p += span.bytes;
  }
  return {static_cast<std::size_t>(p - begin), false};
}

char AppendCp932Piece(std::string_view piece, bool firstAlone, Cp932PieceRules rules, std::string& out) {
  const ByteTables& t = GetByteTables();
  const auto& pairs = rules.toHalfWidth ? t.narrow : t.canonical;
  // A star is ASCII, so without deleting stars the scan stops at bytes >= 0x80 only.
  const char stop = rules.deleteStars ? '*' : kNoStop;
  const std::size_t start = out.size();
  out.resize(start + piece.size());  // never longer: a pair narrows to at most two bytes
  char* o = out.data() + start;
  const auto* p = reinterpret_cast<const unsigned char*>(piece.data());
  const auto* const end = p + piece.size();
  char last = 0;
  if (firstAlone && p < end) {
    *o++ = static_cast<char>(*p++);  // an invalid byte, whatever it looks like
  }
  while (p < end) {
    const std::size_t ascii = PlainAsciiRun(p, end, stop);
    if (ascii > 0) {
      std::memcpy(o, p, ascii);
      o += ascii;
      p += ascii;
      last = static_cast<char>(p[-1]);
    }
    // Stars, and runs of Japanese text a unit at a time.
    while (p < end && (*p >= 0x80 || *p == static_cast<unsigned char>(stop))) {
      if (*p == '*') {
        ++p;
        continue;
      }
      // Every pair goes through the table, kept ones too: one path with no
      // branch on what the pair is.
      const Unit unit = UnitAt(t, p, end);
      if (unit.flags & kPair) {
        const PairOut& pair = pairs[unit.index];
        o[0] = pair.bytes[0];
        o[1] = pair.bytes[1];
        o += pair.length;
        p += 2;
        last = pair.lastAscii;
      } else {
        *o++ = static_cast<char>(*p++);
        last = 0;
      }
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return last;
}

char LastCp932AsciiChar(std::string_view text) {
  if (text.empty()) return 0;
  const auto back = static_cast<unsigned char>(text.back());
  if (back >= 0x80) return 0;
  if (back < 0x40) return static_cast<char>(back);  // never the second byte of a pair
  std::string scratch;
  return AppendCp932Piece(text, false, {}, scratch);
}

}  // namespace trovlin
