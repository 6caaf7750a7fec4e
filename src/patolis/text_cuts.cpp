#include "patolis/text_cuts.h"

#include "text/spaces.h"

namespace trovlin {

void TrimInPlace(std::u16string& text) {
  const std::u16string_view kept = TrimSpaces(text);
  const auto offset = static_cast<std::size_t>(kept.data() - text.data());
  const std::size_t length = kept.size();
  text.erase(offset + length);
  text.erase(0, offset);
}

}  // namespace trovlin
