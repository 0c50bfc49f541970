// The ANSI code page of a locale, by its language (and script where a
// language is written in two).
//
// Only languages whose code page is not windows-1252 are listed: every other
// valid locale gets 1252, which also serves the locales that have no
// single-byte code page at all. Double-byte code pages (Japanese, Chinese,
// Korean) are not supported by the single-byte tables and get 1252 too.
#include <unicode/uloc.h>

#include <cstring>
#include <string>

#include "dataset/locale/code_page.h"
#include "dataset/locale/locale_id.h"
#include "dataset/locale/locale_services.h"

namespace dorvem::locale {
namespace {

struct LanguageCodePage {
  const char* language;  // ISO 639 code as ICU spells it
  const char* script;    // ISO 15924 code, or "" for any script
  std::uint32_t codePage;
};

// Entries with a script come before the same language's entry without one.
constexpr LanguageCodePage kTable[] = {
    // Central European
    {"hu", "", 1250},
    {"pl", "", 1250},
    {"cs", "", 1250},
    {"sk", "", 1250},
    {"sl", "", 1250},
    {"hr", "", 1250},
    {"ro", "", 1250},
    {"sq", "", 1250},
    {"tk", "", 1250},
    {"bs", "Cyrl", 1251},
    {"bs", "", 1250},
    {"sr", "Latn", 1250},
    // Cyrillic
    {"sr", "", 1251},
    {"ru", "", 1251},
    {"uk", "", 1251},
    {"be", "", 1251},
    {"bg", "", 1251},
    {"mk", "", 1251},
    {"kk", "", 1251},
    {"ky", "", 1251},
    {"tt", "", 1251},
    {"mn", "", 1251},
    {"ba", "", 1251},
    {"sah", "", 1251},
    {"tg", "", 1251},
    {"az", "Cyrl", 1251},
    {"uz", "Cyrl", 1251},
    // Greek, Turkish, Hebrew, Arabic
    {"el", "", 1253},
    {"tr", "", 1254},
    {"az", "", 1254},
    {"uz", "", 1254},
    {"he", "", 1255},
    {"ar", "", 1256},
    {"fa", "", 1256},
    {"ur", "", 1256},
    {"ug", "", 1256},
    // Baltic, Vietnamese, Thai
    {"lt", "", 1257},
    {"lv", "", 1257},
    {"et", "", 1257},
    {"vi", "", 1258},
    {"th", "", 874},
};

constexpr std::uint32_t kWesternCodePage = 1252;

}  // namespace

std::uint32_t AnsiCodePageOf(LCID lcid) {
  const std::string name = InstalledIcuLocaleOf(lcid);
  if (name.empty()) return kDefaultCodePage;

  // The likely script settles languages written in two ("sr" is Cyrillic,
  // "sr_Latn_CS" Latin).
  char full[ULOC_FULLNAME_CAPACITY] = {};
  UErrorCode status = U_ZERO_ERROR;
  uloc_addLikelySubtags(name.c_str(), full, sizeof full, &status);
  const char* source = U_SUCCESS(status) ? full : name.c_str();
  char language[ULOC_LANG_CAPACITY] = {};
  char script[ULOC_SCRIPT_CAPACITY] = {};
  status = U_ZERO_ERROR;
  uloc_getLanguage(source, language, sizeof language, &status);
  status = U_ZERO_ERROR;
  uloc_getScript(source, script, sizeof script, &status);

  for (const auto& entry : kTable) {
    if (std::strcmp(entry.language, language) != 0) continue;
    if (entry.script[0] == '\0' || std::strcmp(entry.script, script) == 0) return entry.codePage;
  }
  return kWesternCodePage;
}

}  // namespace dorvem::locale
