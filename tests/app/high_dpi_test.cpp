// The window on a screen of twice the pixel density: every picture is there
// at twice its size and is shown from that, pixel for pixel, while the
// window keeps its designed geometry in its own units.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <cstdio>

#include "app/pictures.h"
#include "tests/app/window_fixture.h"
#include "views/nav_glyphs.h"

namespace dorvem {
namespace {

using testing::ProgramFolderFixture;

int BmpBitsPerPixel(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray header = file.read(30);
  return header.size() == 30 ? static_cast<unsigned char>(header[28]) : -1;
}

TEST(HighDpiTest, EveryPictureIsThereAtTwiceItsSizeAndDepth) {
  struct PictureCase {
    const char* path;
    const char* doubled;
    QSize size;  // designed
  };
  const PictureCase pictures[] = {
      {kLogoPicture, ":/assets/morvel_logo@2x.bmp", {179, 169}},
      {kBackgroundPicture, ":/assets/background@2x.bmp", {1000, 451}},
      {kWindowIcon, ":/assets/window_icon@2x.bmp", {32, 32}},
      {kScoreGlyph, ":/assets/glyph_score@2x.bmp", {44, 22}},
      {kPlayGlyph, ":/assets/glyph_play@2x.bmp", {44, 22}},
      {kExitGlyph, ":/assets/glyph_exit@2x.bmp", {16, 16}},
  };
  for (const PictureCase& p : pictures) {
    SCOPED_TRACE(p.path);
    ASSERT_EQ(DoubleSizePath(p.path), p.doubled);
    EXPECT_EQ(QImage(p.doubled).size(), p.size * 2);
    EXPECT_EQ(BmpBitsPerPixel(p.doubled), BmpBitsPerPixel(p.path));

    // Up to a ratio of 1.5 the designed picture, above it the doubled one;
    // both take the designed size in the window's units.
    for (qreal ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0}) {
      SCOPED_TRACE(ratio);
      const QPixmap pixmap = LoadPicture(p.path, ratio);
      const qreal expected = ratio > 1.5 ? 2 : 1;
      EXPECT_EQ(pixmap.devicePixelRatio(), expected);
      EXPECT_EQ(pixmap.size(), p.size * expected);
      EXPECT_EQ(pixmap.deviceIndependentSize(), QSizeF(p.size));
    }
  }
  EXPECT_EQ(DoubleSizePath(":/a.b/c"), ":/a.b/c@2x");
}

TEST(HighDpiTest, GlyphsGiveEachDensityItsOwnImage) {
  const QIcon glyph = LoadGlyph(kPlayGlyph, 2);
  QImage strip(QStringLiteral(":/assets/glyph_play@2x.bmp"));
  strip = strip.convertToFormat(QImage::Format_ARGB32);
  for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
    SCOPED_TRACE(mode);
    const QImage sharp = glyph.pixmap(QSize(22, 22), 2.0, mode).toImage();
    ASSERT_EQ(sharp.size(), QSize(44, 44));
    EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
    EXPECT_EQ(glyph.pixmap(QSize(22, 22), 1.0, mode).size(), QSize(22, 22));
    // Pixel for pixel the doubled strip's half, its bottom-left colour
    // made transparent.
    const QRgb key = strip.pixel(0, 43);
    const int left = mode == QIcon::Normal ? 0 : 44;
    int differing = 0;
    for (int y = 0; y < 44; ++y)
      for (int x = 0; x < 44; ++x) {
        const QRgb want =
            strip.pixel(left + x, y) == key ? qRgba(0, 0, 0, 0) : strip.pixel(left + x, y);
        if (sharp.convertToFormat(QImage::Format_ARGB32).pixel(x, y) != want) ++differing;
      }
    EXPECT_EQ(differing, 0);
  }
}

TEST(HighDpiTest, NavigatorGlyphsAreDrawnForEachDensity) {
  for (TNavigateBtn b : {nbFirst, nbPrior, nbNext, nbLast}) {
    SCOPED_TRACE(b);
    const QIcon glyph = NavigatorGlyph(b);
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
      const QImage sharp = glyph.pixmap(QSize(10, 10), 2.0, mode).toImage();
      EXPECT_EQ(sharp.size(), QSize(20, 20));
      EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
      EXPECT_EQ(glyph.pixmap(QSize(10, 10), 1.0, mode).size(), QSize(10, 10));
    }
    // The triangle's middle, at (4, 4) of the 9 x 9 symbol, is black at
    // both densities: pixels (4, 4) and (8..9, 8..9).
    const QImage plain = glyph.pixmap(QSize(10, 10), 1.0).toImage();
    const QImage sharp = glyph.pixmap(QSize(10, 10), 2.0).toImage();
    EXPECT_EQ(plain.pixel(4, 4), qRgb(0, 0, 0));
    for (QPoint at : {QPoint(8, 8), QPoint(9, 9)}) EXPECT_EQ(sharp.pixel(at), qRgb(0, 0, 0));
    EXPECT_EQ(qAlpha(sharp.pixel(0, 19)), 0);
  }
}

// The window itself at QT_SCALE_FACTOR=2 needs an application made so: the
// child test below runs in a process of its own started here, and its
// lines are shown in this test's output.
TEST(HighDpiTest, WindowAtScaleFactorTwo) {
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("DORVEM_SCALE_FACTOR_CHILD"), QStringLiteral("1"));
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=HighDpiChildTest.*")});
  ASSERT_TRUE(child.waitForFinished(60000));
  const QString output = QString::fromLocal8Bit(child.readAll());
  for (const QString& line : output.split(u'\n'))
    if (line.contains(QStringLiteral("HighDpiChildTest")))
      std::printf("child process: %s\n", qPrintable(line));
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(
      output.contains("[       OK ] HighDpiChildTest.WindowKeepsItsDesignAndShowsTheSharpPictures"))
      << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test.")) << output.toStdString();
}

// The pixels of `shot` (a grab at ratio 2) in the window's rectangle
// `area`, against `picture` from its point `from` (in its own pixels).
int DifferingPixels(const QImage& shot, QRect area, const QImage& picture, QPoint from) {
  const QImage got = shot.copy(area.x() * 2, area.y() * 2, area.width() * 2, area.height() * 2)
                         .convertToFormat(QImage::Format_RGB32);
  const QImage want = picture.copy(from.x(), from.y(), area.width() * 2, area.height() * 2)
                          .convertToFormat(QImage::Format_RGB32);
  if (got.size() != want.size()) return -1;
  int differing = 0;
  for (int y = 0; y < got.height(); ++y)
    for (int x = 0; x < got.width(); ++x)
      if (got.pixel(x, y) != want.pixel(x, y)) ++differing;
  return differing;
}

class HighDpiChildTest : public ::testing::Test {
 public:
  void TestBody() override;
};

// Registered only in the child process (DORVEM_SCALE_FACTOR_CHILD set), so
// that the suite's own list holds no test that could only skip.
[[maybe_unused]] const bool kChildRegistered = [] {
  if (qEnvironmentVariableIsEmpty("DORVEM_SCALE_FACTOR_CHILD")) return false;
  ::testing::RegisterTest("HighDpiChildTest", "WindowKeepsItsDesignAndShowsTheSharpPictures",
                          nullptr, nullptr, __FILE__, __LINE__,
                          []() -> ::testing::Test* { return new HighDpiChildTest; });
  return true;
}();

void HighDpiChildTest::TestBody() {
  ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
  ProgramFolderFixture folder;
  folder.WriteDataFile(ProgramFolderFixture::Dictionary({".A"}));
  TfrmMain w(folder.Options());
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

  // The design's geometry, in the window's units.
  EXPECT_EQ(w.size(), QSize(1008, 730));
  EXPECT_EQ(w.imgMorvel->geometry(), QRect(19, 72, 179, 169));
  EXPECT_EQ(w.imgKep->geometry(), QRect(8, 256, 1000, 451));
  EXPECT_EQ(w.spbLejatszo->geometry(), QRect(200, 224, 30, 30));
  EXPECT_EQ(w.spbLejatszo->iconSize(), QSize(22, 22));
  EXPECT_EQ(w.btnKilep->iconSize(), QSize(16, 16));

  // The screen's pixels are the doubled pictures' pixels. The logo's top
  // two rows lie under the search frame, the large picture's top under the
  // check box and its bottom beyond the panel.
  const QImage shot = w.grab().toImage();
  ASSERT_EQ(shot.size(), QSize(2016, 1460));
  EXPECT_EQ(
      DifferingPixels(shot, {19, 74, 179, 167}, QImage(":/assets/morvel_logo@2x.bmp"), {0, 4}), 0);
  EXPECT_EQ(
      DifferingPixels(shot, {8, 260, 1000, 430}, QImage(":/assets/background@2x.bmp"), {0, 8}), 0);
}

}  // namespace
}  // namespace dorvem
