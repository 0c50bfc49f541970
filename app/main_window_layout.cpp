// Building the window: its own settings and every control, at its place,
// with its names, colours, fonts and initial state.
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <algorithm>

#include "app/cached_group_box.h"
#include "app/main_window.h"
#include "app/pictures.h"
#include "app/startup_trace.h"
#include "app/upper_case_edit.h"
#include "media/media_player.h"
#include "views/colors.h"
#include "views/db_grid.h"
#include "views/db_image.h"
#include "views/db_navigator.h"
#include "views/db_rich_edit.h"
#include "views/fonts.h"

namespace dorvem {

namespace {

void SetColor(QWidget* w, QPalette::ColorRole role, const QColor& color) {
  QPalette pal = w->palette();
  pal.setColor(role, color);
  w->setPalette(pal);
}

template <class Widget>
Widget* Place(Widget* w, const char* name, QRect bounds) {
  w->setObjectName(QString::fromLatin1(name));
  w->setGeometry(bounds);
  return w;
}

// A panel with a one-pixel raised bevel that shows its parent's colour.
QFrame* MakePanel(QWidget* parent, const char* name, QRect bounds) {
  auto* panel = Place(new QFrame(parent), name, bounds);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(1);
  // Only the window's bare surface shows the text cursor.
  panel->setCursor(Qt::ArrowCursor);
  return panel;
}

// A raised speed button with a two-image glyph; it never takes the focus.
QToolButton* MakeSpeedButton(QWidget* parent, const char* name, QRect bounds, const char* glyph) {
  auto* button = Place(new QToolButton(parent), name, bounds);
  button->setAutoRaise(false);
  button->setFocusPolicy(Qt::NoFocus);
  button->setIcon(LoadGlyph(glyph, 2));
  button->setIconSize(GlyphSize(glyph, 2));
  return button;
}

}  // namespace

QString TfrmMain::Caption() {
  return QStringLiteral(u"MORVEL zeneműkiadó kottagrafikai és zenei stúdió");
}

void TfrmMain::CreateWindowSettings() {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(Caption());
  // A fixed dialog frame with the system menu and the close box only.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  setWindowIcon(QIcon(LoadPicture(kWindowIcon)));
  SetColor(this, QPalette::Window, kMoneyGreen);
  setAutoFillBackground(true);
  setFont(MakeFont(MsSansSerif(), 15));
  setCursor(Qt::IBeamCursor);

  pnlAlso = MakePanel(this, "pnlAlso", {0, 696, 1008, 34});
  pnlAdat = MakePanel(this, "pnlAdat", {0, 0, 1008, 696});
}

void TfrmMain::CreateSearchControls() {
  grpKeres = Place(
      new TCachedGroupBox(QStringLiteral(u" Írja be a szövegmezőbe a keresendő szót!"), pnlAdat),
      "grpKeres", {4, 5, 225, 68});
  grpKeres->setAutoFillBackground(true);
  SetColor(grpKeres, QPalette::Window, kGradientActiveCaption);
  SetColor(grpKeres, QPalette::WindowText, kMaroon);
  grpKeres->setFont(MakeFont(MsSansSerif(), 8));

  edtKeres = Place(new TUpperCaseEdit(grpKeres), "edtKeres", {8, 18, 209, 24});
  SetColor(edtKeres, QPalette::Base, kMoneyGreen);
  SetColor(edtKeres, QPalette::Text, kNavy);
  edtKeres->setFont(MakeFont(MsSansSerif(), 15, /*bold=*/true));

  // Lies over the lower part of the search frame.
  DBNavigator1 = Place(new TDBNavigator(pnlAdat), "DBNavigator1", {18, 52, 184, 18});
  DBNavigator1->SetVisibleButtons(NavButton(nbFirst) | NavButton(nbPrior) | NavButton(nbNext) |
                                  NavButton(nbLast));
  DBNavigator1->SetShowHint(true);
  DBNavigator1->SetDataSource(&dictionary_.DataSource1);
}

void TfrmMain::CreateDataViews() {
  grdAdat = Place(new TDBGrid(pnlAdat), "grdAdat", {231, 5, 327, 236});
  grdAdat->SetDataSource(&dictionary_.DataSource1);
  TColumn& column = grdAdat->Column();
  column.fieldName = ColumnOf(TColumnRole::crHeadword).name;
  column.width = 311;
  column.alignment = Qt::AlignLeft;
  column.titleCaption = QStringLiteral(u"Keresett meghatározás");
  column.titleAlignment = Qt::AlignHCenter;
  column.titleColor = kMoneyGreen;
  column.titleFont = MakeFont(Garamond(), 15, /*bold=*/true, /*underline=*/true);
  column.titleFontColor = kNavy;
  grdAdat->setFont(MakeFont(ArialCe(), 13));
  grdAdat->SetFontColor(kBlack);
  grdAdat->SetColor(kActiveBorder);
  grdAdat->SetFixedColor(kTeal);
  grdAdat->SetOptions(GridOption(dgTitles) | GridOption(dgIndicator) | GridOption(dgColLines) |
                      GridOption(dgRowLines) | GridOption(dgRowSelect) |
                      GridOption(dgCancelOnExit));
  grdAdat->SetReadOnly(true);

  edtSzoveg = Place(new TDBRichEdit(pnlAdat), "edtSzoveg", {559, 5, 449, 235});
  edtSzoveg->SetDataSource(&dictionary_.DataSource1);
  edtSzoveg->SetDataField(ColumnOf(TColumnRole::crExplanation).name);
  edtSzoveg->SetReadOnly(true);
  edtSzoveg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  SetColor(edtSzoveg, QPalette::Base, kMoneyGreen);
  edtSzoveg->setFont(MakeFont(MsSansSerif(), 15));

  MediaPlayer1 = Place(new TMediaPlayer(pnlAdat), "MediaPlayer1", {240, 226, 253, 25});
  MediaPlayer1->SetAutoRewind(false);
  StartupPhaseDone("media device");

  chbHang = Place(new QCheckBox(QStringLiteral("Automatikus &gomb hang"), pnlAdat), "chbHang",
                  {8, 240, 169, 17});
  chbHang->setChecked(true);

  // Covers imgKep exactly when shown.
  dbiKep = Place(new TDBImage(pnlAdat), "dbiKep", {8, 256, 1000, 451});
  dbiKep->SetDataSource(&dictionary_.DataSource1);
  dbiKep->SetDataField(ColumnOf(TColumnRole::crPicture).name);
  dbiKep->SetReadOnly(true);
  dbiKep->SetColor(kWhite);
  dbiKep->setVisible(false);
}

void TfrmMain::CreatePictures() {
  imgMorvel = Place(new QLabel(pnlAdat), "imgMorvel", {19, 72, 179, 169});
  imgMorvel->setPixmap(LoadPicture(kLogoPicture));
  // Its size in the window's units, also for the twice-size picture.
  if (!imgMorvel->pixmap().isNull())
    imgMorvel->resize(imgMorvel->pixmap().deviceIndependentSize().toSize());

  spbKep = MakeSpeedButton(pnlAdat, "spbKep", {200, 192, 30, 30}, kScoreGlyph);
  spbKep->setEnabled(false);
  spbLejatszo = MakeSpeedButton(pnlAdat, "spbLejatszo", {200, 224, 30, 30}, kPlayGlyph);
  spbLejatszo->setEnabled(false);

  // The lower 11 pixels fall outside the panel and are clipped. The
  // picture is decoded while the data file is opened (ShowBackground).
  imgKep = Place(new QLabel(pnlAdat), "imgKep", {8, 256, 1000, 451});
  imgKep->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  background_ = LoadPictureImageAsync(kBackgroundPicture);

  // Pictures and speed buttons are drawn on the panel itself, beneath every
  // control that has a window of its own.
  for (QWidget* w : {static_cast<QWidget*>(imgKep), static_cast<QWidget*>(spbLejatszo),
                     static_cast<QWidget*>(spbKep), static_cast<QWidget*>(imgMorvel)})
    w->lower();
}

void TfrmMain::ShowBackground() {
  if (background_.valid()) imgKep->setPixmap(QPixmap::fromImage(background_.get()));
}

void TfrmMain::CreateBottomBar() {
  btnKilep =
      Place(new QPushButton(QStringLiteral(u"&Kilép"), pnlAlso), "btnKilep", {925, 7, 75, 25});
  btnKilep->setIcon(LoadGlyph(kExitGlyph, 1));
  btnKilep->setIconSize(GlyphSize(kExitGlyph, 1));
}

void TfrmMain::SetTabOrder() {
  // Bottom bar first (its panel has tab position 0), then the data panel's
  // controls by their tab positions; the navigator and the speed buttons are
  // no tab stops.
  QWidget* const order[] = {btnKilep, edtKeres, edtSzoveg, grdAdat, dbiKep, MediaPlayer1, chbHang};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TfrmMain::CentreOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  QRect frame(area.left() + (area.width() - kOuterWidth) / 2,
              area.top() + (area.height() - kOuterHeight) / 2, kOuterWidth, kOuterHeight);
  // Off the desktop's panels when the available area holds the window
  // (always so at the factor screen_fit.h chooses).
  const QRect free = screen->availableGeometry();
  if (!free.contains(frame) && free.width() >= kOuterWidth && free.height() >= kOuterHeight)
    frame.moveTo(std::clamp(frame.left(), free.left(), free.right() + 1 - kOuterWidth),
                 std::clamp(frame.top(), free.top(), free.bottom() + 1 - kOuterHeight));
  move(frame.topLeft());
}

}  // namespace dorvem
