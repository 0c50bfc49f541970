#include "views/db_navigator.h"

#include <QPainter>
#include <QPolygon>
#include <QToolButton>

namespace dorvem {

namespace {

// A small black glyph for the moving buttons: triangles pointing the way,
// with a bar for first and last.
QIcon MoveGlyph(TNavigateBtn b) {
  QPixmap pm(9, 9);
  pm.fill(Qt::transparent);
  if (b > nbLast) return QIcon(pm);
  QPainter p(&pm);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  const bool left = b == nbFirst || b == nbPrior;
  const int tip = left ? 2 : 6;
  const int base = left ? 6 : 2;
  p.drawPolygon(QPolygon({QPoint(tip, 4), QPoint(base, 0), QPoint(base, 8)}));
  if (b == nbFirst) p.drawRect(0, 0, 1, 8);
  if (b == nbLast) p.drawRect(7, 0, 1, 8);
  return QIcon(pm);
}

}  // namespace

QString TDBNavigator::Hint(TNavigateBtn b) {
  static const char* const kHints[kNavigateBtnCount] = {
      "First record",  "Prior record", "Next record", "Last record", "Insert record",
      "Delete record", "Edit record",  "Post edit",   "Cancel edit", "Refresh data"};
  return QString::fromLatin1(kHints[b]);
}

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  for (int i = 0; i < kNavigateBtnCount; ++i) {
    const auto b = static_cast<TNavigateBtn>(i);
    auto* button = new QToolButton(this);
    button->setAutoRaise(false);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(MoveGlyph(b));
    button->setIconSize(QSize(9, 9));
    button->setEnabled(false);
    buttons_[i] = button;
  }
  LayoutButtons();
}

void TDBNavigator::SetVisibleButtons(TNavButtonSet buttons) {
  visible_ = buttons;
  LayoutButtons();
}

void TDBNavigator::SetShowHint(bool value) {
  showHint_ = value;
  for (int i = 0; i < kNavigateBtnCount; ++i)
    buttons_[i]->setToolTip(value ? Hint(static_cast<TNavigateBtn>(i)) : QString());
}

void TDBNavigator::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutButtons();
}

void TDBNavigator::LayoutButtons() {
  int shown = 0;
  for (int i = 0; i < kNavigateBtnCount; ++i)
    if (visible_ & (1u << i)) ++shown;
  if (shown == 0) shown = 1;
  const int w = width() / shown;
  int x = 0;
  for (int i = 0; i < kNavigateBtnCount; ++i) {
    const bool show = visible_ & (1u << i);
    buttons_[i]->setVisible(show);
    if (!show) continue;
    buttons_[i]->setGeometry(x, 0, w, height());
    x += w;
  }
}

}  // namespace dorvem
