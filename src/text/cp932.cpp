#include "text/cp932.h"

#include <unicode/ucnv.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace trovlin {
namespace {

constexpr std::uint16_t kNoBytes = 0xFFFF;  // no encoding (no code page 932 pair has FF)

bool IsLeadByte(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

struct Tables {
  enum Kind : std::uint8_t { kSingle, kLead, kInvalid };
  std::array<Kind, 256> kind{};
  std::array<char16_t, 256> single{};
  // pair[lead][trail]; 0 = not mapped (no pair decodes to U+0000).
  std::array<std::array<char16_t, 256>, 256> pair{};
  // encoded[c]: one byte (< 0x100), a lead/trail pair, or kNoBytes.
  std::array<std::uint16_t, 0x10000> encoded{};
};

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter OpenWindows31J() {
  UErrorCode status = U_ZERO_ERROR;
  Converter conv(ucnv_open("windows-31j", &status));
  if (U_FAILURE(status)) throw std::runtime_error("ICU has no windows-31j converter");
  status = U_ZERO_ERROR;
  ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  status = U_ZERO_ERROR;
  ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  return conv;
}

// The one character that bytes decode to, or 0 when they do not decode to
// exactly one BMP character.
char16_t DecodeWithIcu(UConverter* conv, const char* bytes, int length) {
  UChar out[4];
  UErrorCode status = U_ZERO_ERROR;
  ucnv_reset(conv);
  int n = ucnv_toUChars(conv, out, 4, bytes, length, &status);
  if (U_FAILURE(status) || n != 1) return 0;
  return out[0];
}

std::uint16_t EncodeWithIcu(UConverter* conv, char16_t c) {
  char out[8];
  UChar in[1] = {c};
  UErrorCode status = U_ZERO_ERROR;
  ucnv_reset(conv);
  int n = ucnv_fromUChars(conv, out, sizeof out, in, 1, &status);
  if (U_FAILURE(status)) return kNoBytes;
  if (n == 1) return static_cast<unsigned char>(out[0]);
  if (n == 2) return std::uint16_t(static_cast<unsigned char>(out[0]) << 8 | static_cast<unsigned char>(out[1]));
  return kNoBytes;
}

std::unique_ptr<Tables> BuildTables() {
  auto t = std::make_unique<Tables>();
  Converter conv = OpenWindows31J();
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    char16_t c = DecodeWithIcu(conv.get(), &byte, 1);
    if (b == 0 || c != 0) {
      t->kind[b] = Tables::kSingle;
      t->single[b] = c;
      continue;
    }
    t->kind[b] = IsLeadByte(b) ? Tables::kLead : Tables::kInvalid;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (!IsTrailByte(static_cast<unsigned char>(trail))) continue;
      const char two[2] = {byte, static_cast<char>(trail)};
      char16_t d = DecodeWithIcu(conv.get(), two, 2);
      if (d != 0) {
        t->kind[b] = Tables::kLead;
        t->pair[b][trail] = d;
      }
    }
  }
  for (std::uint32_t c = 0; c < 0x10000; ++c) {
    t->encoded[c] = (c >= 0xD800 && c <= 0xDFFF) ? kNoBytes : EncodeWithIcu(conv.get(), char16_t(c));
  }
  return t;
}

const Tables& GetTables() {
  static const std::unique_ptr<Tables> tables = BuildTables();
  return *tables;
}

// Most bytes of a log are ASCII: they are widened eight at a time.
constexpr std::uint64_t kHighBits8 = 0x8080808080808080ull;
constexpr std::uint64_t kNonAscii16 = 0xFF80FF80FF80FF80ull;

std::uint64_t Load8(const void* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
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
    while (end - p >= 8 && (Load8(p) & kHighBits8) == 0) {
      for (int k = 0; k < 8; ++k) o[k] = p[k];
      o += 8;
      p += 8;
    }
    if (p == end) break;
    unsigned char b = *p;
    if (b < 0x80) {
      *o++ = b;
      ++p;
      continue;
    }
    switch (t.kind[b]) {
      case Tables::kSingle:
        *o++ = t.single[b];
        ++p;
        break;
      case Tables::kLead:
        if (p + 1 < end && IsTrailByte(p[1])) {
          char16_t c = t.pair[b][p[1]];
          if (c != 0) {
            *o++ = c;
          } else {
            *o++ = EscapeInvalidByte(b);
            *o++ = EscapeInvalidByte(p[1]);
            invalid += 2;
          }
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
  out.resize(static_cast<std::size_t>(o - out.data()));
  return invalid;
}

std::size_t EncodeCp932(std::u16string_view text, std::string& out) {
  const Tables& t = GetTables();
  std::size_t unencodable = 0;
  const std::size_t start = out.size();
  out.resize(start + 2 * text.size());  // never more than two bytes a character
  char* o = out.data() + start;
  const char16_t* p = text.data();
  const char16_t* const end = p + text.size();
  while (p < end) {
    while (end - p >= 4 && (Load8(p) & kNonAscii16) == 0) {
      for (int k = 0; k < 4; ++k) o[k] = static_cast<char>(p[k]);
      o += 4;
      p += 4;
    }
    if (p == end) break;
    const char16_t c = *p++;
    if (c < 0x80) {
      *o++ = static_cast<char>(c);
      continue;
    }
    if (IsEscapedByte(c)) {
      *o++ = static_cast<char>(c - 0xDC00);
      continue;
    }
    std::uint16_t e = t.encoded[c];
    if (e == kNoBytes) {
      *o++ = '?';
      ++unencodable;
    } else if (e < 0x100) {
      *o++ = static_cast<char>(e);
    } else {
      *o++ = static_cast<char>(e >> 8);
      *o++ = static_cast<char>(e & 0xFF);
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return unencodable;
}

bool Cp932RoundTrips(char16_t c) {
  if (c < 0x80 || IsEscapedByte(c)) return true;
  const Tables& t = GetTables();
  std::uint16_t e = t.encoded[c];
  if (e == kNoBytes) return false;
  if (e < 0x100) return t.kind[e] == Tables::kSingle && t.single[e] == c;
  return t.pair[e >> 8][e & 0xFF] == c;
}

}  // namespace trovlin
