#include "media/media_player.h"

namespace dorvem {

TMediaPlayer::TMediaPlayer(QWidget* parent) : QWidget(parent) {
  // A tab stop like any windowed control, but hidden: the button bar is
  // never shown, so it never takes the focus.
  setFocusPolicy(Qt::TabFocus);
  setVisible(false);
}

}  // namespace dorvem
