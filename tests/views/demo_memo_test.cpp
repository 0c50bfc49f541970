// The demo dictionary's explanations as the explanation view lays them out:
// the headword and its origin are separate words, and a paragraph that
// follows a list is a paragraph of its own, not more of the last item.
// Expected texts come from the entries' sources (tools/demo/entries).
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>
#include <filesystem>
#include <string>

#include "dataset/host/client_dataset.h"
#include "views/rtf/memo_text.h"

namespace dorvem {
namespace {

// The explanation of `headword` in the demo, laid out.
void LoadDemoMemo(const std::string& headword, QTextDocument& doc) {
  TClientDataSet ds;
  ds.SetFileName(
      (std::filesystem::path(DORVEM_SOURCE_DIR) / "demo" / "Data" / "dorvem1.cds").string());
  ds.Open();
  for (ds.GoFirst(); !ds.AtEnd(); ds.GoNext()) {
    if (ds.FieldByName("KSZOVEG")->AsString() != headword) continue;
    ASSERT_EQ(LoadMemoText(ds.FieldByName("SZOVMAGY")->AsString(), ds.TextCodePage(), doc),
              TMemoOutcome::kRichText);
    return;
  }
  FAIL() << "no entry " << headword;
}

TEST(DemoMemoTest, TheHeadwordAndItsOriginAreTwoWords) {
  QTextDocument doc;
  LoadDemoMemo("LEGATO", doc);
  EXPECT_EQ(doc.firstBlock().text(), QStringLiteral(u"LEGATO (ol. 'kötve')"));
}

TEST(DemoMemoTest, AParagraphAfterAListIsNoPartOfItsLastItem) {
  // In windows-1250, as the data stores them.
  const std::pair<const char*, QString> cases[] = {
      {".R\xD6VID\xCDT\xC9SEK", QStringLiteral(u"A hangneveket a magyar zenetanítás")},
      {".A SZ\xD3T\xC1R HASZN\xC1LATA", QStringLiteral(u"A szövegmező kiürítése után")},
  };
  for (const auto& [headword, paragraph] : cases) {
    SCOPED_TRACE(paragraph.toStdString());
    QTextDocument doc;
    LoadDemoMemo(headword, doc);
    QTextBlock found, before;
    for (QTextBlock b = doc.firstBlock(); b.isValid(); b = b.next())
      if (b.text().startsWith(paragraph)) found = b;
    ASSERT_TRUE(found.isValid());
    before = found.previous();
    // The list's last item ends before it and starts with the bullet;
    // the paragraph is not indented as the items are.
    EXPECT_TRUE(before.text().startsWith(QChar(u'\u2022'))) << before.text().toStdString();
    EXPECT_GT(before.blockFormat().leftMargin(), 0);
    EXPECT_EQ(found.blockFormat().leftMargin(), 0);
    EXPECT_EQ(found.blockFormat().textIndent(), 0);
  }
}

}  // namespace
}  // namespace dorvem
