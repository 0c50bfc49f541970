// What the window offers beyond its design, reached only through keys,
// menus and arguments the design leaves free: a search given from outside,
// the explanation's text size (Ctrl+plus, Ctrl+minus, Ctrl+0, Ctrl+wheel),
// and slower plays of the entry's sound from the play button's and the
// search box's context menus. Until one of them is used the window behaves
// as designed.
#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QWheelEvent>

#include "app/main_window.h"
#include "app/text_zoom.h"
#include "app/upper_case_edit.h"
#include "dataset/host/handler_guard.h"
#include "media/media_player.h"
#include "views/db_rich_edit.h"

namespace dorvem {

void TfrmMain::ConnectAdditions() {
  spbLejatszo->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(spbLejatszo, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { ShowPlayButtonMenu(pos); });
  // Ctrl+wheel over the explanation (the window's filter, before the view).
  edtSzoveg->viewport()->installEventFilter(this);
  RestoreTextZoom();
}

// --- A search from outside ---------------------------------------------------

void TfrmMain::TakeSearch(const QString& search, bool everything) {
  if (search.isEmpty()) return;
  SetEverythingSearch(everything);
  TypeSearch(search);
}

void TfrmMain::ShowFromOutside(const QString& search, bool everything) {
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
  TakeSearch(search, everything);
}

void TfrmMain::TypeSearch(const QString& text) {
  edtKeres->setFocus();
  // The first key replaces what the box holds, as typing over it would.
  edtKeres->selectAll();
  for (const char32_t c : text.toUcs4()) {
    if (!QChar::isPrint(c)) continue;
    edtKeres->insert(QString::fromUcs4(&c, 1));
  }
}

// --- Text size -----------------------------------------------------------------

int TfrmMain::TextZoomPercent() const {
  return textZoomPercent_;
}

void TfrmMain::SetTextZoomPercent(int percent) {
  percent = LimitTextZoom(percent);
  if (percent == textZoomPercent_) return;
  textZoomPercent_ = percent;
  edtSzoveg->SetTextScale(percent / 100.0);
  WriteTextZoom(dictionary_.Options().settingsFile, percent);
}

void TfrmMain::RestoreTextZoom() {
  textZoomPercent_ = ReadTextZoom(dictionary_.Options().settingsFile);
  if (textZoomPercent_ != kTextZoomNormal) edtSzoveg->SetTextScale(textZoomPercent_ / 100.0);
}

bool TfrmMain::TextZoomKey(int key, Qt::KeyboardModifiers shift) {
  if (!(shift & Qt::ControlModifier) || (shift & Qt::AltModifier)) return false;
  switch (key) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      SetTextZoomPercent(LargerTextZoom(textZoomPercent_));
      return true;
    case Qt::Key_Minus:
      SetTextZoomPercent(SmallerTextZoom(textZoomPercent_));
      return true;
    case Qt::Key_0:
      SetTextZoomPercent(kTextZoomNormal);
      return true;
    default:
      return false;
  }
}

bool TfrmMain::TextZoomWheel(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel || watched != edtSzoveg->viewport()) return false;
  const auto* wheel = static_cast<QWheelEvent*>(event);
  if (!(wheel->modifiers() & Qt::ControlModifier)) return false;
  // A notch is 120; a touchpad's small steps add up to one.
  wheelRest_ += wheel->angleDelta().y();
  for (; wheelRest_ >= 120; wheelRest_ -= 120) SetTextZoomPercent(LargerTextZoom(textZoomPercent_));
  for (; wheelRest_ <= -120; wheelRest_ += 120)
    SetTextZoomPercent(SmallerTextZoom(textZoomPercent_));
  return true;
}

// --- Slower plays --------------------------------------------------------------

QList<QAction*> TfrmMain::SlowPlayActions(QObject* parent) {
  const TPlayPlan plan = spbLejatszo->isEnabled() ? dictionary_.PlanPlay() : TPlayPlan{};
  // Only what the media device plays (a sound or a MIDI piece) can slow.
  const bool playable = !plan.devicePath.isEmpty() && plan.warning.isEmpty() &&
                        plan.program.isEmpty() && plan.openWithSystem.isEmpty();
  QList<QAction*> actions;
  for (const int percent : {75, 50}) {
    auto* action =
        new QAction(QStringLiteral(u"Lejátszás lassabban (%1%-os tempóval)").arg(percent), parent);
    action->setEnabled(playable);
    connect(action, &QAction::triggered, this,
            [this, percent] { GuardHandler([this, percent] { PlaySlower(percent); }); });
    actions.append(action);
  }
  return actions;
}

void TfrmMain::PlaySlower(int speedPercent) {
  const TPlayPlan plan = dictionary_.PlanPlay();
  if (plan.devicePath.isEmpty() || !plan.program.isEmpty() || !plan.openWithSystem.isEmpty())
    return;
  MediaPlayer1->SetDeviceType(plan.handling == TMediaHandling::mhSequencer ? dtSequencer
                                                                           : dtAutoSelect);
  PlayOnDevice(plan.devicePath, speedPercent);
}

void TfrmMain::ShowPlayButtonMenu(const QPoint& pos) {
  QMenu menu(this);
  menu.addActions(SlowPlayActions(&menu));
  menu.exec(spbLejatszo->mapToGlobal(pos));
}

}  // namespace dorvem
