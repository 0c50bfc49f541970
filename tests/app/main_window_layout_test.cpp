// The window as built: names, places, captions, looks and initial states of
// every control and component.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/pictures.h"
#include "media/media_player.h"
#include "tests/app/report_recorder.h"
#include "tests/app/window_fixture.h"
#include "views/colors.h"
#include "views/db_grid.h"
#include "views/db_image.h"
#include "views/db_navigator.h"
#include "views/db_rich_edit.h"

namespace dorvem {
namespace {

using testing::ProgramFolderFixture;
using testing::ReportRecorder;

// A window whose data file is present, so that creation reports nothing.
class LayoutTest : public ::testing::Test {
 protected:
  LayoutTest() {
    folder_.WriteDataFile(ProgramFolderFixture::Dictionary({".A", ".B"}));
    window_ = std::make_unique<TfrmMain>(folder_.Options());
  }
  ProgramFolderFixture folder_;
  std::unique_ptr<TfrmMain> window_;
};

struct Placement {
  const char* name;
  const char* parent;
  QRect bounds;
  bool shown;  // visible once the window is shown
};

TEST_F(LayoutTest, EveryControlSitsOnItsParentAtItsPlace) {
  const Placement table[] = {
      {"pnlAdat", "frmMain", {0, 0, 1008, 696}, true},
      {"pnlAlso", "frmMain", {0, 696, 1008, 34}, true},
      {"grpKeres", "pnlAdat", {4, 5, 225, 68}, true},
      {"edtKeres", "grpKeres", {8, 18, 209, 24}, true},
      {"DBNavigator1", "pnlAdat", {18, 52, 184, 18}, true},
      {"grdAdat", "pnlAdat", {231, 5, 327, 236}, true},
      {"edtSzoveg", "pnlAdat", {559, 5, 449, 235}, true},
      {"imgMorvel", "pnlAdat", {19, 72, 179, 169}, true},
      {"spbKep", "pnlAdat", {200, 192, 30, 30}, true},
      {"spbLejatszo", "pnlAdat", {200, 224, 30, 30}, true},
      {"MediaPlayer1", "pnlAdat", {240, 226, 253, 25}, false},
      {"chbHang", "pnlAdat", {8, 240, 169, 17}, true},
      {"imgKep", "pnlAdat", {8, 256, 1000, 451}, true},
      {"dbiKep", "pnlAdat", {8, 256, 1000, 451}, false},
      {"btnKilep", "pnlAlso", {925, 7, 75, 25}, true},
  };
  TfrmMain& w = *window_;
  w.show();
  EXPECT_EQ(w.objectName(), "frmMain");
  for (const Placement& p : table) {
    SCOPED_TRACE(p.name);
    auto* control = w.findChild<QWidget*>(QString::fromLatin1(p.name));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parentWidget()->objectName(), QString::fromLatin1(p.parent));
    EXPECT_EQ(control->geometry(), p.bounds);
    EXPECT_EQ(control->isVisible(), p.shown);
  }
  // The navigator's four shown buttons share its width.
  for (int b = nbFirst; b <= nbLast; ++b) {
    QToolButton* button = w.DBNavigator1->Button(static_cast<TNavigateBtn>(b));
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->geometry(), QRect(46 * b, 0, 46, 18));
    EXPECT_EQ(button->toolTip(), TDBNavigator::Hint(static_cast<TNavigateBtn>(b)));
  }
  for (int b = nbInsert; b <= nbRefresh; ++b)
    EXPECT_FALSE(w.DBNavigator1->Button(static_cast<TNavigateBtn>(b))->isVisible());
  // Pictures and speed buttons lie beneath the controls with windows.
  EXPECT_EQ(w.pnlAdat->childAt(20, 72), w.grpKeres);
  EXPECT_EQ(w.pnlAdat->childAt(20, 240), w.chbHang);
}

TEST_F(LayoutTest, WindowIsFixedWithCloseBoxCaptionColoursAndFonts) {
  TfrmMain& w = *window_;
  EXPECT_EQ(w.windowTitle().toUtf8(),
            QByteArray("MORVEL zeneműkiadó kottagrafikai és zenei stúdió"));
  EXPECT_EQ(w.minimumSize(), QSize(1008, 730));
  EXPECT_EQ(w.maximumSize(), QSize(1008, 730));
  const Qt::WindowFlags flags = w.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(w.windowIcon().pixmap(32, 32).size(), QSize(32, 32));
  EXPECT_EQ(w.palette().color(QPalette::Window), kMoneyGreen);
  EXPECT_EQ(w.cursor().shape(), Qt::IBeamCursor);
  EXPECT_EQ(w.pnlAdat->cursor().shape(), Qt::ArrowCursor);

  // Each font asks for the named family first, then for its stand-ins in
  // order; which of them the machine has is the font system's business.
  const QStringList msSansSerif = {"MS Sans Serif", "Liberation Sans", "DejaVu Sans"};
  // Bold Garamond: EB Garamond's bold face lacks á, é, ő and ű.
  const QStringList garamondBold = {"Liberation Serif", "DejaVu Serif"};
  const QStringList arialCe = {"Arial CE", "Arial", "Liberation Sans", "DejaVu Sans"};
  struct FontCase {
    QWidget* widget;
    QFont font;
    QStringList families;
    int stretch;
    int pixels;
    bool bold;
  };
  const FontCase fonts[] = {
      {&w, w.font(), msSansSerif, 88, 15, false},
      {w.grpKeres, w.grpKeres->font(), msSansSerif, 88, 8, false},
      {w.edtKeres, w.edtKeres->font(), msSansSerif, 88, 15, true},
      {w.edtSzoveg, w.edtSzoveg->font(), msSansSerif, 88, 15, false},
      {w.grdAdat, w.grdAdat->Column().titleFont, garamondBold, QFont::Unstretched, 15, true},
      {w.grdAdat, w.grdAdat->font(), arialCe, QFont::Unstretched, 13, false},
      {w.chbHang, w.chbHang->font(), msSansSerif, 88, 15, false},
  };
  for (const FontCase& f : fonts) {
    SCOPED_TRACE(f.widget->objectName().toStdString() + " " + f.families[0].toStdString());
    EXPECT_EQ(f.font.families(), f.families);
    EXPECT_EQ(f.font.stretch(), f.stretch);
    EXPECT_EQ(f.font.pixelSize(), f.pixels);
    EXPECT_EQ(f.font.bold(), f.bold);
  }
  EXPECT_TRUE(w.grdAdat->Column().titleFont.underline());

  EXPECT_EQ(w.grpKeres->palette().color(QPalette::Window), kGradientActiveCaption);
  EXPECT_EQ(w.grpKeres->palette().color(QPalette::WindowText), kMaroon);
  EXPECT_EQ(w.edtKeres->palette().color(QPalette::Base), kMoneyGreen);
  EXPECT_EQ(w.edtKeres->palette().color(QPalette::Text), kNavy);
  EXPECT_EQ(w.edtSzoveg->palette().color(QPalette::Base), kMoneyGreen);
  EXPECT_EQ(w.dbiKep->Color(), kWhite);
  EXPECT_EQ(w.grdAdat->Color(), kActiveBorder);
  EXPECT_EQ(w.grdAdat->FixedColor(), kTeal);
  EXPECT_EQ(w.grdAdat->Column().titleColor, kMoneyGreen);
  EXPECT_EQ(w.grdAdat->Column().titleFontColor, kNavy);
}

TEST_F(LayoutTest, CaptionsAccessKeysAndInitialStates) {
  TfrmMain& w = *window_;
  EXPECT_EQ(w.grpKeres->title().toUtf8(), QByteArray(" Írja be a szövegmezőbe a keresendő szót!"));
  EXPECT_EQ(w.chbHang->text(), "Automatikus &gomb hang");
  EXPECT_EQ(w.btnKilep->text().toUtf8(), QByteArray("&Kilép"));
  EXPECT_EQ(w.grdAdat->Column().titleCaption.toUtf8(), QByteArray("Keresett meghatározás"));
  EXPECT_EQ(w.grdAdat->Column().fieldName, "KSZOVEG");
  EXPECT_EQ(w.grdAdat->Column().width, 311);
  EXPECT_TRUE(w.grdAdat->ReadOnly());
  const TDBGridOptions options = w.grdAdat->Options();
  for (TDBGridOption on :
       {dgTitles, dgIndicator, dgColLines, dgRowLines, dgRowSelect, dgCancelOnExit})
    EXPECT_TRUE(options & GridOption(on)) << on;
  for (TDBGridOption off : {dgEditing, dgAlwaysShowEditor, dgColumnResize, dgTabs,
                            dgAlwaysShowSelection, dgConfirmDelete, dgMultiSelect})
    EXPECT_FALSE(options & GridOption(off)) << off;

  EXPECT_TRUE(w.edtKeres->text().isEmpty());
  EXPECT_FALSE(w.spbKep->autoRaise());
  EXPECT_EQ(w.spbKep->focusPolicy(), Qt::NoFocus);
  EXPECT_TRUE(w.chbHang->isChecked());
  EXPECT_TRUE(w.edtSzoveg->isReadOnly());
  EXPECT_EQ(w.edtSzoveg->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_TRUE(w.dbiKep->ReadOnly());
  EXPECT_TRUE(w.dbiKep->Center());
  EXPECT_FALSE(w.dbiKep->Stretch());
  EXPECT_FALSE(w.MediaPlayer1->AutoRewind());
  // The large picture, decoded while the data file was opened, is there
  // once the window is made, also when opening failed.
  const QImage background = LoadPicture(kBackgroundPicture).toImage();
  ASSERT_FALSE(background.isNull());
  EXPECT_EQ(w.imgKep->pixmap().toImage(), background);
  {
    ReportRecorder recorder;
    ProgramFolderFixture noFile;
    TfrmMain closed(noFile.Options());
    EXPECT_EQ(closed.imgKep->pixmap().toImage(), background);
    EXPECT_EQ(recorder.reports.size(), 1u);
  }
  {
    // Both speed buttons start disabled and the device closed; a start-up
    // without a visible record leaves them so (with one, the entry refresh
    // sets them: entry_refresh_test.cpp).
    ProgramFolderFixture noEntries;
    noEntries.WriteDataFile(ProgramFolderFixture::Dictionary({"A"}));
    TfrmMain empty(noEntries.Options());
    EXPECT_FALSE(empty.spbKep->isEnabled());
    EXPECT_FALSE(empty.spbLejatszo->isEnabled());
    EXPECT_FALSE(empty.MediaPlayer1->IsOpen());
  }
  EXPECT_EQ(w.DBNavigator1->focusPolicy(), Qt::NoFocus);
  EXPECT_TRUE(w.DBNavigator1->ShowHint());

  // Alt+G ticks the check box off, Alt+K closes the window.
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  QTest::keyClick(&w, Qt::Key_G, Qt::AltModifier);
  QTRY_VERIFY(!w.chbHang->isChecked());
  QTest::keyClick(&w, Qt::Key_K, Qt::AltModifier);
  QTRY_VERIFY(!w.isVisible());
}

TEST_F(LayoutTest, DatasetSettingsFieldsAndLinks) {
  TfrmMain& w = *window_;
  EXPECT_EQ(w.Dictionary().tblAdat.Name(), "tblAdat");
  EXPECT_EQ(w.Dictionary().tblAdat.Filter(), "KSZOVEG='.*'");
  EXPECT_TRUE(w.Dictionary().tblAdat.Filtered());
  EXPECT_EQ(w.Dictionary().tblAdat.IndexFieldNames(), "KSZOVEG");

  struct FieldCase {
    const char* component;
    const char* column;
    TFieldType type;
    int size;
  };
  const FieldCase expected[] = {{"tblAdatFAJLNEV", "FAJLNEV", ftString, 255},
                                {"tblAdatKSZOVEG", "KSZOVEG", ftString, 40},
                                // A blob's size comes from the packet once open.
                                {"tblAdatSZOVMAGY", "SZOVMAGY", ftMemo, 0},
                                {"tblAdatGRAPHIC", "GRAPHIC", ftBlob, 0},
                                {"tblAdatIndex", "Index", ftInteger, 0}};
  ASSERT_EQ(w.Dictionary().tblAdat.Fields().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const TField* f = w.Dictionary().tblAdat.Fields()[i];
    SCOPED_TRACE(expected[i].component);
    EXPECT_EQ(f->Name(), expected[i].component);
    EXPECT_EQ(f->FieldName(), expected[i].column);
    EXPECT_EQ(f->DataType(), expected[i].type);
    if (expected[i].size) {
      EXPECT_EQ(f->Size(), expected[i].size);
    }
  }

  EXPECT_EQ(w.Dictionary().DataSource1.Name(), "DataSource1");
  EXPECT_EQ(w.Dictionary().DataSource1.DataSet(), &w.Dictionary().tblAdat);
  EXPECT_FALSE(w.Dictionary().DataSource1.AutoEdit());
  EXPECT_EQ(w.grdAdat->DataSource(), &w.Dictionary().DataSource1);
  EXPECT_EQ(w.DBNavigator1->DataSource(), &w.Dictionary().DataSource1);
  EXPECT_EQ(w.edtSzoveg->DataSource(), &w.Dictionary().DataSource1);
  EXPECT_EQ(w.edtSzoveg->DataField(), "SZOVMAGY");
  EXPECT_TRUE(w.edtSzoveg->ReadOnly());
  EXPECT_EQ(w.dbiKep->DataSource(), &w.Dictionary().DataSource1);
  EXPECT_EQ(w.dbiKep->DataField(), "GRAPHIC");
  // The open dataset resolves the views' fields.
  EXPECT_EQ(w.edtSzoveg->DataLink().Field(), &w.Dictionary().Fields[TColumnRole::crExplanation]);
  EXPECT_EQ(w.dbiKep->DataLink().Field(), &w.Dictionary().Fields[TColumnRole::crPicture]);
}

TEST_F(LayoutTest, TabVisitsTheTabStopsInOrder) {
  TfrmMain& w = *window_;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  // Hidden controls (dbiKep, MediaPlayer1) and the navigator are skipped.
  const QWidget* const cycle[] = {w.edtKeres, w.edtSzoveg, w.grdAdat,
                                  w.chbHang,  w.btnKilep,  w.edtKeres};
  EXPECT_EQ(QApplication::focusWidget(), cycle[0]);
  for (std::size_t i = 1; i < std::size(cycle); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), cycle[i]) << "step " << i;
  }
}

TEST(PicturesTest, PicturesHaveTheirSizesAndColourDepths) {
  struct PictureCase {
    const char* path;
    QSize size;
    int bits;
  };
  const PictureCase pictures[] = {
      {kLogoPicture, {179, 169}, 8}, {kBackgroundPicture, {1000, 451}, 24},
      {kWindowIcon, {32, 32}, 4},    {kScoreGlyph, {44, 22}, 4},
      {kPlayGlyph, {44, 22}, 4},     {kExitGlyph, {16, 16}, 4}};
  for (const PictureCase& p : pictures) {
    SCOPED_TRACE(p.path);
    EXPECT_EQ(LoadPicture(p.path).size(), p.size);
    QFile file(QString::fromLatin1(p.path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(30);
    ASSERT_EQ(header.size(), 30);
    EXPECT_TRUE(header.startsWith("BM"));
    EXPECT_EQ(static_cast<int>(static_cast<unsigned char>(header[28])), p.bits);
  }
  // The glyph's transparent colour is the bottom-left pixel's; the disabled
  // image is the strip's second half.
  const QIcon glyph = LoadGlyph(kPlayGlyph, 2);
  const QImage normal = glyph.pixmap(22, 22, QIcon::Normal).toImage();
  const QImage disabled = glyph.pixmap(22, 22, QIcon::Disabled).toImage();
  EXPECT_EQ(qAlpha(normal.pixel(0, 21)), 0);
  EXPECT_NE(normal, disabled);
}

}  // namespace
}  // namespace dorvem
