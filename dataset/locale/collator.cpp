// The collator cache: opens one ICU collator per (locale identifier, flags)
// and keeps it until the process ends.
#include "dataset/locale/collator.h"

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "dataset/locale/code_page.h"
#include "dataset/locale/locale_id.h"

namespace dorvem::locale {
namespace {

// Turkish and Azerbaijani fold I to dotless ı and İ to i.
bool IsTurkic(const std::string& icuLocale) {
  char language[ULOC_LANG_CAPACITY] = {};
  UErrorCode status = U_ZERO_ERROR;
  uloc_getLanguage(icuLocale.c_str(), language, sizeof language, &status);
  const std::string lang = U_SUCCESS(status) ? language : "";
  return lang == "tr" || lang == "az";
}

}  // namespace

Collator::Collator(UCollator* collator, std::uint32_t codePage, bool ignoreCase, bool turkic)
    : collator_(collator),
      codePage_(codePage),
      ignoreCase_(ignoreCase),
      foldOptions_(turkic ? U_FOLD_CASE_EXCLUDE_SPECIAL_I : U_FOLD_CASE_DEFAULT) {
  const CodePage& page = CodePage::Get(codePage);
  for (int b = 0; b < 256; ++b) {
    const char16_t u = page.Decode(static_cast<unsigned char>(b));
    // Simple folding keeps every BMP character in the BMP, so the folded
    // table stays one unit per byte.
    decode_[b] = ignoreCase ? static_cast<char16_t>(u_foldCase(u, foldOptions_)) : u;
  }
}

Collator::~Collator() {
  ucol_close(collator_);
}

const Collator* Collator::For(LCID lcid, std::uint32_t flags) {
  if ((flags & ~kIgnoreCase) != 0) return nullptr;

  static std::mutex mutex;
  // A null entry remembers an identifier that cannot be collated.
  static std::map<std::uint64_t, std::unique_ptr<Collator>> cache;
  const std::uint64_t key = (static_cast<std::uint64_t>(lcid) << 32) | flags;
  std::lock_guard<std::mutex> lock(mutex);
  auto [it, inserted] = cache.try_emplace(key);
  if (!inserted) return it->second.get();

  std::string name;
  if (lcid == 0) {
    name = UserLocale();  // "" opens the root collation
  } else {
    name = IcuLocaleOf(lcid);
    if (!HasCollationData(name)) return nullptr;
  }
  UErrorCode status = U_ZERO_ERROR;
  UCollator* collator = ucol_open(name.c_str(), &status);
  if (U_FAILURE(status) || collator == nullptr) {
    if (collator != nullptr) ucol_close(collator);
    return nullptr;
  }
  ucol_setStrength(collator, UCOL_TERTIARY);
  it->second.reset(
      new Collator(collator, AnsiCodePageOf(lcid), (flags & kIgnoreCase) != 0, IsTurkic(name)));
  return it->second.get();
}

}  // namespace dorvem::locale
