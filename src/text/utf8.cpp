#include "text/utf8.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include "text/cp932.h"

namespace trovlin {

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  DecodeUtf8(utf8, out);
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  EncodeUtf8(utf16, out);
  return out;
}

std::size_t DecodeUtf8(std::string_view utf8, std::u16string& out) {
  std::size_t invalid = 0;
  const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
  const int32_t length = static_cast<int32_t>(utf8.size());
  int32_t i = 0;
  while (i < length) {
    const int32_t start = i;
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) {
      // U8_NEXT skips a malformed sequence whole; escape each of its bytes.
      for (int32_t k = start; k < i; ++k) out.push_back(EscapeInvalidByte(s[k]));
      invalid += static_cast<std::size_t>(i - start);
    } else if (c < 0x10000) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      out.push_back(U16_LEAD(c));
      out.push_back(U16_TRAIL(c));
    }
  }
  return invalid;
}

namespace {

template <bool kValid>
std::size_t Encode(std::u16string_view utf16, std::string& out) {
  std::size_t escaped = 0;
  const std::size_t n = utf16.size();
  for (std::size_t i = 0; i < n; ++i) {
    char16_t c = utf16[i];
    if (IsEscapedByte(c)) {
      if constexpr (kValid) {
        out.append("\xEF\xBF\xBD");
        ++escaped;
      } else {
        out.push_back(static_cast<char>(c - 0xDC00));
      }
      continue;
    }
    UChar32 cp = c;
    if (U16_IS_LEAD(c) && i + 1 < n && U16_IS_TRAIL(utf16[i + 1])) {
      cp = U16_GET_SUPPLEMENTARY(c, utf16[i + 1]);
      ++i;
    } else if (U16_IS_SURROGATE(c)) {
      cp = 0xFFFD;
    }
    uint8_t buf[4];
    int32_t len = 0;
    U8_APPEND_UNSAFE(buf, len, cp);
    out.append(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(len));
  }
  return escaped;
}

}  // namespace

void EncodeUtf8(std::u16string_view utf16, std::string& out) { Encode<false>(utf16, out); }

std::size_t EncodeValidUtf8(std::u16string_view utf16, std::string& out) { return Encode<true>(utf16, out); }

}  // namespace trovlin
