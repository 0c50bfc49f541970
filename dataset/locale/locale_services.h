// Locale services of the engine: collation, locale validation, case mapping
// and the code pages of single-byte text, over ICU.
//
// Locale identifiers are the numeric identifiers data packets carry in their
// LCID parameter (1038 Hungarian, 1033 English (US), ...). For collation,
// identifier 0 is the user's default locale, taken from the environment
// (LC_ALL, LC_COLLATE, LANG), with the root collation when the environment
// names none; its text is in windows-1250. Case mapping and the comparison
// of the program's own words never depend on the environment. Single-byte strings are in the ANSI
// code page of the locale they are compared under (AnsiCodePageOf).
//
// Comparison is the hot path of ordering and filtering: collators are opened
// once per (locale, flags) and kept for the life of the process; a comparison
// allocates nothing for strings of ordinary length. Callers that make many
// comparisons under one locale can hold a Collator (collator.h) instead.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dorvem::locale {

using LCID = std::uint32_t;

// Comparison flags.
inline constexpr std::uint32_t kIgnoreCase = 1;

// Comparison results, as the callers expect them: subtract kEqual and use
// the sign. kCompareFailed counts as "less" for a caller doing so.
inline constexpr int kCompareFailed = 0;
inline constexpr int kLess = 1;
inline constexpr int kEqual = 2;
inline constexpr int kGreater = 3;

// Compares two single-byte strings in the code page of `lcid` by the
// collation of that locale. A length of -1 means up to the terminating zero.
// `flags` is 0 (case distinguished) or kIgnoreCase (case ignored, nothing
// else: simple case folds of both sides compared by the same collation, so
// accents, width and punctuation still count). Returns kLess, kEqual,
// kGreater, or kCompareFailed for an identifier that is neither 0 nor valid
// (IsValidLocale), other flag bits, a null string or a length below -1.
// Trailing blanks, hyphens and apostrophes count ("ab  " > "ab"); control
// characters and the soft hyphen are ignored ("a\x01" equals "a").
int CompareStringA(LCID lcid, std::uint32_t flags, const char* a, int lenA, const char* b,
                   int lenB);

// The same for UTF-16 strings; lengths in code units (-1: zero-terminated).
int CompareStringW(LCID lcid, std::uint32_t flags, const char16_t* a, int lenA, const char16_t* b,
                   int lenB);

// True when `lcid` maps to a real locale that ICU has collation data for.
// 0 and unknown identifiers are not valid.
bool IsValidLocale(LCID lcid);

// Case-insensitive comparison of two zero-terminated single-byte strings,
// for the program's own words: look-ups by name (fields, functions,
// parameters) and the word TRUE. No locale takes part: each byte of
// windows-1250 is folded by Unicode's default (language-neutral) case
// folding, so "KSZOVEG" equals "kszoveg" under every desktop language, a
// Turkish one included, "\xC1" (Á) equals "\xE1" (á), and Ő never equals O.
// 0 when equal ignoring case, else -1 or 1 by the folded bytes; a null
// string sorts before any other.
int lstrcmpiA(const char* a, const char* b);

// Locale-aware case mapping of the data's single-byte text: in the code page
// of `lcid` (AnsiCodePageOf), by the casing rules of that locale, accented
// letters included ("á" -> "Á", "ő" -> "Ő"; Turkish and Azerbaijani map "i"
// to "İ"). Identifier 0 and identifiers that are not valid (IsValidLocale)
// map windows-1250 text by Unicode's language-neutral rules. The
// environment's locale never takes part: the desktop's language does not
// change what the data's text becomes. A character whose mapping has no
// single byte (ß -> SS, µ -> Greek Mu) stays unchanged.
// CharUpperBuffA maps the first `len` bytes in place; null is ignored.
void CharUpperBuffA(LCID lcid, char* buf, std::size_t len);
std::string CharUpperA(LCID lcid, std::string_view text);
std::string CharLowerA(LCID lcid, std::string_view text);

// The byte tables behind them: entry b is byte b mapped. Made on first use
// for each identifier and kept for the life of the process; any thread.
using CaseTable = std::array<unsigned char, 256>;
const CaseTable& UpperCaseTable(LCID lcid);
const CaseTable& LowerCaseTable(LCID lcid);

// Upper-cases UTF-16 text by the casing rules of `lcid` as above, each code
// unit on its own, so that the text keeps its length: a unit whose capital
// is not a single unit (ß, ŉ) stays as it is.
std::u16string CharUpperW(LCID lcid, std::u16string_view text);

// ANSI code page of a locale: 1250 Central European, 1251 Cyrillic, 1252
// Western, 1253 Greek, 1254 Turkish, 1255 Hebrew, 1256 Arabic, 1257 Baltic,
// 1258 Vietnamese, 874 Thai. 1250 for 0 and for identifiers that are not
// valid. Locales without an ANSI code page (Unicode-only) give 1252.
std::uint32_t AnsiCodePageOf(LCID lcid);

// Converts single-byte text in `codePage` to UTF-8. Undefined bytes map to
// the control character of the same value. A code page that is unknown or not
// single-byte (932, 65001, ...) is taken as windows-1250, here and below.
std::string ToUtf8(std::string_view bytes, std::uint32_t codePage);

// Converts UTF-8 to `codePage`; a character the code page lacks, and each
// ill-formed UTF-8 sequence, becomes `replacement`.
std::string FromUtf8(std::string_view utf8, std::uint32_t codePage, char replacement = '?');

// Collation sort key of a single-byte string: two keys compare with memcmp
// exactly as CompareStringA compares the strings under the same locale and
// flags, when compared as unsigned byte strings (memcmp over the common
// length, then the shorter first). Appends the key (without its terminating
// zero) to *out; reuse *out (clear(), keep the capacity) when keying many
// strings. Returns false, *out unchanged, when CompareStringA would fail.
bool SortKeyA(LCID lcid, std::uint32_t flags, const char* s, int len,
              std::vector<std::uint8_t>* out);

}  // namespace dorvem::locale
