// Every letter the window shows comes from the font it chose, not from a
// fallback: each caption in its control's font, the grid's title in its
// bold serif, the messages in the boxes' font, and the whole Hungarian
// alphabet in every font the window uses.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QRawFont>

#include "tests/app/dictionary_window.h"
#include "views/db_grid.h"

namespace dorvem {
namespace {

using testing::DictionaryWindow;

// The letters of Hungarian, small and capital, from the alphabet as taught.
const QString kHungarianLetters = QStringLiteral(
    u"aábcdeéfghiíjklmnoóöőpqrstuúüűvwxyz"
    u"AÁBCDEÉFGHIÍJKLMNOÓÖŐPQRSTUÚÜŰVWXYZ");

// The characters of `text` that the font `font` resolves to lacks.
QString Missing(const QFont& font, const QString& text) {
  const QRawFont raw = QRawFont::fromFont(font);
  QString missing;
  for (QChar c : text)
    if (!c.isSpace() && !raw.supportsCharacter(c) && !missing.contains(c)) missing += c;
  return missing;
}

std::string Describe(const QFont& font) {
  return QRawFont::fromFont(font).familyName().toStdString() + " " +
         QRawFont::fromFont(font).styleName().toStdString();
}

TEST(FontsTest, EveryLetterShownComesFromTheChosenFont) {
  const QStringList installed = QFontDatabase::families();
  for (const char* family : {"Liberation Sans", "Liberation Serif"})
    if (!installed.contains(QString::fromLatin1(family)))
      GTEST_SKIP() << family << " is not installed (package fonts-liberation2)";

  DictionaryWindow w(DictionaryWindow::Numbered(3));
  std::vector<std::pair<QFont, QString>> shown;
  for (QWidget* child : w.window->findChildren<QWidget*>()) {
    if (auto* button = qobject_cast<QAbstractButton*>(child))
      shown.emplace_back(button->font(), button->text());
    if (auto* frame = qobject_cast<QGroupBox*>(child))
      shown.emplace_back(frame->font(), frame->title());
    if (auto* label = qobject_cast<QLabel*>(child))
      shown.emplace_back(label->font(), label->text());
    shown.emplace_back(child->font(), kHungarianLetters);
  }
  const TColumn& column = w->grdAdat->Column();
  ASSERT_EQ(column.titleCaption, QStringLiteral(u"Keresett meghatározás"));
  shown.emplace_back(column.titleFont, column.titleCaption);
  shown.emplace_back(column.titleFont, kHungarianLetters);
  const QFont boxes = QApplication::font("QMessageBox");
  for (const QString& message :
       {QStringLiteral(u"Nincs meg a lejátszó program:"),
        QStringLiteral(u"Nincs meg a lejátszandó file:"), QStringLiteral(u"Hibakód: ")})
    shown.emplace_back(boxes, message);

  for (const auto& [font, text] : shown) {
    SCOPED_TRACE(Describe(font) + ": " + text.toStdString());
    EXPECT_EQ(Missing(font, text).toStdString(), "");
  }
}

}  // namespace
}  // namespace dorvem
