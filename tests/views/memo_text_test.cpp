// Loading memo bytes into a document: which path reads them, how plain
// text is decoded and broken into lines, and what a failure shows.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>
#include <string>

#include "tests/views/document_description.h"
#include "views/rtf/memo_text.h"

namespace dorvem {
namespace {

using testing::Text;

TEST(MemoTextTest, RichTextFirstPlainTextSecondFailureLast) {
  struct Case {
    const char* name;
    std::string bytes;
    bool plainTextOnly;
    TMemoOutcome outcome;
    std::string text;
  };
  const Case cases[] = {
      {"rich text", "{\\rtf1 a\\par b}", false, TMemoOutcome::kRichText, "a\nb"},
      {"rich text may hold a zero byte", std::string("{\\rtf1 x\0y}", 11), false,
       TMemoOutcome::kRichText, "xy"},
      {"damaged rich text is still rich text", "{\\rtf1 a{", false, TMemoOutcome::kRichText, "a"},
      {"anything else is plain text", "{\\rt x}", false, TMemoOutcome::kPlainText, "{\\rt x}"},
      {"plain text only", "{\\rtf1 x}", true, TMemoOutcome::kPlainText, "{\\rtf1 x}"},
      {"empty memo", "", false, TMemoOutcome::kPlainText, ""},
      {"a zero byte is not text", std::string("ab\0c", 4), false, TMemoOutcome::kFailed,
       "(Failed to Load Stream)"},
      {"a zero byte, plain text only", std::string("\0", 1), true, TMemoOutcome::kFailed,
       "(Failed to Load Stream)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("previous"));
    doc.setPageSize(QSizeF(445, -1));
    EXPECT_EQ(LoadMemoText(c.bytes, 1250, doc, c.plainTextOnly), c.outcome);
    EXPECT_EQ(Text(doc), c.text);
    // Layout is held off while loading, and the page is the same after.
    EXPECT_EQ(doc.pageSize(), QSizeF(445, -1));
  }
}

TEST(MemoTextTest, EachLineBreakOfPlainTextEndsOneLine) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string text;  // blocks joined by "\n"
    int blocks;
  };
  const Case cases[] = {
      {"LF", "one\ntwo\nthree", "one\ntwo\nthree", 3},
      {"CR", "one\rtwo\rthree", "one\ntwo\nthree", 3},
      {"CR LF", "one\r\ntwo\r\nthree", "one\ntwo\nthree", 3},
      {"LF CR is two breaks", "a\n\rb", "a\n\nb", 3},
      {"CR LF CR LF", "a\r\n\r\nb", "a\n\nb", 3},
      {"trailing break", "a\r\n", "a\n", 2},
      {"tabs stay, other controls go", "a\tb\x01\x1f", "a\tb", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTextDocument doc;
    EXPECT_EQ(LoadMemoText(c.bytes, 1250, doc), TMemoOutcome::kPlainText);
    EXPECT_EQ(Text(doc), c.text);
    EXPECT_EQ(doc.blockCount(), c.blocks);
  }
}

TEST(MemoTextTest, PlainTextIsReadInTheDatasCodePage) {
  // o, u, O, U with double acute in windows-1250; the same bytes are
  // o, u, O, U with tilde and circumflex in windows-1252.
  const std::string bytes = "\xF5\xFB\xD5\xDB \xE1\xE9";
  QTextDocument doc;
  LoadMemoText(bytes, 1250, doc);
  EXPECT_EQ(Text(doc), "őűŐŰ áé");
  LoadMemoText(bytes, 1252, doc);
  EXPECT_EQ(Text(doc), "õûÕÛ áé");
  LoadMemoText("\xC0\xE1", 1251, doc);
  EXPECT_EQ(Text(doc), "Аб");
  // Rich text keeps its own code page whatever the data's is.
  LoadMemoText("{\\rtf1\\ansi\\ansicpg1250 \\'f5}", 1252, doc);
  EXPECT_EQ(Text(doc), "ő");
}

TEST(MemoTextTest, PlainTextTakesTheDocumentsFontAfterRichText) {
  QTextDocument doc;
  LoadMemoText("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs40\\b\\qc x}", 1250, doc);
  LoadMemoText("plain", 1250, doc);
  const QTextBlock block = doc.begin();
  EXPECT_EQ(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
  const QTextCharFormat f = block.begin().fragment().charFormat();
  EXPECT_FALSE(f.hasProperty(QTextFormat::FontFamilies));
  EXPECT_FALSE(f.hasProperty(QTextFormat::FontPointSize));
  EXPECT_FALSE(f.hasProperty(QTextFormat::FontWeight));
}

}  // namespace
}  // namespace dorvem
