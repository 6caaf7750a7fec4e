// trovlin_tablegen: writes the code page 932 and half-width tables that
// src/text reads, as a C++ source, so that no program of Trovlin's needs ICU
// at run time. It asks ICU's "windows-31j" converter and its normalisation
// data once, on the build machine, and the tables are compiled in.
//
// Usage: trovlin_tablegen OUTPUT.cpp
//
// The forms written are those of src/text/text_tables.h: the decoding by
// byte and by lead byte row, the encoding as the exceptions to "the first
// byte sequence that decodes to the character", and the width pairs.
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>
#include <unicode/uset.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "text/cp932.h"

namespace {

constexpr std::uint16_t kNoBytes = 0xFFFF;
constexpr int kFirstTrail = 0x40;
constexpr int kLastTrail = 0xFC;
enum Kind : std::uint8_t { kSingle, kLead, kInvalid };

bool IsLeadByte(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(int b) { return trovlin::IsTrailByte(static_cast<unsigned char>(b)); }

struct Cp932 {
  std::array<Kind, 256> kind{};
  std::array<char16_t, 256> single{};
  std::array<std::array<char16_t, 256>, 256> pair{};
  std::array<std::uint16_t, 0x10000> encoded{};

  bool RoundTrips(char16_t c) const {
    if (c < 0x80 || (c >= 0xDC00 && c <= 0xDCFF)) return true;
    const std::uint16_t e = encoded[c];
    if (e == kNoBytes) return false;
    if (e < 0x100) return kind[e] == kSingle && single[e] == c;
    return pair[e & 0xFF][e >> 8] == c;
  }
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
char16_t Decode(UConverter* conv, const char* bytes, int length) {
  UChar out[4];
  UErrorCode status = U_ZERO_ERROR;
  ucnv_reset(conv);
  const int n = ucnv_toUChars(conv, out, 4, bytes, length, &status);
  if (U_FAILURE(status) || n != 1) return 0;
  return out[0];
}

std::uint16_t Encode(UConverter* conv, char16_t c) {
  char out[8];
  UChar in[1] = {c};
  UErrorCode status = U_ZERO_ERROR;
  ucnv_reset(conv);
  const int n = ucnv_fromUChars(conv, out, sizeof out, in, 1, &status);
  if (U_FAILURE(status)) return kNoBytes;
  if (n == 1) return static_cast<unsigned char>(out[0]);
  if (n == 2) return std::uint16_t(static_cast<unsigned char>(out[1]) << 8 | static_cast<unsigned char>(out[0]));
  return kNoBytes;
}

std::unique_ptr<Cp932> AskConverter() {
  auto t = std::make_unique<Cp932>();
  Converter conv = OpenWindows31J();
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    const char16_t c = Decode(conv.get(), &byte, 1);
    if (b == 0 || c != 0) {
      t->kind[b] = kSingle;
      t->single[b] = c;
      continue;
    }
    t->kind[b] = IsLeadByte(b) ? kLead : kInvalid;
    for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
      if (!IsTrailByte(trail)) continue;
      const char two[2] = {byte, static_cast<char>(trail)};
      if (const char16_t d = Decode(conv.get(), two, 2)) {
        t->kind[b] = kLead;
        t->pair[b][trail] = d;
      }
    }
  }
  // Only characters in the converter's set of mappings are asked about.
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<USet, decltype(&uset_close)> mapped(uset_openEmpty(), &uset_close);
  ucnv_getUnicodeSet(conv.get(), mapped.get(), UCNV_ROUNDTRIP_AND_FALLBACK_SET, &status);
  if (U_FAILURE(status)) throw std::runtime_error("ICU gives no set of windows-31j mappings");
  t->encoded.fill(kNoBytes);
  const std::int32_t items = uset_getItemCount(mapped.get());
  for (std::int32_t i = 0; i < items; ++i) {
    UChar32 first = 0, last = 0;
    status = U_ZERO_ERROR;
    const std::int32_t stringLength = uset_getItem(mapped.get(), i, &first, &last, nullptr, 0, &status);
    if (stringLength != 0 || U_FAILURE(status)) continue;
    for (UChar32 c = first; c <= std::min<UChar32>(last, 0xFFFF); ++c) {
      if (!(c >= 0xD800 && c <= 0xDFFF)) t->encoded[c] = Encode(conv.get(), char16_t(c));
    }
  }
  return t;
}

// The encoding that src/text derives from the decoding alone: the first
// single byte, then the first pair in byte order, that decodes to c.
std::array<std::uint16_t, 0x10000> FirstDecodings(const Cp932& t) {
  std::array<std::uint16_t, 0x10000> first;
  first.fill(kNoBytes);
  for (int b = 0; b < 256; ++b) {
    if (t.kind[b] == kSingle && first[t.single[b]] == kNoBytes) first[t.single[b]] = std::uint16_t(b);
  }
  for (int lead = 0; lead < 256; ++lead) {
    for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
      const char16_t d = t.pair[lead][trail];
      if (d != 0 && first[d] == kNoBytes) first[d] = std::uint16_t(trail << 8 | lead);
    }
  }
  return first;
}

using Narrow = std::array<char16_t, 2>;

char16_t SingleRawDecomposition(const icu::Normalizer2& n, char16_t c) {
  icu::UnicodeString d;
  if (!n.getRawDecomposition(c, d) || d.length() != 1) return 0;
  return d.charAt(0);
}

// Full-width to half-width pairs whose half-width form survives code page 932.
std::unique_ptr<std::array<Narrow, 0x10000>> WidthPairs(const Cp932& cp932) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfkd = icu::Normalizer2::getNFKDInstance(status);
  const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
  if (U_FAILURE(status)) throw std::runtime_error("ICU normalisation data is missing");
  auto t = std::make_unique<std::array<Narrow, 0x10000>>();
  auto& narrow = *t;
  auto set = [&](char16_t from, char16_t a, char16_t b = 0) {
    if (cp932.RoundTrips(a) && (b == 0 || cp932.RoundTrips(b))) narrow[from] = {a, b};
  };
  // No character below U+3000 has a half-width form that code page 932 holds.
  for (UChar32 c = 0x3000; c < 0x10000; ++c) {
    const auto type = u_getIntPropertyValue(c, UCHAR_DECOMPOSITION_TYPE);
    if (type == U_DT_WIDE) {
      if (char16_t ascii = SingleRawDecomposition(*nfkd, char16_t(c))) set(char16_t(c), ascii);
    } else if (type == U_DT_NARROW) {
      if (char16_t wide = SingleRawDecomposition(*nfkd, char16_t(c))) set(wide, char16_t(c));
    }
  }
  // The spacing sound marks fold to the same half-width marks as the combining ones.
  set(u'\u309B', narrow[0x3099][0]);
  set(u'\u309C', narrow[0x309A][0]);
  // Voiced and semi-voiced katakana: half-width base letter, then the half-width mark.
  for (char16_t c = 0x30A0; c < 0x3100; ++c) {
    icu::UnicodeString d;
    if (!nfd->getRawDecomposition(c, d) || d.length() != 2) continue;
    const auto& base = narrow[d.charAt(0)];
    const auto& mark = narrow[d.charAt(1)];
    if (base[0] != 0 && base[1] == 0 && mark[0] != 0) set(c, base[0], mark[0]);
  }
  return t;
}

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

// Writes the items of an array, a few to a line.
class ArrayWriter {
 public:
  explicit ArrayWriter(std::ostream& out) : out_(out) {}
  void Add(const std::string& item, int perLine = 12) {
    out_ << (count_ % perLine == 0 ? "\n   " : "") << ' ' << item << ',';
    ++count_;
  }
  void End() {
    out_ << "\n};\n";
    count_ = 0;
  }

 private:
  std::ostream& out_;
  int count_ = 0;
};

std::string Source(const Cp932& t, const std::array<Narrow, 0x10000>& narrow) {
  std::ostringstream out;
  ArrayWriter a(out);
  out << "// Generated by trovlin_tablegen from ICU " << U_ICU_VERSION << "; do not edit.\n"
      << "#include \"text/text_tables.h\"\n\nnamespace trovlin::tables {\n\n";
  out << "const std::uint8_t kCp932Kind[256] = {";
  for (int b = 0; b < 256; ++b) a.Add(Hex(t.kind[b]));
  a.End();
  out << "\nconst char16_t kCp932Single[256] = {";
  for (int b = 0; b < 256; ++b) a.Add(Hex(t.single[b]));
  a.End();
  std::vector<int> leads;
  for (int lead = 0; lead < 256; ++lead) {
    if (std::any_of(t.pair[lead].begin(), t.pair[lead].end(), [](char16_t c) { return c != 0; })) leads.push_back(lead);
  }
  out << "\nconst std::uint8_t kCp932PairLeads[" << leads.size() << "] = {";
  for (int lead : leads) a.Add(Hex(unsigned(lead)));
  a.End();
  out << "const std::size_t kCp932PairLeadCount = " << leads.size() << ";\n";
  out << "\nconst char16_t kCp932PairRows[" << leads.size() << "][kTrailCount] = {";
  for (int lead : leads) {
    std::string row = "{";
    for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
      row += ((trail - kFirstTrail) % 12 == 0 ? "\n      " : " ") + Hex(t.pair[lead][trail]) + ",";
    }
    a.Add(row + "\n    }", 1);
  }
  a.End();
  const auto first = FirstDecodings(t);
  std::vector<std::string> exceptions;
  for (unsigned c = 0; c < 0x10000; ++c) {
    if (t.encoded[c] != first[c]) exceptions.push_back("{" + Hex(c) + ", " + Hex(t.encoded[c]) + "}");
  }
  out << "\nconst Cp932Encoding kCp932EncodeExceptions[" << exceptions.size() << "] = {";
  for (const std::string& e : exceptions) a.Add(e, 6);
  a.End();
  out << "const std::size_t kCp932EncodeExceptionCount = " << exceptions.size() << ";\n";
  std::size_t pairs = 0;
  out << "\nconst WidthPair kWidthPairs[] = {";
  for (unsigned c = 0; c < 0x10000; ++c) {
    if (narrow[c][0] == 0) continue;
    a.Add("{" + Hex(c) + ", {" + Hex(narrow[c][0]) + ", " + Hex(narrow[c][1]) + "}}", 4);
    ++pairs;
  }
  a.End();
  out << "const std::size_t kWidthPairCount = " << pairs << ";\n\n}  // namespace trovlin::tables\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: trovlin_tablegen OUTPUT.cpp\n";
    return 2;
  }
  try {
    const std::unique_ptr<Cp932> cp932 = AskConverter();
    const auto narrow = WidthPairs(*cp932);
    const std::string source = Source(*cp932, *narrow);
    // Written aside and renamed, so a failed run leaves no half file for the build.
    const std::string aside = std::string(argv[1]) + ".part";
    std::ofstream file(aside, std::ios::binary);
    file << source;
    file.close();
    if (!file || std::rename(aside.c_str(), argv[1]) != 0)
      throw std::runtime_error("cannot write " + std::string(argv[1]));
  } catch (const std::exception& e) {
    std::cerr << "trovlin_tablegen: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
