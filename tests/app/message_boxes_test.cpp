// The window's own warning and error boxes as the user meets them: modal,
// titled and iconed by their kind, one "OK" button, and centred on the
// screen with the size they have once their text is laid out, a long
// program path included.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include "app/message_boxes.h"

namespace dorvem {
namespace {

struct ShownBox {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  QRect geometry;  // with the frame
};

// Shows `text` through the modal box and reads the box while it is open.
ShownBox Show(void (*show)(const QString&), const QString& text) {
  const MessageBoxSink saved = SetMessageBoxSink(nullptr);
  ShownBox shown;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown = {box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size()),
             box->geometry()};
    box->button(QMessageBox::Ok)->click();
  });
  show(text);
  SetMessageBoxSink(saved);
  return shown;
}

TEST(MessageBoxesTest, BoxesAreCentredWithTheSizeOfTheirLaidOutText) {
  const QPoint centre = QGuiApplication::primaryScreen()->geometry().center();
  QString path = QStringLiteral("/opt");
  for (int i = 0; i < 12; ++i) path += QStringLiteral("/egy hosszú mappanév %1").arg(i);
  const QString longText =
      QStringLiteral(u"Nincs meg a lejátszó program:") + path + "/scplayer.exe";
  struct Case {
    void (*show)(const QString&);
    QString text;
    const char* title;
    QMessageBox::Icon icon;
  };
  const Case cases[] = {
      {ShowWarning, longText, "Warning", QMessageBox::Warning},
      {ShowWarning, QStringLiteral(u"Nincs meg a lejátszandó file:a.scm"), "Warning",
       QMessageBox::Warning},
      {ShowError, QStringLiteral(u"Hibakód: 296\r\nA fájl nem játszható le."), "Error",
       QMessageBox::Critical},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    const ShownBox box = Show(c.show, c.text);
    EXPECT_EQ(box.title, c.title);
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.icon, c.icon);
    EXPECT_EQ(box.buttons, 1);
    // Centred to the pixel (an odd size leaves half a pixel).
    const QPoint middle =
        box.geometry.topLeft() + QPoint(box.geometry.width() / 2, box.geometry.height() / 2);
    EXPECT_LE((middle - centre).manhattanLength(), 1)
        << box.geometry.x() << "," << box.geometry.y() << " " << box.geometry.width() << "x"
        << box.geometry.height();
  }
}

}  // namespace
}  // namespace dorvem
