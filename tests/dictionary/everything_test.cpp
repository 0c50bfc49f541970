// The everything search: folding, the index's matching, the search through
// the dataset, and cross-references on the demo dictionary.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTextDocument>
#include <random>
#include <set>

#include "dictionary/cross_references.h"
#include "dictionary/dictionary.h"
#include "dictionary/everything_index.h"
#include "dictionary/search_key.h"
#include "dictionary/word_fold.h"
#include "tests/dictionary/program_folder.h"
#include "views/rtf/memo_text.h"

namespace dorvem {
namespace {

using testing::DictRow;
using Words = std::vector<std::string>;

Words Fold(const char16_t* text) {
  return FoldedWords(QString::fromUtf16(text));
}

TEST(WordFoldTest, AccentsCaseAndPunctuationFoldAway) {
  // Every Hungarian accented letter, small and capital.
  EXPECT_EQ(Fold(u"áéíóöőúüű ÁÉÍÓÖŐÚÜŰ"), Words({"aeiooouuu", "aeiooouuu"}));
  EXPECT_EQ(Fold(u"HANGERŐ énekkar"), Words({"hangero", "enekkar"}));
  // Punctuation ends words; hyphenated and apostrophe words split.
  EXPECT_EQ(Fold(u"Vö. mezzo-forte, d'amore! (rall.) 3/4"),
            Words({"vo", "mezzo", "forte", "d", "amore", "rall", "3", "4"}));
  EXPECT_EQ(Fold(u"  ...  "), Words{});
  // The data's windows-1250 bytes fold to the same words as the box's text.
  const QString text = QString::fromUtf16(u"Ő-ÉNEK, lassú kötőív'Ű");
  std::string folded = "x";  // words are appended after what is there
  std::vector<std::size_t> ends;
  TByteFolder(1250).AppendWords(ToCodePage(text, 1250), folded, ends);
  Words fromBytes;
  for (std::size_t i = 0, start = 1; i < ends.size(); start = ends[i++])
    fromBytes.emplace_back(folded.substr(start, ends[i] - start));
  EXPECT_EQ(fromBytes, Words({"o", "enek", "lassu", "kotoiv", "u"}));
}

// The index against a search over the same words done by hand.
TEST(EverythingIndexTest, EachWordMatchesAWordStartAndAllWordsMustMatch) {
  // 300 records (so that frequent words are kept as bit sets) of words
  // drawn from a small vocabulary sharing beginnings.
  // Words of eight bytes and of nine that differ only in their last byte
  // (the longest kept whole in a hash key, and the shortest that is not).
  Words vocabulary = {"a",     "ab",   "abc",      "lassan",   "lassu",     "lasso",
                      "zenei", "zene", "hang",     "hangero",  "x1",        "x10",
                      "x100",  "b",    "lassanka", "lassanko", "lassankak", "lassankaz"};
  // Enough words for several blocks of the front coding.
  for (int i = 0; i < 60; ++i) vocabulary.push_back("n" + std::to_string(i));
  std::mt19937 rng(7);
  std::vector<Words> records(300);
  TEverythingIndexBuilder builder(300);
  for (std::uint32_t r = 1; r <= 300; ++r) {
    for (int n = 0; n < 4; ++n) records[r - 1].push_back(vocabulary[rng() % vocabulary.size()]);
    if (r % 2 == 0) records[r - 1].push_back("zenei");  // in half of them
    for (const std::string& w : records[r - 1]) builder.Add(r, w);
  }
  const TEverythingIndex index = builder.Finish();
  auto expected = [&](const Words& prefixes) {
    std::set<std::uint32_t> out;
    for (std::uint32_t r = 1; r <= 300; ++r) {
      bool all = true;
      for (const std::string& p : prefixes)
        all = all && std::any_of(records[r - 1].begin(), records[r - 1].end(),
                                 [&](const std::string& w) { return w.starts_with(p); });
      if (all) out.insert(r);
    }
    return out;
  };
  auto found = [&](const Words& prefixes) {
    std::set<std::uint32_t> out;
    const TRecordBits bits = index.Matches(prefixes);
    EXPECT_EQ(bits.size(), 5u);
    for (std::uint32_t r = 1; r <= 320; ++r)
      if ((bits[(r - 1) / 64] >> ((r - 1) % 64)) & 1) out.insert(r);
    return out;
  };
  for (const Words& q : std::vector<Words>{{"lass"},
                                           {"lassu"},
                                           {"x10"},
                                           {"zenei"},
                                           {"zen", "hang"},
                                           {"a", "b", "x1"},
                                           {"hangerox"},
                                           {"0"},
                                           {"n1"},
                                           {"n5", "a"},
                                           {"n59"},
                                           {"aa"},
                                           {"lassanko"},
                                           {"lassanka"},
                                           {"lassankaz"}})
    EXPECT_EQ(found(q), expected(q)) << q.front();
  EXPECT_FALSE(expected({"lass"}).empty());
  EXPECT_TRUE(found({}).empty());
  EXPECT_EQ(index.WordCount(), vocabulary.size());
}

// A dictionary of `rows`, opened.
struct Opened {
  explicit Opened(const std::vector<DictRow>& rows) {
    folder.WriteDataFile(testing::Encode(testing::DictionaryModel(rows)));
    dictionary = std::make_unique<TDictionary>(folder.Options());
    dictionary->Open();
  }
  // The list the dataset shows, first to last.
  std::vector<std::string> List() {
    std::vector<std::string> out;
    TClientDataSet& ds = dictionary->tblAdat;
    if (ds.IsEmpty()) return out;
    for (ds.GoFirst(); !ds.AtEnd(); ds.GoNext()) out.push_back(dictionary->Headword());
    ds.GoFirst();
    return out;
  }
  testing::ProgramFolderFixture folder;
  std::unique_ptr<TDictionary> dictionary;
};

TEST(EverythingSearchTest, TheListHoldsHeadwordOrExplanationMatchesInHeadwordOrder) {
  // "\xD5" is O with double acute, "\xFA" small u with acute (windows-1250).
  Opened d(
      {{{}, ".ELOSZO", "Bevezet\xF5.", {}, 1},
       {{}, "VIVACE", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 \\b \\'e9l\\'e9nken\\b0}", {}, 2},
       {{}, "LENTO", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}} Lass\\'fa, fonttbl}", {}, 3},
       {{}, "HANGER\xD5", "A hang er\xF5ss\xE9ge.", {}, 4},
       {{}, "ADAGIO", "{\\rtf1 Lass\\u250?, k\\'e9nyelmes}", {}, 5},
       {{}, "LARGO", "Sz\xE9les, lass\xFA tempo.", {}, 6}});
  TDictionary& dict = *d.dictionary;
  // Explanations in rich text and plain, in headword order.
  dict.SearchEverything(QStringLiteral("LASS"));
  EXPECT_EQ(d.List(), Words({"ADAGIO", "LARGO", "LENTO"}));
  EXPECT_EQ(dict.Headword(), "ADAGIO");
  EXPECT_EQ(dict.tblAdat.Filter(), "");
  // Headwords, accents ignored; every word must match.
  dict.SearchEverything(QStringLiteral("hangero"));
  EXPECT_EQ(d.List(), Words({"HANGER\xD5"}));
  dict.SearchEverything(QStringLiteral("LASS TEMP"));
  EXPECT_EQ(d.List(), Words({"LARGO"}));
  dict.SearchEverything(QString::fromUtf16(u"ÉLÉNK"));
  EXPECT_EQ(d.List(), Words({"VIVACE"}));
  // The text's words, never the rich text's control words (but "fonttbl"
  // written as text is a word).
  dict.SearchEverything(QStringLiteral("ANSI"));
  EXPECT_EQ(d.List(), Words{});
  dict.SearchEverything(QStringLiteral("ARIAL"));
  EXPECT_EQ(d.List(), Words{});
  dict.SearchEverything(QStringLiteral("FONTTBL"));
  EXPECT_EQ(d.List(), Words({"LENTO"}));
  // No words: the headword search's empty box.
  dict.SearchEverything(QStringLiteral(" - "));
  EXPECT_EQ(dict.tblAdat.Filter(), kEmptySearchFilter);
  EXPECT_FALSE(dict.tblAdat.HasRecordFilter());
  EXPECT_EQ(d.List(), Words({".ELOSZO"}));
  // Back to the headword search, which works alone again.
  dict.SearchEverything(QStringLiteral("A"));
  EXPECT_EQ(d.List(), Words({"ADAGIO", "HANGER\xD5"}));  // not LENTO's font "Arial"
  dict.EndEverythingSearch();
  dict.Search(QStringLiteral("L"));
  EXPECT_EQ(d.List(), Words({"LARGO", "LENTO"}));
}

TEST(CrossReferenceTest, MarkedRunsNamingAnotherHeadwordAreReferences) {
  // Colour 1 is set; "NINCS" names no entry, PRESTO's own name is no link,
  // a bold run without colour and a coloured one that is not bold neither.
  const std::string memo =
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red0\\green0\\blue128;}"
      "{\\b\\cf1 PRESTO} gyors. V\\'f6. {\\b\\cf1 LARGO}, {\\b\\cf1 NINCS}, {\\b LENTO}, "
      "{\\cf1 LARGO}, {\\b\\cf1 LENTO}.}";
  Opened d({{{}, "LARGO", "x", {}, 1}, {{}, "LENTO", "x", {}, 2}, {{}, "PRESTO", memo, {}, 3}});
  TDictionary& dict = *d.dictionary;
  dict.Search(QStringLiteral("PRESTO"));
  ASSERT_EQ(dict.Headword(), "PRESTO");
  QTextDocument doc;
  LoadMemoText(memo, 1250, doc);
  const TReferenceTest test = [&](const QString& t) { return dict.IsReferenceTarget(t); };
  std::vector<QString> targets;
  for (const TCrossReference& r : References(doc, test)) targets.push_back(r.target);
  EXPECT_EQ(targets, std::vector<QString>({QStringLiteral("LARGO"), QStringLiteral("LENTO")}));
  // At a position inside LARGO, and from there on.
  const int largo = doc.toPlainText().indexOf(QStringLiteral("LARGO"));
  EXPECT_EQ(ReferenceAt(doc, largo + 2, test)->target, QStringLiteral("LARGO"));
  EXPECT_FALSE(ReferenceAt(doc, largo - 2, test).has_value());
  EXPECT_EQ(ReferenceFrom(doc, largo + 5, test)->target, QStringLiteral("LENTO"));
  EXPECT_TRUE(dict.IsHeadword(QStringLiteral("LENTO")));
  EXPECT_FALSE(dict.IsHeadword(QStringLiteral("LENT")));
}

// The demo dictionary the build puts beside the program.
TEST(CrossReferenceTest, TheDemoMarksItsReferencesAsTheSourceNamesThem) {
  TDictionary dict(testing::TestOptions(QFileInfo(QStringLiteral(DORVEM_PATH)).path() + u'/'));
  dict.Open();
  auto referencesOf = [&](const QString& headword) {
    dict.Search(headword);
    EXPECT_EQ(dict.DataText(dict.Headword()), headword);
    QTextDocument doc;
    std::vector<std::uint8_t> memo;
    dict.tblAdat.GetBlobBytes(&dict.Fields[TColumnRole::crExplanation], &memo);
    LoadMemoText(std::string(memo.begin(), memo.end()), dict.tblAdat.TextCodePage(), doc);
    QStringList targets;
    for (const TCrossReference& r :
         References(doc, [&](const QString& t) { return dict.IsReferenceTarget(t); }))
      targets.push_back(r.target);
    return targets;
  };
  // tools/demo/entries/10_tempo.txt and 30_eloadas.txt.
  EXPECT_EQ(referencesOf(QStringLiteral("ADAGIO")), QStringList({"ADAGIETTO", "LARGO", "LENTO"}));
  EXPECT_EQ(referencesOf(QStringLiteral("ALLEGRO")),
            QStringList({"ALLEGRETTO", "PRESTO", "VIVACE"}));
  EXPECT_TRUE(referencesOf(QStringLiteral("ADAGIETTO")).isEmpty());
  // The demo's words are found without accents.
  dict.SearchEverything(QStringLiteral("KOTOIV"));
  EXPECT_GT(dict.tblAdat.RecordCount(), 0);
}

}  // namespace
}  // namespace dorvem
