#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dataset/locale/code_page.h"
#include "dataset/locale/locale_id.h"
#include "dataset/locale/locale_services.h"

namespace dorvem {
namespace {

using locale::AnsiCodePageOf;
using locale::FromUtf8;
using locale::IsValidLocale;
using locale::ToUtf8;

TEST(LocaleIdTest, InstalledLocalesAreValidAndDefaultsOrUnknownOnesAreNot) {
  EXPECT_TRUE(IsValidLocale(1038));     // Hungarian
  EXPECT_TRUE(IsValidLocale(0x1040E));  // Hungarian, technical sort
  EXPECT_TRUE(IsValidLocale(1033));     // English (US): root order, but listed
  EXPECT_TRUE(IsValidLocale(1049));     // Russian
  EXPECT_FALSE(IsValidLocale(0));
  EXPECT_FALSE(IsValidLocale(0x0400));   // "user default": no locale of its own
  EXPECT_FALSE(IsValidLocale(0x1000));   // "unspecified"
  EXPECT_FALSE(IsValidLocale(0x0FFF));   // unknown to ICU
  EXPECT_FALSE(IsValidLocale(0x12345));  // unknown to ICU
  EXPECT_FALSE(IsValidLocale(0x0476));   // Latin: known, but no collation data
}

TEST(LocaleIdTest, PosixNamesFromTheEnvironmentBecomeIcuNames) {
  EXPECT_EQ(locale::IcuLocaleFromPosix("hu_HU.UTF-8"), "hu_HU");
  EXPECT_EQ(locale::IcuLocaleFromPosix("de_DE.ISO-8859-15@euro"), "de_DE");
  EXPECT_EQ(locale::IcuLocaleFromPosix("sr_RS@latin"), "sr_Latn_RS");
  EXPECT_EQ(locale::IcuLocaleFromPosix("C.UTF-8"), "");
  EXPECT_EQ(locale::IcuLocaleFromPosix("POSIX"), "");
  EXPECT_EQ(locale::IcuLocaleFromPosix(""), "");
}

TEST(LocaleIdTest, EnvironmentLocaleOfACategory) {
  // The variables as they were, put back at the end.
  std::vector<std::pair<const char*, std::optional<std::string>>> saved;
  for (const char* v : {"LC_ALL", "LC_NUMERIC", "LC_COLLATE", "LANG"}) {
    const char* value = std::getenv(v);
    saved.emplace_back(v, value ? std::optional<std::string>(value) : std::nullopt);
    ::unsetenv(v);
  }
  EXPECT_EQ(locale::LocaleFromEnvironment("LC_NUMERIC"), "");
  ::setenv("LANG", "hu_HU.UTF-8", 1);
  EXPECT_EQ(locale::LocaleFromEnvironment("LC_NUMERIC"), "hu_HU");
  ::setenv("LC_NUMERIC", "de_DE.UTF-8", 1);
  ::setenv("LC_COLLATE", "sr_RS@latin", 1);
  EXPECT_EQ(locale::LocaleFromEnvironment("LC_NUMERIC"), "de_DE");
  EXPECT_EQ(locale::LocaleFromEnvironment("LC_COLLATE"), "sr_Latn_RS");
  ::setenv("LC_ALL", "", 1);  // empty: not a choice
  EXPECT_EQ(locale::LocaleFromEnvironment("LC_NUMERIC"), "de_DE");
  ::setenv("LC_ALL", "C", 1);  // the C locale: no locale, whatever the others say
  EXPECT_EQ(locale::LocaleFromEnvironment("LC_NUMERIC"), "");
  for (const auto& [name, value] : saved) {
    if (value)
      ::setenv(name, value->c_str(), 1);
    else
      ::unsetenv(name);
  }
}

TEST(CodePageTest, AnsiCodePageFollowsTheLanguage) {
  EXPECT_EQ(AnsiCodePageOf(1038), 1250u);    // Hungarian
  EXPECT_EQ(AnsiCodePageOf(1045), 1250u);    // Polish
  EXPECT_EQ(AnsiCodePageOf(1029), 1250u);    // Czech
  EXPECT_EQ(AnsiCodePageOf(0x081A), 1250u);  // Serbian, Latin
  EXPECT_EQ(AnsiCodePageOf(0x0C1A), 1251u);  // Serbian, Cyrillic
  EXPECT_EQ(AnsiCodePageOf(1033), 1252u);    // English (US)
  EXPECT_EQ(AnsiCodePageOf(1031), 1252u);    // German
  EXPECT_EQ(AnsiCodePageOf(1049), 1251u);    // Russian
  EXPECT_EQ(AnsiCodePageOf(1032), 1253u);    // Greek
  EXPECT_EQ(AnsiCodePageOf(1055), 1254u);    // Turkish
  EXPECT_EQ(AnsiCodePageOf(1062), 1257u);    // Latvian
  EXPECT_EQ(AnsiCodePageOf(1054), 874u);     // Thai
  EXPECT_EQ(AnsiCodePageOf(0x0439), 1252u);  // Hindi: no ANSI code page
  EXPECT_EQ(AnsiCodePageOf(0), 1250u);
  EXPECT_EQ(AnsiCodePageOf(0x0FFF), 1250u);
  EXPECT_EQ(AnsiCodePageOf(0x0476), 1250u);  // not installed
}

TEST(CodePageTest, HungarianLettersConvertBothWays) {
  // "Őrült ének" in windows-1250: Ő=0xD5, ü=0xFC, é=0xE9.
  const std::string cp1250 = "\xD5r\xFClt \xE9nek";
  const std::string utf8 = "\xC5\x90r\xC3\xBClt \xC3\xA9nek";
  EXPECT_EQ(ToUtf8(cp1250, 1250), utf8);
  EXPECT_EQ(FromUtf8(utf8, 1250), cp1250);
  // The same bytes are other letters in windows-1252 (Õ) and windows-1251.
  EXPECT_EQ(ToUtf8("\xD5", 1252), "\xC3\x95");
  EXPECT_EQ(ToUtf8("\xC0", 1251), "\xD0\x90");
}

TEST(CodePageTest, EveryByteRoundTripsAndUndefinedBytesAreControls) {
  for (const std::uint32_t cp : {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1257u}) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(FromUtf8(ToUtf8(all, cp), cp), all) << "code page " << cp;
  }
  EXPECT_EQ(ToUtf8("\x81", 1250), "\xC2\x81");  // undefined in windows-1250
  EXPECT_EQ(ToUtf8(std::string(1, '\0'), 1250), std::string(1, '\0'));
}

TEST(CodePageTest, MissingCharactersBecomeTheReplacement) {
  // Cyrillic Д, a Chinese character, an emoji and an ill-formed byte.
  EXPECT_EQ(FromUtf8("a\xD0\x94"
                     "b\xE4\xB8\xAD\xF0\x9F\x8E\xB5\xFF"
                     "c",
                     1250),
            "a?b???c");
  EXPECT_EQ(FromUtf8("\xD0\x94", 1250, '_'), "_");
  EXPECT_EQ(FromUtf8("\xD0\x94", 1251), "\xC4");
}

TEST(CodePageTest, UnknownOrMultiByteCodePagesFallBackToWindows1250) {
  EXPECT_EQ(locale::CodePage::Get(1250).number(), 1250u);
  EXPECT_EQ(locale::CodePage::Get(12345).number(), 1250u);
  EXPECT_EQ(locale::CodePage::Get(932).number(), 1250u);  // double-byte
  EXPECT_EQ(ToUtf8("\xD5", 0), "\xC5\x90");
  EXPECT_EQ(&locale::CodePage::Get(1252), &locale::CodePage::Get(1252));
}

}  // namespace
}  // namespace dorvem
