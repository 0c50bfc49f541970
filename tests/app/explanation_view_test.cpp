// The window's explanation view on crafted entries: rich text with its
// formatting, plain text in the data's code page and the window's font, and
// an unreadable memo that shows the failure text without a report.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include "tests/app/report_recorder.h"
#include "tests/app/window_fixture.h"
#include "views/db_rich_edit.h"

namespace dorvem {
namespace {

using testing::DictRow;
using testing::ProgramFolderFixture;
using testing::ReportRecorder;

std::string ShownText(const TDBRichEdit& edit) {
  QString s = edit.WholeDocument()->toRawText();
  s.replace(QChar(0x2029), QLatin1Char('\n'));
  return s.toStdString();
}

TEST(ExplanationViewTest, ShowsTheCurrentEntrysMemo) {
  ProgramFolderFixture folder;
  // Headwords that begin with "." pass the start-up filter; the grid
  // orders them by headword.
  folder.WriteDataFile(testing::Encode(testing::DictionaryModel({
      {"a.mp3", ".A",
       "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}"
       "{\\colortbl ;\\red128\\green0\\blue0;}\\pard\\qc\\cf1\\b\\fs26 Hangk\\'f6z\\b0\\par"
       "\\pard\\cf0\\fs20 k\\'e9t hang t\\'e1vols\\'e1ga\\par}",
       std::nullopt, 1},
      {"b.mp3", ".B", "\xD6sszhang\nk\xE9t \xFAj sor\nv\xE9g\xFB \xF5 \xDB\xD5", std::nullopt, 2},
      {"c.mp3", ".C", std::string("\x01\x00\x02", 3), std::nullopt, 3},
  })));
  ReportRecorder reports;
  TfrmMain window(folder.Options());
  TDBRichEdit& edit = *window.edtSzoveg;

  EXPECT_EQ(ShownText(edit), "Hangköz\nkét hang távolsága");
  const QTextBlock title = edit.WholeDocument()->begin();
  EXPECT_EQ(title.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  const QTextCharFormat f = title.begin().fragment().charFormat();
  EXPECT_EQ(f.fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
  EXPECT_EQ(f.fontPointSize(), 13);
  EXPECT_EQ(f.fontWeight(), QFont::Bold);
  EXPECT_EQ(f.foreground().color(), QColor(128, 0, 0));

  window.Dictionary().tblAdat.GoNext();
  EXPECT_EQ(ShownText(edit), "Összhang\nkét új sor\nvégű ő ŰŐ");
  // Plain text is shown in the view's own font.
  EXPECT_EQ(edit.WholeDocument()->defaultFont(), edit.font());
  EXPECT_FALSE(edit.WholeDocument()->begin().begin().fragment().charFormat().hasProperty(
      QTextFormat::FontFamilies));

  window.Dictionary().tblAdat.GoNext();
  EXPECT_EQ(ShownText(edit), "(Failed to Load Stream)");
  EXPECT_TRUE(reports.reports.empty());
}

}  // namespace
}  // namespace dorvem
