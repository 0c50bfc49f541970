// Texts of the demo builder: code page conversion, entry markup, memos, note names and the
// media recipe list.
#include <gtest/gtest.h>

#include "cp1250.h"
#include "entries.h"
#include "media.h"
#include "memo.h"
#include "music.h"

namespace demo {
namespace {

TEST(Cp1250, HungarianLettersGetTheirCodePageBytes) {
  EXPECT_EQ(Utf8ToCp1250("áéíóöőúüű"), "\xE1\xE9\xED\xF3\xF6\xF5\xFA\xFC\xFB");
  EXPECT_EQ(Utf8ToCp1250("ÁÉÍÓÖŐÚÜŰ"), "\xC1\xC9\xCD\xD3\xD6\xD5\xDA\xDC\xDB");
  EXPECT_EQ(Utf8ToCp1250("D'AMORE – „x”"), "D'AMORE \x96 \x84x\x94");
  EXPECT_EQ(Cp1250ToUtf8(Utf8ToCp1250("KVINTKÖR ŐSZ")), "KVINTKÖR ŐSZ");
  EXPECT_THROW(Utf8ToCp1250("più"), std::runtime_error);   // ù has no code in the page
  EXPECT_THROW(Utf8ToCp1250("\xC3"), std::runtime_error);  // cut UTF-8 sequence
  EXPECT_EQ(Cp1250ToUtf8("\x81"), "\xEF\xBF\xBD");
}

TEST(Entries, AttributesParagraphsAndItems) {
  const auto e = ParseEntries(
      "# comment\n"
      "== ÁRIA\n"
      "eredet: ol. aria\n"
      "fajl: aria.mp3\n"
      "kep: g_kulcs\n"
      "First line\n"
      "continues.\n"
      "\n"
      "- item one\n"
      "- item two\n"
      "== CSEND\n"
      "fajl: \"\"\n"
      "Text.\n",
      "t.txt");
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].headword, "ÁRIA");
  EXPECT_EQ(e[0].origin, "ol. aria");
  EXPECT_EQ(e[0].media, "aria.mp3");
  EXPECT_EQ(e[0].picture, "g_kulcs");
  ASSERT_EQ(e[0].blocks.size(), 3u);
  EXPECT_EQ(e[0].blocks[0].text, "First line continues.");
  EXPECT_TRUE(e[0].blocks[1].item);
  EXPECT_EQ(e[0].where, "t.txt:2");
  EXPECT_EQ(e[1].media, "");  // empty, not null
  EXPECT_FALSE(e[1].picture.has_value());
  EXPECT_FALSE(e[1].plain);
}

TEST(Entries, PlainDirectiveAndMalformedSources) {
  EXPECT_TRUE(ParseEntries("@sima\n== A\nx\n", "t")[0].plain);
  EXPECT_THROW(ParseEntries("text first\n== A\nx\n", "t"), std::runtime_error);
  EXPECT_THROW(ParseEntries("== A\n== B\nx\n", "t"), std::runtime_error);  // A has no text
  EXPECT_THROW(ParseEntries("== A\nfajl: a\nfajl: b\nx\n", "t"), std::runtime_error);
  EXPECT_THROW(ParseEntries("@egyeb\n", "t"), std::runtime_error);
}

TEST(Entries, ValidationOfHeadwords) {
  auto one = [](const std::string& headword) {
    Entry e;
    e.headword = headword;
    e.blocks.push_back({false, "x"});
    return std::vector<Entry>{e};
  };
  EXPECT_NO_THROW(ValidateEntries(one("ŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐ")));  // 40 bytes
  EXPECT_THROW(ValidateEntries(one("ŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐŐ")),
               std::runtime_error);
  EXPECT_THROW(ValidateEntries(one("Ária")), std::runtime_error);
  EXPECT_THROW(ValidateEntries(one("ÁRIá")), std::runtime_error);
  EXPECT_THROW(ValidateEntries(one("")), std::runtime_error);
  auto two = one("TERC");
  two.push_back(two[0]);
  EXPECT_THROW(ValidateEntries(two), std::runtime_error);
}

TEST(Memo, RichTextDeclaresTheCodePageAndEscapesLetters) {
  Entry e;
  e.headword = "ÁRIA";
  e.origin = "ol. aria";
  e.blocks = {{false, "Dal {zárójel} //dőlt// **félkövér** [[TERC]] a\\b"}, {true, "pont"}};
  const std::string rtf = RenderRtf(e);
  EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1250"));
  EXPECT_NE(rtf.find("\\fcharset238"), std::string::npos);
  EXPECT_NE(rtf.find("\\b \\'c1RIA\\b0"), std::string::npos);
  EXPECT_NE(rtf.find("\\{z\\'e1r\\'f3jel\\}"), std::string::npos);
  EXPECT_NE(rtf.find("{\\i d\\'f5lt}"), std::string::npos);
  EXPECT_NE(rtf.find("{\\b\\cf2 TERC}"), std::string::npos);
  EXPECT_NE(rtf.find("a\\\\b"), std::string::npos);
  for (const char c : rtf) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
  EXPECT_TRUE(rtf.ends_with("}\n"));
}

TEST(Memo, PlainTextUsesBareLineFeedsAndCodePageBytes) {
  Entry e;
  e.headword = "TERC";
  e.origin = "lat. tertia";
  e.blocks = {{false, "Három //fok//."}, {true, "egy"}, {true, "kettő"}};
  EXPECT_EQ(RenderPlain(e), "TERC\n(lat. tertia)\n\nH\xE1rom fok.\n\n\x95 egy\n\x95 kett\xF5\n");
  EXPECT_THROW(ParseInline("nyitva **marad"), std::runtime_error);
  EXPECT_THROW(ParseInline("**kettő //egyben//**"), std::runtime_error);
  EXPECT_EQ(ParseInline("lásd: http://x").size(), 1u);  // no italics in an address
}

TEST(Memo, ReferencesMustNameExistingEntries) {
  std::vector<Entry> entries(2);
  entries[0].headword = "TERC";
  entries[0].blocks = {{false, "Vö. [[KVINT]]."}};
  entries[1].headword = "KVINT";
  entries[1].blocks = {{false, "Vö. [[TERC]]."}};
  EXPECT_NO_THROW(CheckReferences(entries));
  entries[1].blocks = {{false, "Vö. [[SZEXT]]."}};
  EXPECT_THROW(CheckReferences(entries), std::runtime_error);
}

TEST(Music, PitchesAndHungarianNames) {
  EXPECT_EQ(ParsePitch("C4").Midi(), 60);
  EXPECT_EQ(ParsePitch("A4").Midi(), 69);
  EXPECT_NEAR(ParsePitch("A4").Frequency(), 440.0, 1e-9);
  EXPECT_EQ(ParsePitch("C4").HungarianName(), "c'");
  EXPECT_EQ(ParsePitch("F#4").HungarianName(), "fisz'");
  EXPECT_EQ(ParsePitch("Bb3").HungarianName(), "b");
  EXPECT_EQ(ParsePitch("B3").HungarianName(), "h");
  EXPECT_EQ(ParsePitch("Ab5").HungarianName(), "asz''");
  EXPECT_EQ(ParsePitch("Eb2").HungarianName(), "Esz");
  EXPECT_EQ(ParsePitch("Db4").HungarianName(), "desz'");
  EXPECT_EQ(ParsePitch("C1").HungarianName(), "C,");
  EXPECT_THROW(ParsePitch("H4"), std::runtime_error);
  EXPECT_THROW(ParsePitch("C#b#4"), std::runtime_error);
  const auto ev = ParseEvents("C4+E4+G4:2 R:0.5");
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].pitches.size(), 3u);
  EXPECT_TRUE(ev[1].pitches.empty());
  EXPECT_THROW(ParseEvents("C4"), std::runtime_error);
  EXPECT_THROW(ParseEvents("C4:0"), std::runtime_error);
}

TEST(Media, ScoreNameReplacesTheLastExtension) {
  EXPECT_EQ(ScoreFileName("dur_skala.mid"), "dur_skala.PDF");
  EXPECT_EQ(ScoreFileName("a.b.wav"), "a.b.PDF");
  EXPECT_EQ(ScoreFileName("x.mp3"), "x.PDF");
  EXPECT_EQ(ScoreFileName("nincs"), "nincs.PDF");
  EXPECT_EQ(ScoreFileName(""), ".PDF");
  EXPECT_EQ(ScoreFileName("dir.x\\file"), "dir.x\\file.PDF");
  EXPECT_EQ(ScoreFileName("c:file"), "c:file.PDF");
}

TEST(Media, RecipesParseOptionsNotesAndSubtitle) {
  const auto r = ParseRecipes(
      "# comment\n"
      "a.wav hang hangszer=hegedu tempo=72 utem=3/4 kulcs=f kotta | C4:1 D4:2 | Cím: ő\n"
      "b.avi video\n"
      "c.mp3 hianyzik\n");
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].tune.instrument, "hegedu");
  EXPECT_EQ(r[0].tune.tempo, 72);
  EXPECT_EQ(r[0].tune.bar_beats, 3);
  EXPECT_TRUE(r[0].tune.bass_clef);
  EXPECT_TRUE(r[0].options.contains("kotta"));
  EXPECT_EQ(r[0].tune.events.size(), 2u);
  EXPECT_EQ(r[0].subtitle, "Cím: ő");
  EXPECT_EQ(r[0].where, "media.txt:2");
  EXPECT_THROW(ParseRecipes("a.ogg hang | C4:1\n"), std::runtime_error);
  EXPECT_THROW(ParseRecipes("a.wav hang\n"), std::runtime_error);
  EXPECT_THROW(ParseRecipes("a.wav hang hangszer=duda | C4:1\n"), std::runtime_error);
  EXPECT_THROW(ParseRecipes("a.wav zene | C4:1\n"), std::runtime_error);
}

}  // namespace
}  // namespace demo
