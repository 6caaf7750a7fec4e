#include "text/cp932_bytes.h"

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

#include "text/cp932.h"
#include "text/half_width.h"

namespace trovlin {
namespace {

// What the unit that a byte at or above 0x80 starts with the byte after it
// becomes, packed into one number so that one load answers: the bytes to
// write (the first in the low byte), how many (0: the byte is a unit of its
// own), whether the unit is two invalid bytes, and its last character when
// that is a single ASCII byte.
using PairCode = std::uint32_t;
constexpr unsigned kLengthShift = 16;
constexpr PairCode kLengthMask = PairCode{3} << kLengthShift;
constexpr PairCode kInvalidPair = PairCode{1} << 18;
constexpr unsigned kLastShift = 24;

std::size_t LengthOf(PairCode code) { return (code & kLengthMask) >> kLengthShift; }
char LastAsciiOf(PairCode code) { return static_cast<char>(code >> kLastShift); }
// Two for two invalid bytes, else 0.
std::size_t InvalidIn(PairCode code) { return (code & kInvalidPair) != 0 ? 2 : 0; }

// Made from the decoder and encoder themselves, so the byte forms cannot
// drift from them. Indexed by byte << 8 | next byte (0 at the end).
struct ByteTables {
  std::array<bool, 256> invalidAlone{};  // a byte that is an invalid character on its own
  std::array<bool, 256> lead{};          // a byte that takes a trail byte after it with it
  std::array<PairCode, 0x10000> canonical{};
  std::array<PairCode, 0x10000> narrow{};  // canonical, or the half-width form
  // The mapped pairs that are their own canonical form, a bit each: the
  // bulk of Japanese text, told from a table small enough to stay cached.
  std::array<std::uint64_t, 0x10000 / 64> selfCanonical{};
};

PairCode ToPairCode(const std::string& bytes, bool invalid, bool singleBytes) {
  if (bytes.empty() || bytes.size() > 2) throw std::logic_error("a code page 932 character has one or two bytes");
  PairCode code = static_cast<unsigned char>(bytes[0]);
  if (bytes.size() == 2) code |= PairCode{static_cast<unsigned char>(bytes[1])} << 8;
  code |= PairCode(bytes.size()) << kLengthShift;
  if (invalid) code |= kInvalidPair;
  const auto last = static_cast<unsigned char>(bytes.back());
  if (singleBytes && last < 0x80) code |= PairCode{last} << kLastShift;
  return code;
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
    // Every lead byte can also trail, which the backward count below needs.
    if (!IsTrailByte(static_cast<unsigned char>(lead))) throw std::logic_error("a lead byte that cannot trail");
    t->lead[lead] = true;
    for (int trail = 0x40; trail < 256; ++trail) {
      if (!IsTrailByte(static_cast<unsigned char>(trail))) continue;
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      text.clear();
      const bool invalid = DecodeCp932(pair, text) != 0;
      bytes.clear();
      EncodeCp932(text, bytes);
      const std::size_t index = std::size_t(lead) << 8 | std::size_t(trail);
      t->canonical[index] = t->narrow[index] = ToPairCode(bytes, invalid, false);
      if (invalid) continue;
      if (bytes == pair) t->selfCanonical[index / 64] |= std::uint64_t{1} << (index % 64);
      std::u16string narrowed;
      AppendHalfWidth(text, narrowed);
      if (narrowed == text) continue;
      bytes.clear();
      EncodeCp932(narrowed, bytes);
      // Half-width forms are single bytes, so the last byte is a character.
      if (bytes.size() != narrowed.size()) throw std::logic_error("a half-width form is not single bytes");
      t->narrow[index] = ToPairCode(bytes, false, true);
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

// Appends text without its stop bytes (none for kNoStop).
void AppendWithout(std::string_view text, char stop, std::string& out) {
  if (stop == kNoStop) {
    out.append(text);
    return;
  }
  for (std::size_t from = 0;;) {
    const std::size_t at = text.find(stop, from);
    out.append(text.substr(from, at - from));
    if (at == std::string_view::npos) return;
    from = at + 1;
  }
}

// The byte text[last] when it is an ASCII character of its own, else 0;
// text is read from its start. The lead bytes right before it decide: an
// odd run ends with the lead of a pair whose second byte it is. The byte
// before the run is no lead, so a unit ends with it.
char AsciiCharEndingAt(const ByteTables& t, std::string_view text, std::size_t last) {
  const auto back = static_cast<unsigned char>(text[last]);
  if (back >= 0x80) return 0;
  if (back < 0x40) return static_cast<char>(back);  // never the second byte of a pair
  std::size_t leads = 0;
  while (leads < last && t.lead[static_cast<unsigned char>(text[last - 1 - leads])]) ++leads;
  return leads % 2 == 1 ? 0 : static_cast<char>(back);
}

// The code of the unit that starts at p (p < end, *p >= 0x80) in table.
PairCode CodeAt(const std::array<PairCode, 0x10000>& table, const unsigned char* p, const unsigned char* end) {
  return table[std::size_t(p[0]) << 8 | (end - p >= 2 ? p[1] : 0)];
}

// The index of the two bytes at p into a pair table.
std::size_t PairIndex(const unsigned char* p) { return std::size_t(p[0]) << 8 | p[1]; }

// Writes the two bytes of code at o; the caller moves on by its length.
void StoreBytes(PairCode code, char* o) {
  o[0] = static_cast<char>(code & 0xFF);
  o[1] = static_cast<char>(code >> 8 & 0xFF);
}

}  // namespace

std::size_t CanonicalizeCp932(std::string_view bytes, std::string& out) {
  const ByteTables& t = GetByteTables();
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  if (PlainAsciiRun(p, end, kNoStop) == bytes.size()) {  // most lines of most logs
    out.append(bytes);
    return 0;
  }
  const std::size_t start = out.size();
  out.resize(start + bytes.size());  // the canonical form is never longer
  char* o = out.data() + start;
  std::size_t invalid = 0;
  while (p < end) {
    const std::size_t ascii = PlainAsciiRun(p, end, kNoStop);
    std::memcpy(o, p, ascii);
    o += ascii;
    p += ascii;
    // A run of Japanese text, a unit at a time.
    while (p < end && *p >= 0x80) {
      // Pairs that stay as they are, the bulk of it, in a loop of their own
      // and copied after it.
      const unsigned char* const kept = p;
      for (const unsigned char* const lastLead = end - 1; p < lastLead && *p >= 0x80; p += 2) {
        const std::size_t index = PairIndex(p);
        if ((t.selfCanonical[index / 64] >> (index % 64) & 1) == 0) break;
      }
      std::memcpy(o, kept, static_cast<std::size_t>(p - kept));
      o += p - kept;
      if (p == end || *p < 0x80) break;
      const PairCode code = CodeAt(t.canonical, p, end);
      if (LengthOf(code) != 0) {
        StoreBytes(code, o);
        o += 2;
        p += 2;
        invalid += InvalidIn(code);
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
  const PairCode code = CodeAt(t.canonical, p, end);
  if (LengthOf(code) == 0) return {1, 1};
  return {2, InvalidIn(code) != 0 ? 2u : 1u};
}

bool HasAtMostCp932CharsByWalk(std::string_view bytes, std::size_t limit) {
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

Cp932Cut CutAfterCp932CharsByWalk(std::string_view bytes, std::size_t chars) {
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
  if (!rules.toHalfWidth && !firstAlone) {
    // Canonical pairs stay as they are, and a star is never part of one, so
    // the bytes between the stars are copied whole; only a last byte that
    // may be the second of a pair needs the walk below to say what it is.
    AppendWithout(piece, stop, out);
    const std::size_t last = rules.deleteStars ? piece.find_last_not_of('*') : piece.size() - 1;
    if (piece.empty() || last == std::string_view::npos) return 0;
    return AsciiCharEndingAt(t, piece, last);
  }
  if (!firstAlone &&
      PlainAsciiRun(reinterpret_cast<const unsigned char*>(piece.data()),
                    reinterpret_cast<const unsigned char*>(piece.data()) + piece.size(), stop) == piece.size()) {
    out.append(piece);
    return piece.empty() ? 0 : piece.back();
  }
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
      // Every pair goes through the table, unchanged ones too: one path
      // with no branch on what the pair is.
      for (const unsigned char* const lastLead = end - 1; p < lastLead && *p >= 0x80; p += 2) {
        const PairCode code = pairs[PairIndex(p)];
        if (LengthOf(code) == 0) break;
        StoreBytes(code, o);
        o += LengthOf(code);
        last = LastAsciiOf(code);
      }
      if (p == end || (*p < 0x80 && *p != static_cast<unsigned char>(stop))) break;
      if (*p == '*') continue;
      const PairCode code = CodeAt(pairs, p, end);
      if (LengthOf(code) != 0) {
        StoreBytes(code, o);
        o += LengthOf(code);
        p += 2;
        last = LastAsciiOf(code);
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
  return text.empty() ? 0 : AsciiCharEndingAt(GetByteTables(), text, text.size() - 1);
}

}  // namespace trovlin
