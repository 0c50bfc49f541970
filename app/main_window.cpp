// Creating, showing and closing the window, and its key preview.
#include "app/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>

#include "app/error_report.h"
#include "app/startup_trace.h"
#include "app/upper_case_edit.h"
#include "dataset/host/handler_guard.h"
#include "views/db_grid.h"

namespace dorvem {

TfrmMain::TfrmMain(TDictionaryOptions options) : dictionary_(std::move(options)) {
  dictionary_.tblAdat.AfterScroll = [this](TDataSet& ds) { tblAdatAfterScroll(ds); };
  CreateWindowSettings();
  CreateSearchControls();
  StartupPhaseDone("search controls");
  CreateDataViews();
  StartupPhaseDone("data views");
  CreatePictures();
  StartupPhaseDone("pictures");
  CreateBottomBar();
  SetTabOrder();
  DescribeControls();
  InstallKeyPreview();
  ConnectHandlers();
  ConnectEverything();
  ConnectAdditions();
  CentreOnScreen();
  StartupPhaseDone("controls");
  EndStartupTraceAfterFirstPaint(grdAdat);
  // The window's own X window is made now, while the data file may still
  // be loading on the preload's thread, so that showing the window only
  // maps it. Nothing is mapped or painted before show().
  (void)winId();
  StartupPhaseDone("native window");

  // An error while the window is created is reported at once, and creation
  // carries on: the window opens with tblAdat closed.
  try {
    FormCreate();
  } catch (...) {
    ReportException(std::current_exception());
  }
  ShowBackground();
  if (chbHang->isChecked()) PrepareCueSounds();
  StartupPhaseDone("opened");
}

TfrmMain::~TfrmMain() {
  delete pnlAdat;
  delete pnlAlso;
}

void TfrmMain::FormCreate() {
  dictionary_.Open();
}

void TfrmMain::FormShow() {
  edtKeres->setFocus();
}

void TfrmMain::FormClose() {
  dictionary_.Close();
}

void TfrmMain::btnKilepClick() {
  close();
}

void TfrmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) GuardHandler([this] { FormShow(); });
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  // A failing close handler keeps the window open.
  if (GuardHandler([this] { FormClose(); }))
    event->accept();
  else
    event->ignore();
}

void TfrmMain::InstallKeyPreview() {
  // Keys go to the focused control; every control that can have the focus
  // passes its keys through the window's filter first.
  for (QWidget* w : findChildren<QWidget*>())
    if (w->focusPolicy() != Qt::NoFocus) w->installEventFilter(this);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // The key goes on to the control unless the window's handler failed.
    if (!GuardHandler([&] { FormKeyDown(key->key(), key->modifiers()); })) return true;
    // The added keys stop here, also when their action failed.
    bool added = false;
    if (!GuardHandler([&] { added = AddedKeyDown(key->key(), key->modifiers()); })) return true;
    if (added) return true;
    // The text size keys are the window's alone.
    bool zoomKey = false;
    GuardHandler([&] { zoomKey = TextZoomKey(key->key(), key->modifiers()); });
    if (zoomKey) return true;
  }
  bool zoomWheel = false;
  GuardHandler([&] { zoomWheel = TextZoomWheel(watched, event); });
  if (zoomWheel) return true;
  return QWidget::eventFilter(watched, event);
}

}  // namespace dorvem
