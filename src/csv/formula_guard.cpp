#include "csv/formula_guard.h"

namespace trovlin {

bool LooksLikeFormula(std::u16string_view value) {
  if (value.empty() || value == u"-") return false;
  switch (value.front()) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
    case u'\t':
    case u'\r':
    case u'＝':
    case u'＋':
    case u'－':
    case u'＠':
      return true;
    default:
      return false;
  }
}

bool ProtectFormula(std::u16string& value) {
  if (!LooksLikeFormula(value)) return false;
  value.insert(value.begin(), u'\'');
  return true;
}

}  // namespace trovlin
