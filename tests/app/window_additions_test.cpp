// The window's additions: a search given from outside typed as keys would
// type it, the explanation's text size (keys, wheel, limits, kept between
// runs), the slower plays of the context menus, and the scale factor that
// fits the window on a small screen.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>
#include <QWheelEvent>

#include "app/screen_fit.h"
#include "tests/app/dictionary_window.h"
#include "tests/app/media_window.h"
#include "views/db_grid.h"
#include "views/db_rich_edit.h"

namespace dorvem {
namespace {

using testing::DictionaryWindow;
using testing::DictRow;
using testing::MciRequest;
using testing::MediaWindow;

const std::vector<std::string> kHeadwords = {".ELOSZO", "A", "AB", "ABC", "ABLAK", "B"};

// What a search leaves behind: the box, the list, and how many changes and
// entry refreshes it took.
struct Outcome {
  QString text;
  QStringList rows;
  int changes;
  int refreshes;
  bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
  return os << o.text.toStdString() << " | " << o.rows.join(u',').toStdString() << " | "
            << o.changes << " changes, " << o.refreshes << " refreshes";
}

// Starts from `before` in the box, runs `search`, and tells the outcome.
template <class Search>
Outcome RunSearch(const QString& before, Search search) {
  DictionaryWindow w(kHeadwords);
  EXPECT_TRUE(w.Show());
  w->edtKeres->setText(before);
  w.TakeAfterScrolls();
  QSignalSpy changes(w->edtKeres, &QLineEdit::textChanged);
  search(w);
  return {w->edtKeres->text(), w->grdAdat->RowTexts(), int(changes.count()), w.TakeAfterScrolls()};
}

TEST(WindowAdditionsTest, ASearchFromOutsideIsTypedAsKeysWouldTypeIt) {
  // Typed by keys over the selected text of the box.
  const Outcome typed = RunSearch(QStringLiteral("XYZ"), [](DictionaryWindow& w) {
    w->edtKeres->selectAll();
    QTest::keyClicks(w->edtKeres, QStringLiteral("abl"));
  });
  EXPECT_EQ(typed, (Outcome{QStringLiteral("ABL"), {"ABLAK"}, 3, 3 * 2}));
  const Outcome given = RunSearch(QStringLiteral("XYZ"), [](DictionaryWindow& w) {
    w->TakeSearch(QStringLiteral("abl"), false);
  });
  EXPECT_EQ(given, typed);
  // No key types a line break or a tab; an empty search changes nothing.
  EXPECT_EQ(RunSearch({}, [](DictionaryWindow& w) { w->TypeSearch(QStringLiteral("a\n\tb")); }),
            (Outcome{QStringLiteral("AB"), {"AB", "ABC", "ABLAK"}, 2, 2 * 2}));
  EXPECT_EQ(RunSearch(QStringLiteral("B"), [](DictionaryWindow& w) { w->TakeSearch({}, false); }),
            (Outcome{QStringLiteral("B"), {"B"}, 0, 0}));
}

// A window whose explanation is `memo`, keeping its settings in `settings`.
struct ZoomWindow {
  ZoomWindow(const std::string& memo, const QString& settings) {
    folder.WriteDataFile(
        testing::Encode(testing::DictionaryModel({DictRow{{}, ".A", memo, {}, 1}})));
    TDictionaryOptions options = folder.Options();
    options.settingsFile = settings.toStdString();
    window = std::make_unique<TfrmMain>(options);
    window->show();
  }
  // The point size of the explanation's first character.
  double PointSize() const {
    QTextDocument* doc = window->edtSzoveg->WholeDocument();
    return doc->begin().begin().fragment().charFormat().fontPointSize();
  }
  void Key(int key) const { QTest::keyClick(window->edtKeres, Qt::Key(key), Qt::ControlModifier); }
  void Wheel(int delta, Qt::KeyboardModifiers modifiers) const {
    QWidget* viewport = window->edtSzoveg->viewport();
    const QPointF at(10, 10);
    QWheelEvent event(at, viewport->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
  }
  testing::ProgramFolderFixture folder;
  std::unique_ptr<TfrmMain> window;
};

TEST(WindowAdditionsTest, TheTextSizeStepsStaysWithinItsLimitsAndIsKept) {
  QTemporaryDir config;
  const QString settings = config.filePath(QStringLiteral("dorvem/dorvem.conf"));
  {
    ZoomWindow z("{\\rtf1\\ansi\\fs24 Nagy}", settings);  // 12 points
    EXPECT_EQ(z.PointSize(), 12.0);
    // A wheel without Ctrl changes nothing, nor is anything written.
    z.Wheel(120, Qt::NoModifier);
    EXPECT_EQ(z.window->TextZoomPercent(), 100);
    EXPECT_FALSE(QFile::exists(settings));

    z.Key(Qt::Key_Plus);
    EXPECT_EQ(z.window->TextZoomPercent(), 110);
    EXPECT_DOUBLE_EQ(z.PointSize(), 12 * 1.1);
    z.Wheel(240, Qt::ControlModifier);  // two notches
    EXPECT_EQ(z.window->TextZoomPercent(), 150);
    for (int i = 0; i < 10; ++i) z.Key(Qt::Key_Equal);
    EXPECT_EQ(z.window->TextZoomPercent(), 300);
    EXPECT_DOUBLE_EQ(z.PointSize(), 36.0);
    z.Key(Qt::Key_0);
    EXPECT_EQ(z.PointSize(), 12.0);
    for (int i = 0; i < 10; ++i) z.Key(Qt::Key_Minus);
    EXPECT_EQ(z.window->TextZoomPercent(), 50);
    EXPECT_DOUBLE_EQ(z.PointSize(), 6.0);
    z.Wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(z.window->TextZoomPercent(), 50);
    z.window->SetTextZoomPercent(200);
  }
  // The next run starts at the size kept; plain text grows with the view's
  // font.
  ZoomWindow plain("Sima", settings);
  EXPECT_EQ(plain.window->TextZoomPercent(), 200);
  EXPECT_EQ(plain.window->edtSzoveg->WholeDocument()->defaultFont().pixelSize(),
            2 * plain.window->edtSzoveg->font().pixelSize());
  // A damaged value is no size.
  QFile file(settings);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[explanation]\ntextZoomPercent=huge\n");
  file.close();
  EXPECT_EQ(ZoomWindow("Sima", settings).window->TextZoomPercent(), 100);
}

TEST(WindowAdditionsTest, SlowerPlaysSetTheDevicesSpeedBeforePlaying) {
  MediaWindow w({{"piano.MID", ".A", "x", std::nullopt, 1}, {"v.AVI", ".B", "x", std::nullopt, 2}},
                {"Sounds/piano.MID", "Sounds/v.AVI"});
  w.window->chbHang->setChecked(false);
  w.window->Dictionary().tblAdat.GoFirst();
  w.mci.Take();
  QObject parent;
  QList<QAction*> actions = w.window->SlowPlayActions(&parent);
  ASSERT_EQ(actions.size(), 2);
  EXPECT_TRUE(actions[0]->isEnabled() && actions[1]->isEnabled());
  EXPECT_EQ(actions[1]->text(), QStringLiteral(u"Lejátszás lassabban (50%-os tempóval)"));
  actions[1]->trigger();
  std::vector<MciRequest> expected = w.OpenRequests(w.window->MediaPlayer1->OpenDeviceId(),
                                                    w.Path("Sounds/piano.MID"), "Sequencer");
  const mci::MCIDEVICEID id = w.window->MediaPlayer1->OpenDeviceId();
  expected.push_back({id, mci::MCI_SET, 0x20002, mci::MCI_SET_PARMS{w.Cb(), 0, 0, 500}});
  expected.push_back({id, mci::MCI_PLAY, 0x1, mci::MCI_PLAY_PARMS{w.Cb(), 0, 0}});
  EXPECT_EQ(w.mci.Take(), expected);
  EXPECT_TRUE(w.window->spbLejatszo->isEnabled());
  // The button's own click plays at the media's speed, as it always did.
  w.window->spbLejatszo->click();
  for (const MciRequest& r : w.mci.Take()) EXPECT_NE(r.command, mci::MCI_SET);
  // A video goes to its player: nothing to slow.
  w.window->Dictionary().tblAdat.GoNext();
  for (QAction* a : w.window->SlowPlayActions(&parent)) EXPECT_FALSE(a->isEnabled());
}

TEST(WindowAdditionsTest, TheFittingFactorIsTheLargestFiveHundredthThatFits) {
  const QSize window(1024, 768);  // the window with its frame
  // 1366 x 768 with a 32-pixel panel: 736 / 768 = 0.958, but never below
  // the design size.
  EXPECT_EQ(FittingScaleFactor(window, {1366, 736}, 1.0), 1.0);
  // 1366 x 768 at 125 %: 736 / 768 = 0.958 again, so down to 1.
  EXPECT_EQ(FittingScaleFactor(window, {1366, 736}, 1.25), 1.0);
  // 1920 x 1080 at 150 %: 1080 / 768 = 1.406.
  EXPECT_EQ(FittingScaleFactor(window, {1920, 1080}, 1.5), 1.4);
  // What fits stays, even between the steps.
  EXPECT_EQ(FittingScaleFactor(window, {1920, 1080}, 1.25), 1.25);
  EXPECT_EQ(FittingScaleFactor(window, {1024, 768}, 1.0), 1.0);
  EXPECT_EQ(FittingScaleFactor(window, {2048, 1536}, 2.0), 2.0);
  // A tiny screen: no smaller than the design size; a desktop below it
  // keeps its own factor.
  EXPECT_EQ(FittingScaleFactor(window, {320, 240}, 1.0), 1.0);
  EXPECT_EQ(FittingScaleFactor(window, {320, 240}, 0.75), 0.75);
}

}  // namespace
}  // namespace dorvem
