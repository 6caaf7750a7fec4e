#include "text/utf16.h"

#include <cstdint>

namespace trovlin {
namespace {

constexpr char kInvalid = static_cast<char>(0xFF);

bool IsLead(std::uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsTrail(std::uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

Utf16Step Utf16ToUtf8Bytes(std::string_view bytes, bool bigEndian, bool last, char* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  const auto unit = [&](std::size_t i) -> std::uint32_t {
    return bigEndian ? (std::uint32_t{p[i]} << 8 | p[i + 1]) : (std::uint32_t{p[i + 1]} << 8 | p[i]);
  };
  char* o = out;
  std::size_t i = 0;
  while (i + 1 < n) {
    const std::uint32_t u = unit(i);
    if (u < 0x80) {
      *o++ = static_cast<char>(u);
    } else if (u < 0x800) {
      *o++ = static_cast<char>(0xC0 | u >> 6);
      *o++ = static_cast<char>(0x80 | (u & 0x3F));
    } else if (IsLead(u)) {
      if (i + 3 >= n && !last) break;  // the trail may come with the next bytes
      const std::uint32_t t = i + 3 < n ? unit(i + 2) : 0;
      if (!IsTrail(t)) {
        *o++ = kInvalid;
        i += 2;
        continue;
      }
      const std::uint32_t c = 0x10000 + ((u - 0xD800) << 10) + (t - 0xDC00);
      *o++ = static_cast<char>(0xF0 | c >> 18);
      *o++ = static_cast<char>(0x80 | (c >> 12 & 0x3F));
      *o++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
      *o++ = static_cast<char>(0x80 | (c & 0x3F));
      i += 2;
    } else if (IsTrail(u)) {
      *o++ = kInvalid;
    } else {
      *o++ = static_cast<char>(0xE0 | u >> 12);
      *o++ = static_cast<char>(0x80 | (u >> 6 & 0x3F));
      *o++ = static_cast<char>(0x80 | (u & 0x3F));
    }
    i += 2;
  }
  if (last && i < n) {
    *o++ = kInvalid;
    i = n;
  }
  return {i, static_cast<std::size_t>(o - out)};
}

}  // namespace trovlin
