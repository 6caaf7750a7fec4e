// The code page 932 and width tables, computed on the build machine from
// ICU's "windows-31j" converter and normalisation data (tools/tablegen) and
// compiled in, so that nothing asks ICU at run time. cp932.cpp and
// half_width.cpp expand them into their lookup tables at first use.
#pragma once

#include <cstddef>
#include <cstdint>

namespace trovlin::tables {

// What a byte is: 0 a character of its own, 1 a lead byte, 2 invalid.
extern const std::uint8_t kCp932Kind[256];
// The character a single byte decodes to (byte 0 is U+0000).
extern const char16_t kCp932Single[256];

// The pairs, one row for each byte that leads a mapped pair: the row holds
// the characters of trail bytes kFirstTrail to kFirstTrail + kTrailCount - 1,
// 0 where the pair is not mapped.
inline constexpr int kFirstTrail = 0x40;
inline constexpr int kTrailCount = 0xFC - kFirstTrail + 1;
extern const std::uint8_t kCp932PairLeads[];
extern const std::size_t kCp932PairLeadCount;
extern const char16_t kCp932PairRows[][kTrailCount];

// A character is encoded as the first single byte, else the first pair in
// byte order, that decodes to it, except for these characters (fallbacks,
// and duplicates whose preferred form comes later). bytes holds the first
// byte in its low half, the second (if any) in its high half; 0xFFFF = none.
struct Cp932Encoding {
  char16_t c;
  std::uint16_t bytes;
};
extern const Cp932Encoding kCp932EncodeExceptions[];
extern const std::size_t kCp932EncodeExceptionCount;

// A full-width character and its one or two half-width characters (the
// second 0 when there is one).
struct WidthPair {
  char16_t wide;
  char16_t narrow[2];
};
extern const WidthPair kWidthPairs[];
extern const std::size_t kWidthPairCount;

}  // namespace trovlin::tables
