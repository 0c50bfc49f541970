// The decimal separator of the user's locale, read once from ICU's number
// symbols of the user's numeric locale (locale_id.h).
#include <unicode/unum.h>

#include <string>

#include "dataset/filter/expr_parser.h"
#include "dataset/locale/locale_id.h"

namespace dorvem {

char UserDecimalSeparator() {
  static const char separator = [] {
    const std::string& locale = locale::UserNumericLocale();
    if (locale.empty()) return '.';
    UErrorCode status = U_ZERO_ERROR;
    UNumberFormat* format = unum_open(UNUM_DECIMAL, nullptr, 0, locale.c_str(), nullptr, &status);
    if (U_FAILURE(status) || format == nullptr) {
      if (format != nullptr) unum_close(format);
      return '.';
    }
    UChar symbol[8] = {};
    const int32_t n = unum_getSymbol(format, UNUM_DECIMAL_SEPARATOR_SYMBOL, symbol, 8, &status);
    unum_close(format);
    if (U_FAILURE(status) || n != 1 || symbol[0] < 0x21 || symbol[0] > 0x7E) return '.';
    return static_cast<char>(symbol[0]);
  }();
  return separator;
}

}  // namespace dorvem
