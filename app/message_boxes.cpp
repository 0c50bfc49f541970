#include "app/message_boxes.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace dorvem {

namespace {

void ShowModalBox(const MessageBoxText& message) {
  QMessageBox box(
      message.kind == MessageKind::kWarning ? QMessageBox::Warning : QMessageBox::Critical,
      message.title, message.text, QMessageBox::Ok);
  // A plain "OK" button, without the style's button icon.
  if (QAbstractButton* ok = box.button(QMessageBox::Ok)) ok->setIcon(QIcon());
  // Centred on the screen rather than on the window; placed before it is
  // shown, so that it stays there.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize size = box.sizeHint();
    box.move(screen->geometry().center() - QPoint(size.width() / 2, size.height() / 2));
  }
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
