// The picture view dbiKep on crafted entries: which blobs load, which fail
// and how a failure ends the move, the pixels of every depth and header
// kind, where the picture lands in the view, and the view's keys.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <optional>

#include "tests/app/bmp_writer.h"
#include "tests/app/dictionary_window.h"
#include "tests/app/report_recorder.h"
#include "views/db_grid.h"
#include "views/db_image.h"
#include "views/picture/picture_blob.h"

namespace dorvem {
namespace {

using testing::BmpEncoding;
using testing::DictionaryWindow;
using testing::DictRow;
using testing::EncodeBmp;
using testing::Gradient;
using testing::Pattern;
using testing::ReportRecorder;
using testing::RgbPicture;
using testing::WithGraphicHeader;

const QString kNotValid = QStringLiteral("Bitmap image is not valid.");
const QString kReadError = QStringLiteral("Stream read error.");

const std::vector<std::uint32_t> kColours = {0x102030, 0xF0E0D0, 0x808000, 0x00FF00, 0x0000FF,
                                             0xFF0000, 0x404040, 0xC0C0C0, 0x800080, 0x008080,
                                             0xFFFF00, 0x203040, 0x506070, 0xA0B0C0};

// Headwords ".P01", ".P02", ... in table order, all passing the start-up
// filter.
std::string Headword(std::size_t i) {
  return ".P" + std::to_string(100 + i).substr(1);
}

// One entry per blob, the first one without a picture.
std::vector<DictRow> Entries(const std::vector<std::optional<std::string>>& blobs) {
  std::vector<DictRow> rows;
  rows.push_back({std::nullopt, Headword(0), std::nullopt, std::nullopt, 0});
  for (std::size_t i = 0; i < blobs.size(); ++i)
    rows.push_back(
        {std::nullopt, Headword(i + 1), std::nullopt, blobs[i], static_cast<std::int32_t>(i + 1)});
  return rows;
}

// The next entry, as the user reaches it: Down in the grid.
void Down(DictionaryWindow& w) {
  QTest::keyClick(w->grdAdat, Qt::Key_Down);
}

std::string Bytes(const QByteArray& a) {
  return std::string(a.constData(), static_cast<std::size_t>(a.size()));
}

std::string Written(const char* format) {
  QImage image(4, 3, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter(&buffer, format).write(image);
  return Bytes(bytes);
}

// A 1 x 1 GIF: header, screen descriptor with a 2-colour table, one image
// of LZW minimum code size 2 (clear, index 0, end), trailer.
std::string Gif() {
  static const unsigned char bytes[] = {'G', 'I',  'F',  '8',  '9', 'a', 1, 0,    1,    0, 0x80, 0,
                                        0,   0xFF, 0xFF, 0xFF, 0,   0,   0, 0x2C, 0,    0, 0,    0,
                                        1,   0,    1,    0,    0,   2,   2, 0x44, 0x01, 0, 0x3B};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string Bmp(const RgbPicture& p, BmpEncoding e) {
  return EncodeBmp(p, e);
}

// Differences between a shown picture and the expected colours, at most a
// few, as text ("" when they agree).
std::string Compare(const QImage& shown, const RgbPicture& expected) {
  if (shown.width() != expected.width || shown.height() != expected.height)
    return "size " + std::to_string(shown.width()) + "x" + std::to_string(shown.height());
  std::string diffs;
  int count = 0;
  for (int y = 0; y < expected.height; ++y)
    for (int x = 0; x < expected.width; ++x) {
      const std::uint32_t got = shown.pixel(x, y) & 0xFFFFFF;
      if (got != expected.At(x, y) && ++count <= 4)
        diffs += "(" + std::to_string(x) + "," + std::to_string(y) + ") " +
                 QString::number(got, 16).toStdString() + " ";
    }
  return diffs;
}

// --- Which blobs load ------------------------------------------------------

TEST(PictureViewTest, BlobsLoadOrFailWithTheirErrorAndFailuresSkipAfterScroll) {
  const RgbPicture small = Pattern(5, 3, kColours);
  const std::string bmp = Bmp(small, {});
  const std::string bmp8 = Bmp(small, {.bits = 8});
  const std::string bmp16 = Bmp(small, {.bits = 16, .kind = BmpEncoding::kBitFields});
  std::string planes2 = bmp;
  testing::Put16(planes2, 26, 2);
  std::string header20 = bmp;
  testing::Put32(header20, 14, 20);
  std::string jpegInBmp = bmp;
  testing::Put32(jpegInBmp, 30, 4);
  std::string notBm = bmp;
  notBm[1] = 'A';
  const std::string header = WithGraphicHeader(bmp).substr(0, 8);
  const auto size = static_cast<std::uint32_t>(bmp.size());

  struct Case {
    const char* name;
    std::optional<std::string> blob;
    QString report;  // empty: none
    QSize size;      // of the picture; 0 x 0: none
  };
  const QSize none(0, 0);
  const QSize shown(5, 3);
  const std::vector<Case> cases = {
      {"graphic header with the right size", WithGraphicHeader(bmp), {}, shown},
      {"graphic header with a size too small", WithGraphicHeader(bmp, size - 1), kNotValid, none},
      {"graphic header with a size too large", WithGraphicHeader(bmp, size + 1), kNotValid, none},
      {"graphic header and nothing after it", WithGraphicHeader(""), {}, none},
      {"no graphic header", bmp, {}, shown},
      {"empty blob (stored as null)", "", {}, none},
      {"null blob", std::nullopt, {}, none},
      {"1 byte", bmp.substr(0, 1), kReadError, none},
      {"2 bytes", bmp.substr(0, 2), kReadError, none},
      {"3 bytes", header.substr(0, 3), kReadError, none},
      {"4 bytes", bmp.substr(0, 4), kReadError, none},
      {"5 bytes", header.substr(0, 5), kReadError, none},
      {"6 bytes", bmp.substr(0, 6), kReadError, none},
      {"7 bytes", header.substr(0, 7), kReadError, none},
      {"13 bytes", bmp.substr(0, 13), kReadError, none},
      {"file header only", bmp.substr(0, 14), kReadError, none},
      {"information header cut short", bmp.substr(0, 14 + 39), kReadError, none},
      {"bit-field masks cut short", bmp16.substr(0, 14 + 40 + 11), kReadError, none},
      {"colour table cut short", bmp8.substr(0, 14 + 40 + 8), kReadError, none},
      {"JPEG", Written("JPG"), kNotValid, none},
      {"GIF", Gif(), kNotValid, none},
      {"PNG", Written("PNG"), kNotValid, none},
      {"not BM", notBm, kNotValid, none},
      {"two planes", planes2, kNotValid, none},
      {"a 20-byte header", header20, kNotValid, none},
      {"JPEG compression", jpegInBmp, kNotValid, none},
      {"compressed rows top-down",
       Bmp(small, {.bits = 8, .kind = BmpEncoding::kRle8, .topDown = true}), kNotValid, none},
      {"pixel rows cut short", bmp.substr(0, bmp.size() - 20), {}, shown},
  };
  std::vector<std::optional<std::string>> blobs;
  for (const Case& c : cases) blobs.push_back(c.blob);
  ReportRecorder recorder;
  DictionaryWindow w(Entries(blobs));
  ASSERT_TRUE(w.Show());
  EXPECT_TRUE(recorder.reports.empty());

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    recorder.reports.clear();
    w.TakeAfterScrolls();
    Down(w);
    EXPECT_EQ(recorder.Texts(), c.report.isEmpty() ? QStringList() : QStringList(c.report));
    for (const ErrorReportBox& box : recorder.reports) EXPECT_EQ(box.title, ApplicationTitle());
    // A failed load ends the move before AfterScroll; the move itself stays.
    EXPECT_EQ(w.TakeAfterScrolls(), c.report.isEmpty() ? 1 : 0);
    EXPECT_EQ(w.Current(), Headword(static_cast<std::size_t>(&c - cases.data()) + 1));
    EXPECT_EQ(w->dbiKep->Picture().size(), c.size);
    EXPECT_TRUE(w->dbiKep->PictureLoaded());
  }
}

// A failing picture of the first entry ends the opening itself: reported
// once while the window is made, AfterScroll skipped, the dataset open.
TEST(PictureViewTest, FailureWhileOpeningIsReportedOnce) {
  const std::string bmp = Bmp(Pattern(5, 3, kColours), {});
  ReportRecorder recorder;
  DictionaryWindow w(std::vector<DictRow>{
      {std::nullopt, ".A", std::nullopt, bmp.substr(0, 5), 1},
      {std::nullopt, ".B", std::nullopt, bmp, 2},
  });
  EXPECT_EQ(recorder.Texts(), QStringList(kReadError));
  EXPECT_TRUE(w->Dictionary().tblAdat.Active());
  EXPECT_TRUE(w->dbiKep->Picture().isNull());
  EXPECT_TRUE(w->dbiKep->isHidden());
  ASSERT_TRUE(w.Show());
  Down(w);
  EXPECT_EQ(recorder.reports.size(), 1u);
  EXPECT_EQ(w.TakeAfterScrolls(), 1);
  EXPECT_EQ(w->dbiKep->Picture().size(), QSize(5, 3));
  EXPECT_FALSE(w->dbiKep->isHidden());
}

// --- Pixels ------------------------------------------------------------------

TEST(PictureViewTest, EveryDepthAndHeaderKindShowsItsColours) {
  // Runs of equal colours, for the run-length case.
  RgbPicture bands{12, 4, {}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 12; ++x) bands.pixels.push_back(kColours[(x / 5 + y) % 4]);
  const RgbPicture gradient = Gradient(7, 5);
  auto cut16 = [](RgbPicture p, bool green6) {
    for (std::uint32_t& c : p.pixels) c = testing::Cut16(c, green6);
    return p;
  };
  // Bytes cut from the end of the rows or moved behind a gap.
  auto cutRows = [](std::string file, std::size_t keep) {
    const std::uint32_t offset =
        static_cast<unsigned char>(file[10]) | static_cast<unsigned char>(file[11]) << 8;
    return file.substr(0, offset + keep);
  };
  auto withGap = [](std::string file) {
    const std::size_t offset = static_cast<unsigned char>(file[10]);
    file.insert(offset, "GAP\x01\x02\x03");
    testing::Put32(file, 10, static_cast<std::uint32_t>(offset + 6));
    return file;
  };
  auto withOffset = [](std::string file, std::uint32_t offset) {
    testing::Put32(file, 10, offset);
    return file;
  };
  // What rows cut short show: the stored bottom row whole, then one pixel
  // of the row above it, the rest as stored zeros (black; colour index 0,
  // the first colour of the picture, for indexed depths).
  auto partly = [](const RgbPicture& p, int rows, int pixels, std::uint32_t zero) {
    RgbPicture q = p;
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) {
        const int stored = p.height - 1 - y;  // bottom-up
        if (stored > rows || (stored == rows && x >= pixels))
          q.pixels[static_cast<std::size_t>(y * p.width + x)] = zero;
      }
    return q;
  };

  struct Case {
    const char* name;
    std::string file;
    RgbPicture expected;
  };
  const RgbPicture two = Pattern(9, 3, {0x102030, 0xF0E0D0});
  const RgbPicture tall = Pattern(3, 33000, {0x102030, 0xF0E0D0});
  const RgbPicture sixteen = Pattern(5, 3, {kColours.begin(), kColours.begin() + 12});
  const std::vector<Case> cases = {
      {"1 bit, 9 pixels a row", Bmp(two, {.bits = 1}), two},
      {"4 bits", Bmp(sixteen, {.bits = 4}), sixteen},
      {"8 bits", Bmp(gradient, {.bits = 8}), gradient},
      {"16 bits 5-5-5", Bmp(gradient, {.bits = 16}), cut16(gradient, false)},
      {"16 bits 5-6-5 bit fields", Bmp(gradient, {.bits = 16, .kind = BmpEncoding::kBitFields}),
       cut16(gradient, true)},
      {"24 bits", Bmp(gradient, {}), gradient},
      {"32 bits", Bmp(gradient, {.bits = 32}), gradient},
      {"32 bits bit fields", Bmp(gradient, {.bits = 32, .kind = BmpEncoding::kBitFields}),
       gradient},
      {"core header, 4 bits", Bmp(sixteen, {.bits = 4, .coreHeader = true}), sixteen},
      {"core header, 8 bits", Bmp(gradient, {.bits = 8, .coreHeader = true}), gradient},
      {"core header, 24 bits", Bmp(gradient, {.coreHeader = true}), gradient},
      // A core header's sizes are unsigned: 33000 rows, not -32536.
      {"core header, 33000 rows", Bmp(tall, {.bits = 1, .coreHeader = true}), tall},
      {"top-down, 24 bits", Bmp(gradient, {.topDown = true}), gradient},
      {"top-down, 8 bits", Bmp(gradient, {.bits = 8, .topDown = true}), gradient},
      {"RLE8", Bmp(bands, {.bits = 8, .kind = BmpEncoding::kRle8}), bands},
      {"RLE8 cut after its first row",
       cutRows(Bmp(bands, {.bits = 8, .kind = BmpEncoding::kRle8}), 3 * 2 + 2),
       partly(bands, 1, 0, bands.At(0, 0))},
      {"24 bits cut short", cutRows(Bmp(gradient, {}), 24 + 3), partly(gradient, 1, 1, 0)},
      {"8 bits cut short", cutRows(Bmp(gradient, {.bits = 8}), 8 + 1),
       partly(gradient, 1, 1, gradient.At(0, 0))},
      {"pixels behind a gap", withGap(Bmp(gradient, {})), gradient},
      {"pixel offset 0: right after the colour table", withOffset(Bmp(gradient, {.bits = 8}), 0),
       gradient},
      {"pixel offset beyond the end", withOffset(Bmp(gradient, {}), 100000),
       partly(gradient, 0, 0, 0)},
  };
  std::vector<std::optional<std::string>> blobs;
  for (const Case& c : cases) blobs.push_back(c.file);
  DictionaryWindow w(Entries(blobs));
  ASSERT_TRUE(w.Show());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Down(w);
    EXPECT_EQ(Compare(w->dbiKep->Picture(), c.expected), "");
  }
}

// The image reader refuses images above its allocation limit, counted at 4
// bytes a pixel whatever the depth; such a picture is not valid, without
// its rows being made up first.
TEST(PictureViewTest, PicturesAboveTheReaderLimitAreNotValid) {
  struct Case {
    std::int32_t width, height;
    TBitmapCheck outcome;
  };
  const Case cases[] = {
      {512, 512, TBitmapCheck::kOk},  // 1 MB at 4 bytes a pixel
      {512, 513, TBitmapCheck::kNotValid},
      {30000, 30000, TBitmapCheck::kNotValid},
      {1, 0x7FFFFFFF, TBitmapCheck::kNotValid},
  };
  const int limit = QImageReader::allocationLimit();
  QImageReader::setAllocationLimit(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    // A 1-bit picture: its stored rows are a 32nd of the limit.
    std::string file = Bmp(Pattern(8, 1, {0x000000, 0xFFFFFF}), {.bits = 1});
    testing::Put32(file, 18, static_cast<std::uint32_t>(c.width));
    testing::Put32(file, 22, static_cast<std::uint32_t>(c.height));
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file.data()),
                                              file.size());
    const TPictureLoad load = DecodePictureBlob(bytes);
    EXPECT_EQ(load.outcome, c.outcome);
    EXPECT_EQ(load.image.size(),
              c.outcome == TBitmapCheck::kOk ? QSize(c.width, c.height) : QSize(0, 0));
  }
  QImageReader::setAllocationLimit(limit);
}

// --- Where the picture lands ---------------------------------------------------

TEST(PictureViewTest, PictureIsCentredWithTruncatingDivisionOnWhite) {
  struct Case {
    QSize size;
    QPoint origin;  // of the picture within the client area
  };
  // The client area is 1000 x 451 less the 2-pixel edge: 996 x 447.
  const Case cases[] = {
      {{996, 447}, {0, 0}},       // fills it
      {{11, 7}, {492, 220}},      // centred
      {{10, 8}, {493, 219}},      // (996 - 10) / 2, (447 - 8) / 2
      {{1001, 452}, {-2, -2}},    // cut: 2 on the left and top, 3 on the right and bottom
      {{999, 450}, {-1, -1}},     // -3 / 2 truncates to -1
      {{1200, 30}, {-102, 208}},  // wider only
  };
  std::vector<std::optional<std::string>> blobs;
  for (const Case& c : cases) blobs.push_back(Bmp(Gradient(c.size.width(), c.size.height()), {}));
  DictionaryWindow w(Entries(blobs));
  ASSERT_TRUE(w.Show());
  TDBImage& view = *w->dbiKep;
  EXPECT_EQ(view.contentsRect(), QRect(2, 2, 996, 447));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size.width());
    Down(w);
    ASSERT_TRUE(view.isVisible());
    const RgbPicture expected = Gradient(c.size.width(), c.size.height());
    const QImage grabbed = view.grab().toImage();
    // Every client pixel: the picture's where it covers, white elsewhere.
    int wrong = 0;
    for (int y = 0; y < 447; ++y)
      for (int x = 0; x < 996; ++x) {
        const int px = x - c.origin.x();
        const int py = y - c.origin.y();
        const bool covered = px >= 0 && py >= 0 && px < c.size.width() && py < c.size.height();
        const std::uint32_t want = covered ? expected.At(px, py) : 0xFFFFFF;
        if ((grabbed.pixel(2 + x, 2 + y) & 0xFFFFFF) != want && ++wrong <= 3)
          ADD_FAILURE() << "pixel " << x << "," << y;
      }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(PictureViewTest, FocusFrameRunsInsideTheEdgeWhileFocused) {
  DictionaryWindow w(Entries({Bmp(Gradient(996, 447), {})}));
  ASSERT_TRUE(w.Show());
  Down(w);
  TDBImage& view = *w->dbiKep;
  const QRgb frame = qRgb(100, 100, 100);
  // Client corners and edge middles, and the pixels just inside them.
  const QPoint edge[] = {{2, 2}, {997, 2}, {2, 448}, {997, 448}, {500, 2}, {2, 200}};
  QImage grabbed = view.grab().toImage();
  for (QPoint p : edge) EXPECT_NE(grabbed.pixel(p), frame) << p.x() << "," << p.y();

  QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(300, 300));
  ASSERT_TRUE(view.hasFocus());
  grabbed = view.grab().toImage();
  for (QPoint p : edge) EXPECT_EQ(grabbed.pixel(p), frame) << p.x() << "," << p.y();
  const RgbPicture expected = Gradient(996, 447);
  EXPECT_EQ(grabbed.pixel(3, 3) & 0xFFFFFF, expected.At(1, 1));
  EXPECT_EQ(grabbed.pixel(996, 447) & 0xFFFFFF, expected.At(994, 445));
}

// --- Keys and visibility -----------------------------------------------------------

TEST(PictureViewTest, CopyKeysPutThePictureOnTheClipboardAndEditingKeysDoNothing) {
  const RgbPicture picture = Gradient(6, 4);
  DictionaryWindow w(Entries({Bmp(picture, {}), ""}));
  ASSERT_TRUE(w.Show());
  Down(w);
  TDBImage& view = *w->dbiKep;
  view.setFocus();
  QClipboard& clipboard = *QGuiApplication::clipboard();
  struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    bool copies;
  };
  const Key keys[] = {
      {Qt::Key_C, Qt::ControlModifier, true},  {Qt::Key_Insert, Qt::ControlModifier, true},
      {Qt::Key_X, Qt::ControlModifier, false}, {Qt::Key_Delete, Qt::ShiftModifier, false},
      {Qt::Key_V, Qt::ControlModifier, false}, {Qt::Key_Insert, Qt::ShiftModifier, false},
      {Qt::Key_Escape, Qt::NoModifier, false}, {Qt::Key_Delete, Qt::NoModifier, false},
      {Qt::Key_C, Qt::NoModifier, false},
  };
  for (const Key& k : keys) {
    SCOPED_TRACE(QKeySequence(k.key | k.mods).toString().toStdString());
    clipboard.setText(QStringLiteral("before"));
    w.TakeAfterScrolls();
    QTest::keyClick(&view, k.key, k.mods);
    if (k.copies)
      EXPECT_EQ(Compare(clipboard.image(), picture), "");
    else
      EXPECT_EQ(clipboard.text(), QStringLiteral("before"));
    EXPECT_EQ(Compare(view.Picture(), picture), "");
    EXPECT_EQ(w.Current(), Headword(1));
    EXPECT_EQ(w.TakeAfterScrolls(), 0);
  }
  // An empty picture copies nothing.
  Down(w);
  ASSERT_TRUE(view.Picture().isNull());
  clipboard.setText(QStringLiteral("before"));
  view.setFocus();
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard.text(), QStringLiteral("before"));
}

TEST(PictureViewTest, EnterAndDoubleClickLoadWhenNotAutoDisplayed) {
  const std::string bad = Bmp(Pattern(4, 2, kColours), {}).substr(0, 10);
  DictionaryWindow w(Entries({Bmp(Gradient(6, 4), {}), Bmp(Gradient(3, 2), {}), bad}));
  ASSERT_TRUE(w.Show());
  TDBImage& view = *w->dbiKep;
  view.SetAutoDisplay(false);
  Down(w);
  EXPECT_FALSE(view.PictureLoaded());
  EXPECT_TRUE(view.Picture().isNull());
  view.setFocus();
  QTest::keyClick(&view, Qt::Key_Return);
  EXPECT_TRUE(view.PictureLoaded());
  EXPECT_EQ(view.Picture().size(), QSize(6, 4));

  Down(w);
  EXPECT_FALSE(view.PictureLoaded());
  QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_EQ(view.Picture().size(), QSize(3, 2));

  // Loading by hand reports its error like any handler; the move went by.
  Down(w);
  ReportRecorder recorder;
  QTest::keyClick(&view, Qt::Key_Enter);
  EXPECT_EQ(recorder.Texts(), QStringList(kReadError));
  EXPECT_TRUE(view.PictureLoaded());
  QTest::keyClick(&view, Qt::Key_Enter);  // loaded: nothing more
  EXPECT_EQ(recorder.reports.size(), 1u);
}

TEST(PictureViewTest, ShownExactlyWhenTheEntryHasAPicture) {
  const std::string bmp = Bmp(Gradient(6, 4), {});
  ReportRecorder recorder;
  DictionaryWindow w(Entries({bmp, WithGraphicHeader(""), "", bmp.substr(0, 3), bmp}));
  ASSERT_TRUE(w.Show());
  TDBImage& view = *w->dbiKep;
  struct Step {
    bool hidden;
    QSize picture;
    QStringList reports;
  };
  const Step steps[] = {
      {false, {6, 4}, {}},
      {false, {0, 0}, {}},  // a picture of no bytes: a white area
      {true, {0, 0}, {}},   // an empty blob is stored as null
      // The failing entry skips the refresh: the view stays hidden.
      {true, {0, 0}, {kReadError}},
      {false, {6, 4}, {}},
  };
  EXPECT_TRUE(view.isHidden());  // the first entry has none
  for (const Step& s : steps) {
    SCOPED_TRACE(&s - steps);
    recorder.reports.clear();
    Down(w);
    EXPECT_EQ(view.isHidden(), s.hidden);
    EXPECT_EQ(view.Picture().size(), s.picture);
    EXPECT_EQ(recorder.Texts(), s.reports);
  }
  EXPECT_FALSE(w->imgKep->isHidden());  // beneath it

  // An empty result and a closed dataset show no picture.
  w->Dictionary().tblAdat.SetFilter("KSZOVEG='Z*'");
  EXPECT_TRUE(view.isHidden());
  EXPECT_TRUE(view.Picture().isNull());
  w->Dictionary().tblAdat.SetFilter("KSZOVEG='.*'");
  Down(w);
  EXPECT_FALSE(view.Picture().isNull());
  w->Dictionary().tblAdat.Close();
  EXPECT_TRUE(view.Picture().isNull());
}

}  // namespace
}  // namespace dorvem
