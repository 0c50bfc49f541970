#include "views/db_image.h"

namespace dorvem {

TDBImage::TDBImage(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
}

void TDBImage::SetColor(const QColor& c) {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, c);
  setPalette(pal);
}

}  // namespace dorvem
