// Full-width to half-width conversion, as the Japanese locale maps it.
//
// Full-width ASCII (U+FF01-U+FF5E) becomes ASCII, the ideographic space a
// space, full-width katakana and the marks 。「」、・ー゛゜ their half-width
// forms (a voiced or semi-voiced katakana becomes two characters). The table
// comes from ICU's width decompositions; a character keeps its form unless its
// half-width form survives code page 932, so the result always encodes.
#pragma once

#include <string>
#include <string_view>

namespace trovlin {

// Appends the half-width form of text to out.
void AppendHalfWidth(std::u16string_view text, std::u16string& out);

// Replaces text by its half-width form.
void ToHalfWidthInPlace(std::u16string& text);

}  // namespace trovlin
