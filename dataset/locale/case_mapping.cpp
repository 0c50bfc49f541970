// Case mapping of the data's single-byte text by the data's locale, and the
// locale-free case-insensitive comparison of the program's own words.
//
// Each byte's upper and lower case under one locale are worked out once into
// two 256-byte tables: a character whose mapping is more than one character
// (ß -> SS) or has no byte in the code page stays unchanged. The tables of
// each identifier are made on first use and kept, behind one lock.
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "dataset/locale/code_page.h"
#include "dataset/locale/locale_id.h"
#include "dataset/locale/locale_services.h"

namespace dorvem::locale {
namespace {

using MapFunction = int32_t (*)(UChar*, int32_t, const UChar*, int32_t, const char*, UErrorCode*);

// The ICU locale whose casing rules map the text of `lcid`: "" (ICU's root,
// language-neutral) for 0 and for identifiers that are not valid. Never
// null, which would mean ICU's default locale, taken from the environment.
std::string CasingLocaleOf(LCID lcid) {
  return InstalledIcuLocaleOf(lcid);
}

// `c` mapped by `map` under `casingLocale`, or `c` itself when the result is
// not one code unit.
UChar MapUnit(MapFunction map, UChar c, const std::string& casingLocale) {
  UChar mapped[4];
  UErrorCode status = U_ZERO_ERROR;
  const int32_t n = map(mapped, 4, &c, 1, casingLocale.c_str(), &status);
  if (U_FAILURE(status) || n != 1 || U16_IS_SURROGATE(mapped[0])) return c;
  return mapped[0];
}

CaseTable BuildTable(MapFunction map, LCID lcid) {
  const CodePage& page = CodePage::Get(AnsiCodePageOf(lcid));
  const std::string casingLocale = CasingLocaleOf(lcid);
  CaseTable table{};
  for (int b = 0; b < 256; ++b) {
    table[b] = static_cast<unsigned char>(b);
    const UChar source = page.Decode(static_cast<unsigned char>(b));
    const int encoded = page.Encode(MapUnit(map, source, casingLocale));
    if (encoded >= 0) table[b] = static_cast<unsigned char>(encoded);
  }
  return table;
}

struct CaseTables {
  CaseTable upper;
  CaseTable lower;
};

const CaseTables& TablesOf(LCID lcid) {
  static std::mutex mutex;
  static std::map<LCID, std::unique_ptr<const CaseTables>> tables;
  std::lock_guard lock(mutex);
  auto& slot = tables[lcid];
  if (!slot)
    slot = std::make_unique<const CaseTables>(
        CaseTables{BuildTable(u_strToUpper, lcid), BuildTable(u_strToLower, lcid)});
  return *slot;
}

std::string Mapped(std::string_view text, const CaseTable& table) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(table[static_cast<unsigned char>(ch)]);
  return out;
}

// Each byte of windows-1250 folded by Unicode's default case folding.
const CaseTable& FoldTable() {
  static const CaseTable table = [] {
    const CodePage& page = CodePage::Get(kDefaultCodePage);
    CaseTable t{};
    for (int b = 0; b < 256; ++b) {
      t[b] = static_cast<unsigned char>(b);
      const UChar32 folded =
          u_foldCase(page.Decode(static_cast<unsigned char>(b)), U_FOLD_CASE_DEFAULT);
      if (folded > 0xFFFF) continue;
      const int encoded = page.Encode(static_cast<UChar>(folded));
      if (encoded >= 0) t[b] = static_cast<unsigned char>(encoded);
    }
    return t;
  }();
  return table;
}

}  // namespace

const CaseTable& UpperCaseTable(LCID lcid) {
  return TablesOf(lcid).upper;
}

const CaseTable& LowerCaseTable(LCID lcid) {
  return TablesOf(lcid).lower;
}

void CharUpperBuffA(LCID lcid, char* buf, std::size_t len) {
  if (buf == nullptr) return;
  const CaseTable& table = UpperCaseTable(lcid);
  for (std::size_t i = 0; i < len; ++i) {
    buf[i] = static_cast<char>(table[static_cast<unsigned char>(buf[i])]);
  }
}

std::string CharUpperA(LCID lcid, std::string_view text) {
  return Mapped(text, UpperCaseTable(lcid));
}

std::string CharLowerA(LCID lcid, std::string_view text) {
  return Mapped(text, LowerCaseTable(lcid));
}

std::u16string CharUpperW(LCID lcid, std::u16string_view text) {
  const std::string casingLocale = CasingLocaleOf(lcid);
  std::u16string out(text);
  for (char16_t& c : out)
    if (!U16_IS_SURROGATE(c)) c = MapUnit(u_strToUpper, c, casingLocale);
  return out;
}

int lstrcmpiA(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return (a != nullptr) - (b != nullptr);
  const CaseTable& fold = FoldTable();
  for (;; ++a, ++b) {
    const int x = fold[static_cast<unsigned char>(*a)];
    const int y = fold[static_cast<unsigned char>(*b)];
    if (x != y || x == 0) return (x > y) - (x < y);
  }
}

}  // namespace dorvem::locale
