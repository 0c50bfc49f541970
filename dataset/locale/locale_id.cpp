// Locale identifiers: LCID to ICU locale, installed check, user default.
#include "dataset/locale/locale_id.h"

#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace dorvem::locale {

std::string IcuLocaleOf(LCID lcid) {
  if (lcid == 0) return {};
  char name[ULOC_FULLNAME_CAPACITY] = {};
  UErrorCode status = U_ZERO_ERROR;
  const int32_t len = uloc_getLocaleForLCID(lcid, name, sizeof name, &status);
  // ICU answers "root" without an error for the identifiers that stand for a
  // default (0x0400 user, 0x0800 system, 0x1000 unspecified): none of them
  // names a locale of its own.
  if (U_FAILURE(status) || len <= 0 || len >= static_cast<int32_t>(sizeof name)) return {};
  if (std::strcmp(name, "root") == 0) return {};
  return std::string(name, static_cast<std::size_t>(len));
}

bool HasCollationData(const std::string& icuLocale) {
  if (icuLocale.empty()) return false;
  UErrorCode status = U_ZERO_ERROR;
  UCollator* collator = ucol_open(icuLocale.c_str(), &status);
  if (U_FAILURE(status) || collator == nullptr) {
    if (collator != nullptr) ucol_close(collator);
    return false;
  }
  // The valid locale is the most specific one ICU found collation data for;
  // "root" means it found none and fell back ("la", "gd"). Locales that use
  // the root order but are listed as such ("en_US") keep their own name.
  UErrorCode typeStatus = U_ZERO_ERROR;
  const char* valid = ucol_getLocaleByType(collator, ULOC_VALID_LOCALE, &typeStatus);
  const bool has = U_SUCCESS(typeStatus) && valid != nullptr && valid[0] != '\0' &&
                   std::strcmp(valid, "root") != 0;
  ucol_close(collator);
  return has;
}

std::string IcuLocaleFromPosix(std::string_view posixName) {
  std::string_view base = posixName;
  std::string_view modifier;
  if (const auto at = base.find('@'); at != std::string_view::npos) {
    modifier = base.substr(at + 1);
    base = base.substr(0, at);
  }
  if (const auto dot = base.find('.'); dot != std::string_view::npos) base = base.substr(0, dot);
  if (base.empty() || base == "C" || base == "POSIX") return {};

  // glibc spells the script as a modifier: sr_RS@latin, uz_UZ@cyrillic.
  std::string name(base);
  const char* script = modifier == "latin" ? "Latn" : modifier == "cyrillic" ? "Cyrl" : nullptr;
  if (script != nullptr) {
    const auto underscore = name.find('_');
    const std::string language = name.substr(0, underscore);
    const std::string rest = underscore == std::string::npos ? "" : name.substr(underscore);
    name = language + "_" + script + rest;
  }

  char canonical[ULOC_FULLNAME_CAPACITY] = {};
  UErrorCode status = U_ZERO_ERROR;
  const int32_t len = uloc_canonicalize(name.c_str(), canonical, sizeof canonical, &status);
  if (U_FAILURE(status) || len <= 0 || len >= static_cast<int32_t>(sizeof canonical)) return {};
  return std::string(canonical, static_cast<std::size_t>(len));
}

std::string LocaleFromEnvironment(const char* category) {
  for (const char* variable : {"LC_ALL", category, "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0') return IcuLocaleFromPosix(value);
  }
  return {};
}

const std::string& UserLocale() {
  static const std::string user = LocaleFromEnvironment("LC_COLLATE");
  return user;
}

const std::string& UserNumericLocale() {
  static const std::string numeric = LocaleFromEnvironment("LC_NUMERIC");
  return numeric;
}

std::string InstalledIcuLocaleOf(LCID lcid) {
  constexpr std::size_t kKeptIdentifiers = 32;
  static std::mutex mutex;
  static std::vector<std::pair<LCID, std::string>> known;
  {
    const std::lock_guard lock(mutex);
    for (const auto& [id, name] : known)
      if (id == lcid) return name;
  }
  std::string name = IcuLocaleOf(lcid);
  if (!HasCollationData(name)) name.clear();
  const std::lock_guard lock(mutex);
  if (known.size() < kKeptIdentifiers) known.emplace_back(lcid, name);
  return name;
}

bool IsValidLocale(LCID lcid) {
  return !InstalledIcuLocaleOf(lcid).empty();
}

}  // namespace dorvem::locale
