// The window's own message boxes: warnings titled "Warning" with the
// warning icon and errors titled "Error" with the error icon, each modal
// with a single "OK" button and centred on the screen.
//
// Boxes go through one replaceable sink, so that tests can record them
// instead of blocking on a modal box. Event thread only.
#pragma once

#include <QString>
#include <functional>

namespace dorvem {

enum class MessageKind { kWarning, kError };

struct MessageBoxText {
  MessageKind kind;
  QString title;  // "Warning" or "Error"
  QString text;
};

using MessageBoxSink = std::function<void(const MessageBoxText&)>;

// Makes `sink` receive every box from now on and returns the previous
// sink. A null sink restores the modal box.
MessageBoxSink SetMessageBoxSink(MessageBoxSink sink);

// Shows `text` in a warning box or an error box; returns when it is closed.
void ShowWarning(const QString& text);
void ShowError(const QString& text);

}  // namespace dorvem
