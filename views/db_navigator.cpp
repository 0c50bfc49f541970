#include "views/db_navigator.h"

#include <QToolButton>

#include "dataset/host/dataset.h"
#include "dataset/host/handler_guard.h"
#include "views/nav_glyphs.h"

namespace dorvem {

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
    button->setIcon(NavigatorGlyph(b));
    button->setIconSize(kNavGlyphSize);
    button->setEnabled(false);
    if (b == nbPrior || b == nbNext) {
      button->setAutoRepeat(true);
      button->setAutoRepeatDelay(kInitRepeatPause);
      button->setAutoRepeatInterval(kRepeatPause);
    }
    // Emitted on release over the button, and on each repeat.
    connect(button, &QToolButton::clicked, this, [this, b] { ButtonClicked(b); });
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

void TDBNavigator::UpdateButtons() {
  const TDataSet* ds = link_.Active() ? link_.DataSet() : nullptr;
  const bool upEnabled = ds && !ds->AtBeginning();
  const bool downEnabled = ds && !ds->AtEnd();
  buttons_[nbFirst]->setEnabled(upEnabled);
  buttons_[nbPrior]->setEnabled(upEnabled);
  buttons_[nbNext]->setEnabled(downEnabled);
  buttons_[nbLast]->setEnabled(downEnabled);
  // The editing buttons stay disabled: no control may edit the data.
}

void TDBNavigator::BtnClick(TNavigateBtn b) {
  TDataSet* ds = link_.Active() ? link_.DataSet() : nullptr;
  if (!ds) return;
  switch (b) {
    case nbFirst:
      ds->GoFirst();
      break;
    case nbPrior:
      ds->GoPrior();
      break;
    case nbNext:
      ds->GoNext();
      break;
    case nbLast:
      ds->GoLast();
      break;
    default:
      break;
  }
}

void TDBNavigator::ButtonClicked(TNavigateBtn b) {
  if (!GuardHandler([&] { BtnClick(b); })) {
    // A failed move ends the auto-repeat, so that it is reported once.
    buttons_[b]->setDown(false);
  }
}

}  // namespace dorvem
