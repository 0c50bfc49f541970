#include "app/message_boxes.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace dorvem {

namespace {

// A message box that centres itself on the screen rather than on the
// window. QMessageBox settles its size (wrapping a long text, such as a
// long program path) only as it is shown, so the position is taken then,
// from the final size, and before the box reaches the screen.
class TCentredMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    // The frame, where the platform knows it by now, is centred with it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QSize outer = frameGeometry().size();
      move(screen->geometry().center() - QPoint(outer.width() / 2, outer.height() / 2));
    }
  }
};

void ShowModalBox(const MessageBoxText& message) {
  TCentredMessageBox box(
      message.kind == MessageKind::kWarning ? QMessageBox::Warning : QMessageBox::Critical,
      message.title, message.text, QMessageBox::Ok);
  // A plain "OK" button, without the style's button icon.
  if (QAbstractButton* ok = box.button(QMessageBox::Ok)) ok->setIcon(QIcon());
  box.exec();
}

MessageBoxSink& Sink() {
  static MessageBoxSink sink = ShowModalBox;
  return sink;
}

void Show(MessageKind kind, const char* title, const QString& text) {
  Sink()(MessageBoxText{kind, QString::fromLatin1(title), text});
}

}  // namespace

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink) {
  MessageBoxSink previous = std::move(Sink());
  Sink() = sink ? std::move(sink) : MessageBoxSink(ShowModalBox);
  return previous;
}

void ShowWarning(const QString& text) {
  Show(MessageKind::kWarning, "Warning", text);
}

void ShowError(const QString& text) {
  Show(MessageKind::kError, "Error", text);
}

}  // namespace dorvem
