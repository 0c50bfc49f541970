// Case mapping of single-byte text and case-insensitive name comparison in
// the user's locale.
//
// Text under the user's locale is in the code page of identifier 0
// (windows-1250); the casing rules are the user's locale's (Turkish maps i to
// İ, for example). Each byte's upper and lower case are worked out once into
// two 256-byte tables: a character whose mapping is more than one character
// (ß -> SS) or has no byte in the code page stays unchanged.
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <array>
#include <cstring>
#include <string>

#include "dataset/locale/code_page.h"
#include "dataset/locale/locale_id.h"
#include "dataset/locale/locale_services.h"

namespace dorvem::locale {
namespace {

using CaseMap = std::array<unsigned char, 256>;

using MapFunction = int32_t (*)(UChar*, int32_t, const UChar*, int32_t, const char*, UErrorCode*);

CaseMap BuildMap(MapFunction map) {
  const CodePage& page = CodePage::Get(AnsiCodePageOf(0));
  const std::string& userLocale = UserLocale();
  CaseMap table{};
  for (int b = 0; b < 256; ++b) {
    table[b] = static_cast<unsigned char>(b);
    const UChar source = page.Decode(static_cast<unsigned char>(b));
    UChar mapped[4];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = map(mapped, 4, &source, 1, userLocale.c_str(), &status);
    if (U_FAILURE(status) || n != 1 || U16_IS_SURROGATE(mapped[0])) continue;
    const int encoded = page.Encode(mapped[0]);
    if (encoded >= 0) table[b] = static_cast<unsigned char>(encoded);
  }
  return table;
}

const CaseMap& UpperMap() {
  static const CaseMap table = BuildMap(u_strToUpper);
  return table;
}

const CaseMap& LowerMap() {
  static const CaseMap table = BuildMap(u_strToLower);
  return table;
}

std::string Mapped(std::string_view text, const CaseMap& table) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(table[static_cast<unsigned char>(ch)]);
  return out;
}

}  // namespace

void CharUpperBuffA(char* buf, std::size_t len) {
  if (buf == nullptr) return;
  const CaseMap& table = UpperMap();
  for (std::size_t i = 0; i < len; ++i) {
    buf[i] = static_cast<char>(table[static_cast<unsigned char>(buf[i])]);
  }
}

std::string CharUpperA(std::string_view text) {
  return Mapped(text, UpperMap());
}

std::string CharLowerA(std::string_view text) {
  return Mapped(text, LowerMap());
}

int lstrcmpiA(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return (a != nullptr) - (b != nullptr);
  const int r = CompareStringA(0, kIgnoreCase, a, -1, b, -1);
  if (r != kCompareFailed) return r - kEqual;
  // Only reached if ICU cannot open even the root collation: order by the
  // lower-cased bytes.
  const CaseMap& lower = LowerMap();
  for (;; ++a, ++b) {
    const int x = lower[static_cast<unsigned char>(*a)];
    const int y = lower[static_cast<unsigned char>(*b)];
    if (x != y || x == 0) return (x > y) - (x < y);
  }
}

}  // namespace dorvem::locale
