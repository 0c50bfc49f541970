// Locale identifiers: how a numeric locale identifier maps to an ICU locale,
// which identifiers count as installed, and which locale the user's default
// (identifier 0) is.
//
// Used by the collators, the code page table and the case mapping of this
// directory; nothing here owns long-lived state except the user's default
// locale, read from the environment once per process.
#pragma once

#include <string>
#include <string_view>

#include "dataset/locale/locale_services.h"

namespace dorvem::locale {

// ICU locale name of `lcid` ("hu_HU" for 1038), or the empty string when the
// identifier names no locale: 0, the special identifiers that ICU maps to the
// root locale (0x0400, 0x0800, 0x1000, ...) and identifiers ICU does not know.
std::string IcuLocaleOf(LCID lcid);

// True when ICU has collation data of its own for `icuLocale` (a tailoring or
// an explicit entry such as "en"), not just the root collation it falls back
// to. False for the empty name.
bool HasCollationData(const std::string& icuLocale);

// IcuLocaleOf(lcid) when ICU has collation data for it (IsValidLocale),
// else the empty string. Asking ICU opens a collator, and the answer cannot
// change while the program runs, so each identifier's is kept (up to a
// few dozen identifiers; later ones are asked every time). Any thread.
std::string InstalledIcuLocaleOf(LCID lcid);

// Turns a POSIX locale name as the environment carries it into an ICU locale
// name: "hu_HU.UTF-8" -> "hu_HU", "sr_RS@latin" -> "sr_Latn_RS". "C", "POSIX"
// and the empty name give the empty string (no locale: the root collation).
std::string IcuLocaleFromPosix(std::string_view posixName);

// The locale the environment names for `category` (a POSIX category
// variable such as "LC_COLLATE") as an ICU name: the first non-empty of
// LC_ALL, `category` and LANG, converted by IcuLocaleFromPosix; the empty
// string when none names a locale. The one place the environment's locale
// is read.
std::string LocaleFromEnvironment(const char* category);

// The user's default locale for collation and case mapping:
// LocaleFromEnvironment("LC_COLLATE"), read once, on the first call.
const std::string& UserLocale();

// The user's locale for numbers: LocaleFromEnvironment("LC_NUMERIC"), read
// once, on the first call.
const std::string& UserNumericLocale();

}  // namespace dorvem::locale
