#include "text/cp932_bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace trovlin {
namespace {

TEST(Cp932Bytes, CanonicalizesAsARoundTripWould) {
  const struct {
    std::string bytes, canonical;
    std::size_t invalid;
  } cases[] = {
      {"AB\tc", "AB\tc", 0},
      {"\x88\x9F\x82\x60", "\x88\x9F\x82\x60", 0},    // mapped pairs in their own form stay
      {"\xED\x40", "\xFA\x5C", 0},                    // an NEC-selected IBM duplicate: the IBM code
      {"\xFA\x4A", "\x87\x54", 0},                    // an IBM duplicate of an NEC special: the NEC code
      {"\x87\x90", "\x81\xE0", 0},                    // an NEC special duplicating a JIS symbol
      {"x\x85\x40\xED\x40", "x\x85\x40\xFA\x5C", 2},  // an unmapped pair stays, counted twice
      {"\x81 \xFF", "\x81 \xFF", 2},                  // a lone lead and an invalid byte
      {"\x82", "\x82", 1},                            // a lead last on the line
  };
  for (const auto& c : cases) {
    std::string out = "=";
    EXPECT_EQ(CanonicalizeCp932(c.bytes, out), c.invalid) << c.bytes;
    EXPECT_EQ(out, "=" + c.canonical);
  }
}

TEST(Cp932Bytes, CountsAndCutsCharacters) {
  const struct {
    std::string bytes;
    std::size_t chars;  // the cut, and the limit HasAtMostCp932Chars is asked about
    std::size_t offset;
    bool secondOfPair;
    bool atMost;
  } cases[] = {
      {"ABCDE", 4, 4, false, false},
      {"\x8A\xBF\x8E\x9A\x8A\xBF\x8E\x9A", 4, 8, false, true},  // four kanji: eight bytes
      {"\x8A\xBF\x8E\x9A\x8A\xBF\x8E\x9A\x8A", 4, 8, false, false},
      {"ABC\x85\x40x", 4, 4, true, false},  // the cut falls inside an unmapped pair
      {"AB\x85\x40x", 4, 4, false, false},
      {"\x85\x40\x85\x40", 4, 4, false, true},
      {"\x81 ab", 2, 2, false, false},  // a lone lead is one character
      {"ab", 4, 2, false, true},
      {"AB\x8A\xBF\x8E\x9A", 3, 4, false, false},  // ASCII, then pairs
      {"ABCD\x8A\xBF", 4, 4, false, false},
      {"A\x8A\xBF\x8E\x9A", 4, 5, false, true},
  };
  for (const auto& c : cases) {
    const Cp932Cut cut = CutAfterCp932Chars(c.bytes, c.chars);
    EXPECT_EQ(cut.offset, c.offset) << c.bytes;
    EXPECT_EQ(cut.secondOfPair, c.secondOfPair) << c.bytes;
    EXPECT_EQ(HasAtMostCp932Chars(c.bytes, c.chars), c.atMost) << c.bytes;
  }
}

TEST(Cp932Bytes, AppliesPieceRulesAndTellsTheLastCharacter) {
  const Cp932PieceRules none{}, stars{true, false}, narrow{false, true}, both{true, true};
  const struct {
    std::string piece;
    bool firstAlone;
    Cp932PieceRules rules;
    std::string out;
    char last;
  } cases[] = {
      {"a*b*", false, stars, "ab", 'b'},
      {"a|**", false, stars, "a|", '|'},
      {"\x83\x7C", false, none, "\x83\x7C", 0},  // "|" as the second byte of a katakana
      {"\x83\x40|", false, none, "\x83\x40|", '|'},
      {"\x83\x83\x7C", false, none, "\x83\x83\x7C", '|'},  // the lead run is even: "|" stands alone
      {"\x82\x60\x81\x62", false, narrow, "A|", '|'},      // full-width A and bar
      {"\x83\x4B", false, narrow, "\xB6\xDE", 0},          // a voiced katakana: two half-width bytes
      {"\x81\x96*", false, both, "*", '*'},                // a full-width star becomes one that stays
      {"\x82\x82\x60", true, narrow,
       "\x82"
       "A",
       'A'},                            // the first byte is a character alone
      {"\x7C", true, none, "\x7C", 0},  // ... and an invalid one, bar or not
      {"**", false, stars, "", 0},
  };
  for (const auto& c : cases) {
    std::string out;
    EXPECT_EQ(AppendCp932Piece(c.piece, c.firstAlone, c.rules, out), c.last) << c.piece;
    EXPECT_EQ(out, c.out) << c.piece;
  }
  EXPECT_EQ(LastCp932AsciiChar("ab|"), '|');
  EXPECT_EQ(LastCp932AsciiChar("\x83\x7C"), 0);
}

}  // namespace
}  // namespace trovlin
