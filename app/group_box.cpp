#include "app/group_box.h"

#include <QPaintEvent>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace dorvem {

TGroupBox::TGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

QRegion TGroupBox::DecoratedRegion() const {
  QStyleOptionGroupBox option;
  initStyleOption(&option);
  const QStyle* s = style();
  const QRect frame =
      s->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, this);
  QRegion decorated(rect());
  decorated -= frame.adjusted(kFrameMargin, kFrameMargin, -kFrameMargin, -kFrameMargin);
  decorated += s->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
  decorated += s->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxCheckBox, this);
  return decorated;
}

void TGroupBox::paintEvent(QPaintEvent* event) {
  if (!event->region().intersects(DecoratedRegion())) return;
  QGroupBox::paintEvent(event);
}

}  // namespace dorvem
