// Building a memo a part at a time: what each step leaves in the document,
// and that the steps together give the document of the whole memo.
#include <gtest/gtest.h>

#include <QTextDocument>
#include <string>
#include <vector>

#include "tests/views/document_description.h"
#include "views/rtf/memo_build.h"
#include "views/rtf/memo_text.h"

namespace dorvem {
namespace {

using testing::Describe;
using testing::Text;

// The document's text after each step of `bytes` bytes, up to the last.
std::vector<std::string> States(const std::string& memo, std::size_t bytes,
                                std::uint32_t codePage = 1250) {
  QTextDocument doc;
  TMemoBuild build(memo, codePage, doc);
  std::vector<std::string> states;
  for (int guard = 0; guard < 100000 && !build.Done(); ++guard) {
    build.Step(bytes);
    states.push_back(Text(doc));
  }
  return states;
}

TEST(MemoBuildTest, EachStepEndsAfterAParagraph) {
  struct Case {
    const char* name;
    std::string memo;
    std::vector<std::string> states;
  };
  const Case cases[] = {
      {"paragraphs",
       "{\\rtf1 one\\par {\\b two}\\par three}",
       {"one", "one\ntwo", "one\ntwo\nthree"}},
      {"an empty paragraph is one",
       "{\\rtf1 one\\par\\par two\\par}",
       {"one", "one\n", "one\n\ntwo", "one\n\ntwo"}},
      {"a line break is not a paragraph's end", "{\\rtf1 a\\line b\\par c}", {"a|b", "a|b\nc"}},
      {"the tables come with the first paragraph",
       "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}\\f0 x\\par y}",
       {"x", "x\ny"}},
      {"text after the document's end is not read", "{\\rtf1 a\\par b}\\par c\\par", {"a", "a\nb"}},
      {"plain text shorter than a line piece goes at once",
       "one\ntwo\r\nthree",
       {"one\ntwo\nthree"}},
      {"empty plain text", "", {""}},
      {"the failure text", std::string("a\0b", 3), {"(Failed to Load Stream)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(States(c.memo, 1), c.states);
  }
}

TEST(MemoBuildTest, StartsByEmptyingTheDocumentAndKnowsItsPathAtOnce) {
  QTextDocument doc;
  doc.setPlainText(QStringLiteral("previous"));
  doc.setUndoRedoEnabled(true);
  TMemoBuild build("{\\rtf1 a\\par b}", 1250, doc);
  EXPECT_EQ(Text(doc), "");
  EXPECT_EQ(build.Outcome(), TMemoOutcome::kRichText);
  EXPECT_FALSE(build.Done());
  build.Finish();
  EXPECT_TRUE(build.Done());
  EXPECT_EQ(Text(doc), "a\nb");
  // Nothing was recorded, and undo is as the document had it.
  EXPECT_FALSE(doc.isUndoAvailable());
  EXPECT_TRUE(doc.isUndoRedoEnabled());
  // Further steps do nothing.
  EXPECT_TRUE(build.Step(1));
  EXPECT_EQ(Text(doc), "a\nb");
}

// Plain text is decoded in pieces of 4096 bytes once a step has used what
// it was given; steps of one byte therefore cut the bytes at 1, 4097, 8193
// and so on. Line breaks and characters cut there still come out whole.
TEST(MemoBuildTest, PlainTextStepsEndAtLineBreaksWhereverThePiecesAreCut) {
  struct Case {
    const char* name;
    std::uint32_t codePage;
    std::string before;  // bytes 0 to 4095
    std::string cut;     // bytes 4096 and 4097
    std::string shown;   // what the cut bytes show
  };
  const Case cases[] = {
      {"CR LF cut apart is one break", 1250, std::string(4095, 'x') + "\n", "\r\n", "\n"},
      {"LF CR cut apart is two", 1250, std::string(4096, 'x'), "\n\r", "\n\n"},
      {"a double-byte character cut apart", 932, std::string(4095, 'x') + "\n", "\x82\xa0", "あ"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string rest = "end\n" + std::string(5000, 'y');
    const std::string whole = c.before + c.shown + rest;
    const std::vector<std::string> states = States(c.before + c.cut + rest, 1, c.codePage);
    ASSERT_GT(states.size(), 1u);
    EXPECT_EQ(states.back(), whole);
    for (const std::string& s : states) {
      // Each state is the whole text cut right before a line break.
      ASSERT_LE(s.size(), whole.size());
      EXPECT_EQ(whole.compare(0, s.size(), s), 0);
      if (s.size() < whole.size()) {
        EXPECT_EQ(whole[s.size()], '\n');
      }
    }
  }
}

// A memo in the demo dictionary's style: fonts, colours, indents,
// alignment, empty paragraphs, runs in several styles and escapes.
std::string StyledMemo(int paragraphs) {
  std::string memo =
      "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}"
      "{\\f1\\froman\\fcharset238 Times New Roman;}}"
      "{\\colortbl ;\\red128\\green0\\blue0;\\red0\\green0\\blue128;}"
      "\\pard\\qc\\sa120\\f0\\fs26\\cf1\\b CÍM\\b0\\cf0\\fs20\\par ";
  for (int i = 0; i < paragraphs; ++i) {
    switch (i % 4) {
      case 0:
        memo += "\\pard\\sa100 A {\\b von\\'f3s} hangszer {\\i " + std::to_string(i) + "}.\\par ";
        break;
      case 1:
        memo += "\\pard\\li360\\fi-200 \\'95 {\\cf2\\ul fa\\'fav\\'f3s} \\u337?\\par\\par ";
        break;
      case 2:
        memo += "\\pard\\qj\\f1 L\\'e1sd m\\'e9g\\line {\\b ZENEKAR}\\f0\\par ";
        break;
      default:
        // The paragraph's settings change before its end.
        memo += "\\pard v\\'e9ge\\qr\\sb60\\par ";
        break;
    }
  }
  return memo + "}";
}

TEST(MemoBuildTest, StepsOfAnySizeGiveTheWholeMemosDocument) {
  const std::string memo = StyledMemo(40);
  QTextDocument whole;
  LoadMemoText(memo, 1250, whole);
  ASSERT_EQ(whole.blockCount(), 1 + 40 + 10);
  for (std::size_t bytes : {std::size_t{1}, std::size_t{97}, std::size_t{1024}, TMemoBuild::kAll}) {
    SCOPED_TRACE(bytes);
    QTextDocument doc;
    TMemoBuild build(memo, 1250, doc);
    for (int guard = 0; guard < 1000 && !build.Done(); ++guard) build.Step(bytes);
    EXPECT_EQ(Describe(doc), Describe(whole));
  }
}

}  // namespace
}  // namespace dorvem
