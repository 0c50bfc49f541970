// The cached search frame paints the pixels a plain group box paints, and
// paints them anew whenever anything they depend on changes.
#include "app/cached_group_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <functional>

namespace dorvem {
namespace {

QImage Pixels(QWidget& w) {
  return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(CachedGroupBoxTest, PaintsAsAPlainBoxInEveryChange) {
  QWidget window;
  window.resize(300, 100);
  QGroupBox plain(QStringLiteral(u" Írja be a szövegmezőbe!"), &window);
  TCachedGroupBox cached(QStringLiteral(u" Írja be a szövegmezőbe!"), &window);
  for (QGroupBox* box : {&plain, static_cast<QGroupBox*>(&cached)}) {
    box->setGeometry(0, 0, 225, 68);
    box->setAutoFillBackground(true);
    QPalette p = box->palette();
    p.setColor(QPalette::Window, QColor(166, 202, 240));
    p.setColor(QPalette::WindowText, QColor(128, 0, 0));
    box->setPalette(p);
  }
  window.show();
  QCoreApplication::processEvents();

  const std::pair<const char*, std::function<void(QGroupBox&)>> changes[] = {
      {"as made", [](QGroupBox&) {}},
      {"painted again", [](QGroupBox&) {}},
      {"another title", [](QGroupBox& b) { b.setTitle(QStringLiteral("Keresés")); }},
      {"another colour",
       [](QGroupBox& b) {
         QPalette p = b.palette();
         p.setColor(QPalette::Window, QColor(0, 128, 128));
         b.setPalette(p);
       }},
      {"disabled", [](QGroupBox& b) { b.setEnabled(false); }},
      {"another font",
       [](QGroupBox& b) {
         QFont f = b.font();
         f.setPointSize(f.pointSize() + 4);
         b.setFont(f);
       }},
      {"another size", [](QGroupBox& b) { b.resize(180, 90); }},
      {"title centred", [](QGroupBox& b) { b.setAlignment(Qt::AlignHCenter); }},
      {"flat", [](QGroupBox& b) { b.setFlat(true); }},
  };
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    change(plain);
    change(cached);
    QCoreApplication::processEvents();
    const QImage expected = Pixels(plain);
    EXPECT_TRUE(Pixels(cached) == expected);
    EXPECT_TRUE(cached.PaintedFromImage());
  }
  // A background that shows what lies beneath: painted plainly.
  cached.setAutoFillBackground(false);
  (void)Pixels(cached);
  EXPECT_FALSE(cached.PaintedFromImage());
}

}  // namespace
}  // namespace dorvem
