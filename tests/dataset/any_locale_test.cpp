// The desktop's language changes nothing the engine finds or parses: under
// a Turkish process locale (where "i" upper-cases to "İ" and "I"
// lower-cases to "ı") the program's own words still match in any case, and
// the data's text is cased by the data's locale.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dataset/host/client_dataset.h"
#include "dataset/locale/locale_services.h"
#include "tests/dataset/index_support.h"
#include "tests/dataset/scoped_process_locale.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;
using locale::CharLowerA;
using locale::CharUpperA;
using locale::CharUpperW;

constexpr locale::LCID kHungarian = 1038;
constexpr locale::LCID kTurkish = 1055;

TEST(AnyLocaleTest, TheDataIsCasedByItsOwnLocaleNotTheDesktops) {
  const ScopedProcessLocale turkish("tr_TR.UTF-8", "tr_TR");
  // Hungarian data: the dotted i has the plain capital I.
  EXPECT_EQ(CharUpperA(kHungarian, "piano.mid"), "PIANO.MID");
  EXPECT_EQ(CharLowerA(kHungarian, "INDIGO"), "indigo");
  // "íz ő" in windows-1250.
  EXPECT_EQ(CharUpperA(kHungarian, "\xEDz \xF5"), "\xCDZ \xD5");
  // No locale named: Unicode's language-neutral rules.
  EXPECT_EQ(CharUpperA(0, ".rmi"), ".RMI");
  // Turkish data (windows-1254): i -> İ (0xDD), I -> ı (0xFD).
  EXPECT_EQ(CharUpperA(kTurkish, "i"), "\xDD");
  EXPECT_EQ(CharLowerA(kTurkish, "I"), "\xFD");

  // The search box's UTF-16 letters, one unit each, length kept.
  EXPECT_EQ(CharUpperW(kHungarian, u"tiszta \u0151"), u"TISZTA \u0150");
  EXPECT_EQ(CharUpperW(kTurkish, u"i"), u"\u0130");
  EXPECT_EQ(CharUpperW(0, u"i\u00DF"), u"I\u00DF");  // ß has no one-letter capital
}

TEST(AnyLocaleTest, TheProgramsOwnWordsMatchInAnyCase) {
  const ScopedProcessLocale turkish("tr_TR.UTF-8", "tr_TR");
  EXPECT_EQ(locale::lstrcmpiA("KSZOVEG", "kszoveg"), 0);
  EXPECT_EQ(locale::lstrcmpiA("TRUE", "true"), 0);
  EXPECT_EQ(locale::lstrcmpiA("SUBSTRING", "substring"), 0);
  EXPECT_NE(locale::lstrcmpiA("I", "\xFD"), 0);  // windows-1250 0xFD is ý, no i

  // Through the dataset: a field, a function and keywords written in
  // lower case, and UPPER of Hungarian text.
  TempFile file(Encode(DictionaryModel(HeadwordRows({"indigo", "ISZAP", "ima", "OKT\xC1V"}))));
  TClientDataSet ds;
  ds.SetFileName(file.Path());
  ds.SetIndexFieldNames("kszoveg");
  ds.SetFilter("substring(upper(kszoveg), 1, 1) = 'I' and index is not null");
  ds.SetFiltered(true);
  ds.Open();
  std::vector<std::string> rows;
  ds.GoFirst();
  while (!ds.IsEmpty()) {
    rows.push_back(ds.FieldByName("KSZOVEG")->AsString());
    ds.GoNext();
    if (ds.AtEnd()) break;
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"ima", "indigo", "ISZAP"}));
}

}  // namespace
}  // namespace dorvem
