// Building a memo a part at a time: what each step leaves in the document,
// and that the steps together give the document of the whole memo.
#include <gtest/gtest.h>

#include <QTextBlock>
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

// `size` bytes of short words, which no block bound breaks.
std::string Words(std::size_t size) {
  std::string words;
  while (words.size() < size) words += "hang ";
  words.resize(size);
  return words;
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
      {"CR LF cut apart is one break", 1250, Words(4095) + "\n", "\r\n", "\n"},
      {"LF CR cut apart is two", 1250, Words(4096), "\n\r", "\n\n"},
      {"a double-byte character cut apart", 932, Words(4095) + "\n", "\x82\xa0", "あ"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string rest = "end\n" + Words(5000);
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

// The lengths of the document's blocks, in characters.
std::vector<int> BlockLengths(const QTextDocument& doc) {
  std::vector<int> lengths;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) lengths.push_back(b.length() - 1);
  return lengths;
}

// A paragraph goes on in a new block after 1024 characters with no space,
// tab or line break between them, and once it holds 16384 characters at
// the first character after a break; never with an empty block.
TEST(MemoBuildTest, LongParagraphsGoOnInNewBlocks) {
  std::string words;  // "hang " 4000 times: 20000 characters
  for (int i = 0; i < 4000; ++i) words += "hang ";
  struct Case {
    const char* name;
    std::string memo;
    std::vector<int> blocks;
  };
  const Case cases[] = {
      {"a plain word of 2500 letters", std::string(2500, 'x'), {1024, 1024, 452}},
      {"1025 letters", std::string(1025, 'x'), {1024, 1}},
      {"1024 letters and more after a space", std::string(1024, 'x') + " y", {1026}},
      {"a line break right after 1024 letters", std::string(1024, 'x') + "\nb", {1024, 1}},
      {"a rich word of 2048 letters, then a paragraph",
       "{\\rtf1 " + std::string(2048, 'x') + "\\par b}",
       {1024, 1024, 1}},
      {"a rich word then bold letters",
       "{\\rtf1 " + std::string(1030, 'x') + "{\\b yy}}",
       {1024, 8}},
      {"plain words", words, {16385, 3615}},
      {"rich words", "{\\rtf1 " + words + "}", {16385, 3615}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTextDocument doc;
    LoadMemoText(c.memo, 1250, doc);
    EXPECT_EQ(BlockLengths(doc), c.blocks);
  }
  // The blocks a paragraph goes on in keep its settings and its runs.
  QTextDocument doc;
  LoadMemoText("{\\rtf1\\qc " + std::string(1030, 'x') + "{\\b yy}}", 1250, doc);
  EXPECT_EQ(Describe(doc),
            (std::vector<testing::BlockDescription>{{"align=center", {std::string(1024, 'x')}},
                                                    {"align=center", {"xxxxxx", "yy{b}"}}}));
}

// A plain word of a megabyte is built in steps of one block each.
TEST(MemoBuildTest, ALongWordIsBuiltInBoundedSteps) {
  const std::string word(1 << 20, 'x');
  QTextDocument doc;
  TMemoBuild build(word, 1250, doc);
  int steps = 0;
  int before = 0;
  for (; steps < 100000 && !build.Done(); ++steps) {
    build.Step(1);
    const int now = doc.characterCount();
    ASSERT_LE(now - before, 4096 + 1025);
    before = now;
  }
  EXPECT_EQ(doc.blockCount(), 1024);
  EXPECT_GE(steps, 1024 / 5);
}

// With a size to show, a longer memo shows its start and a notice with
// both sizes in kilobytes, rounded up, in a plain paragraph of its own.
TEST(MemoBuildTest, AMemoLongerThanTheSizeShownShowsItsStartAndSaysSo) {
  std::string lines;  // 1,100,000 bytes: 1075 KB
  while (lines.size() < 1100000) lines += "sor\r\n";
  lines.resize(1100000);
  struct Case {
    const char* name;
    std::string memo;
    std::size_t shown;
    std::string text;
    TMemoOutcome outcome;
  };
  const std::string notice1 =
      "(A magyarázat túl hosszú, ezért csak az eleje látható: 1\u00A0KB, teljes hossza 1\u00A0KB.)";
  const Case cases[] = {
      {"plain text ends at the last line break", "egy\nkett\xF5\nh\xE1rom\nn\xE9gy", 12,
       "egy\nkettő\n" + notice1, TMemoOutcome::kPlainText},
      {"plain text without a break is cut at the size", std::string(30, 'x'), 10,
       std::string(10, 'x') + "\n" + notice1, TMemoOutcome::kPlainText},
      {"sizes in kilobytes", lines, 10,
       "sor\nsor\n(A magyarázat túl hosszú, ezért csak az eleje látható: 1\u00A0KB, teljes hossza "
       "1\u00A0075\u00A0KB.)",
       TMemoOutcome::kPlainText},
      {"rich text is cut at the size", "{\\rtf1\\qc egy\\par kett\\'f5\\par h\\'e1rom}", 23,
       "egy\nkett\n" + notice1, TMemoOutcome::kRichText},
      {"a memo no longer than the size is whole", "egy\nkett\xF5", 10, "egy\nkettő",
       TMemoOutcome::kPlainText},
      {"a zero byte after the size still fails", std::string("egy\nkett\xF5\0", 10), 5,
       "(Failed to Load Stream)", TMemoOutcome::kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTextDocument doc;
    TMemoBuild build(c.memo, 1250, doc, false, c.shown);
    EXPECT_EQ(build.Outcome(), c.outcome);
    build.Finish();
    EXPECT_EQ(Text(doc), c.text);
    if (c.text != Text(doc)) continue;
    // The notice does not take the memo's paragraph settings.
    if (c.text.ends_with("KB.)")) {
      EXPECT_FALSE(doc.lastBlock().blockFormat().hasProperty(QTextFormat::BlockAlignment));
    }
  }
}

}  // namespace
}  // namespace dorvem
