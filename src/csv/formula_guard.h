// What a spreadsheet would take for a formula, and the apostrophe that stops it.
//
// A value that begins with "=", "+", "-", "@", a TAB or a CR, or with the
// full-width "＝", "＋", "－", "＠" (read as formulas in Japanese settings),
// would be calculated on opening (the CSV-injection problem); an apostrophe
// before it makes it text. A value that is only "-" is a plain dash.
#pragma once

#include <string>
#include <string_view>

namespace trovlin {

bool LooksLikeFormula(std::u16string_view value);

// Puts an apostrophe before value when it LooksLikeFormula; says whether it did.
bool ProtectFormula(std::u16string& value);

}  // namespace trovlin
