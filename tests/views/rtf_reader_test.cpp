// The RTF reader against hand-written documents: the text, runs and block
// formats it must produce, and what it must survive.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <string>
#include <vector>

#include "tests/views/document_description.h"
#include "views/rtf/rtf_reader.h"

namespace dorvem {
namespace {

using testing::BlockDescription;
using testing::Describe;
using testing::Runs;
using testing::Text;

struct RunCase {
  const char* name;
  std::string rtf;
  std::vector<std::string> runs;
};

void ExpectRuns(const std::vector<RunCase>& cases) {
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.name);
    QTextDocument doc;
    rtf::ReadRichText(c.rtf, doc);
    EXPECT_EQ(Runs(doc), c.runs);
  }
}

const std::string kFonts =
    "{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}{\\f1\\fswiss\\fcharset238 Arial;}"
    "{\\f2\\fnil Garamond;}}";
const std::string kColours = "{\\colortbl ;\\red128\\green0\\blue0;\\red0\\green0\\blue128;}";

TEST(RtfReaderTest, CharacterFormattingMakesRuns) {
  ExpectRuns({
      {"bold group", "{\\rtf1 a{\\b b}c}", {"a", "b{b}", "c"}},
      {"toggles", "{\\rtf1 \\b x\\b0 \\i y\\i0 z}", {"x{b}", "y{i}", "z"}},
      {"underline kinds",
       "{\\rtf1 \\ul a\\ul0 b\\ul c\\ulnone d\\uld e\\uldash f\\ulwave g\\uldb h}",
       {"a{u}", "b", "c{u}", "d", "e{u:dot}", "f{u:dash}", "g{u:wave}", "h{u}"}},
      {"strike", "{\\rtf1 \\strike a\\strike0 b}", {"a{s}", "b"}},
      {"plain resets", "{\\rtf1 \\b\\i\\ul\\fs40 a\\plain b}", {"a{20pt b i u}", "b"}},
      {"sizes", "{\\rtf1 \\fs20 a\\fs26 b\\fs0 c}", {"a{10pt}", "b{13pt}", "c"}},
      {"sub and super",
       "{\\rtf1 a\\super 2\\nosupersub b\\sub 3\\sub0 c}",
       {"a", "2{super}", "b", "3{sub}", "c"}},
      {"fonts",
       "{\\rtf1\\deff1 " + kFonts + "a\\f0 b\\f2 c\\f7 d\\plain e}",
       {"a{font=Arial}", "b{font=Times New Roman}", "c{font=Garamond}", "d", "e{font=Arial}"}},
      {"colours",
       "{\\rtf1 " + kColours + "\\cf1 a\\cf2 b\\cf0 c\\cf9 d}",
       {"a{fg=#800000}", "b{fg=#000080}", "cd"}},
      {"backgrounds",
       "{\\rtf1 " + kColours + "\\highlight1 a\\highlight0 b\\cb2 c\\cb0 d}",
       {"a{bg=#800000}", "b", "c{bg=#000080}", "d"}},
      {"hidden text", "{\\rtf1 a{\\v hidden}b}", {"ab"}},
      {"groups restore", "{\\rtf1 {\\b {\\i a}b}c}", {"a{b i}", "b{b}", "c"}},
  });
}

TEST(RtfReaderTest, ParagraphsTakeTheSettingsInForceAtTheirEnd) {
  struct Case {
    const char* name;
    std::string rtf;
    std::vector<BlockDescription> blocks;
  };
  const Case cases[] = {
      {"alignment",
       "{\\rtf1\\pard\\ql a\\par\\pard\\qc b\\par\\pard\\qr c\\par\\pard\\qj d\\par}",
       {{"", {"a"}}, {"align=center", {"b"}}, {"align=right", {"c"}}, {"align=justify", {"d"}}}},
      {"indents and spacing in twips",
       "{\\rtf1\\pard\\li720\\ri360\\fi-360\\sb120\\sa240 a\\par\\pard b}",
       {{"li=48 ri=24 fi=-24 sb=8 sa=16", {"a"}}, {"", {"b"}}}},
      {"set at the end",
       "{\\rtf1 a\\qc\\par b}",
       {{"align=center", {"a"}}, {"align=center", {"b"}}}},
      {"no empty paragraph after the last par", "{\\rtf1 a\\par}", {{"", {"a"}}}},
      {"empty paragraph between", "{\\rtf1 a\\par\\par b}", {{"", {"a"}}, {"", {}}, {"", {"b"}}}},
      {"group keeps paragraph settings",
       "{\\rtf1 {\\qc a\\par}b\\par}",
       {{"align=center", {"a"}}, {"", {"b"}}}},
      {"line, tab, section, page and backslash-newline",
       "{\\rtf1 a\\line b\\tab c\\sect d\\page e\\\nf\\\r\ng}",
       {{"", {"a|b\tc"}}, {"", {"d"}}, {"", {"e"}}, {"", {"f"}}, {"", {"g"}}}},
      {"section and page breaks after a par add no paragraph",
       "{\\rtf1 a\\par\\sect\\page b\\par\\page\\sect}",
       {{"", {"a"}}, {"", {"b"}}}},
      {"table cells and rows",
       "{\\rtf1\\trowd a\\cell b\\cell\\row c}",
       {{"", {"a\tb\t"}}, {"", {"c"}}}},
      {"line ends in the bytes are not text", "{\\rtf1 a\r\nb\nc\rd}", {{"", {"abcd"}}}},
      {"margins clamped to 22 inches",
       "{\\rtf1\\li99999999\\ri-5\\fi-99999999\\sb2147483647 a}",
       {{"li=2112 fi=-2112 sb=2112", {"a"}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTextDocument doc;
    rtf::ReadRichText(c.rtf, doc);
    EXPECT_EQ(Describe(doc), c.blocks);
  }
}

TEST(RtfReaderTest, EightBitTextIsDecodedInTheCurrentFontsCodePage) {
  ExpectRuns({
      {"ansicpg1250", "{\\rtf1\\ansi\\ansicpg1250 \\'f5\\'fb\\'d5\\'db}", {"őűŐŰ"}},
      {"default ansi is 1252", "{\\rtf1\\ansi \\'f5\\'fb}", {"õû"}},
      {"fcharset238 in a 1252 document",
       "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset238 A;}{\\f1\\fcharset0 B;}}\\f0 \\'f5\\f1 \\'f5}",
       {"ő{font=A}", "õ{font=B}"}},
      {"default font's charset",
       "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset238 A;}}\\'fb}",
       {"ű{font=A}"}},
      {"raw 8-bit bytes", "{\\rtf1\\ansi\\ansicpg1250 \xf5\xfb}", {"őű"}},
      {"cyrillic, greek, turkish, baltic",
       "{\\rtf1{\\fonttbl{\\f0\\fcharset204 C;}{\\f1\\fcharset161 G;}{\\f2\\fcharset162 T;}"
       "{\\f3\\fcharset186 L;}}\\f0\\'c0\\f1\\'e1\\f2\\'fe\\f3\\'e0}",
       {"А{font=C}", "α{font=G}", "ş{font=T}", "ą{font=L}"}},
      {"explicit font code page",
       "{\\rtf1{\\fonttbl{\\f0\\fcharset0\\fcpg1250 A;}}\\f0\\'f5}",
       {"ő{font=A}"}},
      {"font name in its code page",
       "{\\rtf1{\\fonttbl{\\f0\\fcharset238 \\'d5r;}}\\f0 x}",
       {"x{font=Őr}"}},
      {"double-byte code page",
       "{\\rtf1{\\fonttbl{\\f0\\fcharset128 J;}}\\f0\\'82\\'a0\\'82\\'a2}",
       {"あい{font=J}"}},
      {"unknown code page reads as windows-1252", "{\\rtf1\\ansicpg99999 \\'f5}", {"õ"}},
      {"default charset takes the document's code page",
       "{\\rtf1\\ansicpg1250{\\fonttbl{\\f0\\fcharset1 A;}}\\f0\\'f5}",
       {"ő{font=A}"}},
      {"symbol font bullet",
       "{\\rtf1{\\fonttbl{\\f0\\fcharset2 Symbol;}}\\f0\\'b7 a}",
       {"• α{font=Symbol}"}},
  });
}

TEST(RtfReaderTest, UnicodeCharactersSkipTheirReplacements) {
  ExpectRuns({
      {"default skip of one", "{\\rtf1 \\u337?\\u369?}", {"őű"}},
      {"hex replacement", "{\\rtf1\\uc1\\u336\\'d5x}", {"Őx"}},
      {"uc0 skips nothing", "{\\rtf1\\uc0\\u337 x}", {"őx"}},
      {"uc2", "{\\rtf1\\uc2\\u337\\'3f\\'3fx}", {"őx"}},
      {"skip within a run", "{\\rtf1\\uc2\\u337 ??rest}", {"őrest"}},
      {"a word ends the skip", "{\\rtf1\\uc3\\u337\\b x}", {"ő", "x{b}"}},
      {"a group ends the skip", "{\\rtf1\\uc3\\u337{x}}", {"őx"}},
      {"uc is kept per group", "{\\rtf1{\\uc0\\u337}\\u369?}", {"őű"}},
      {"negative values", "{\\rtf1\\u-4064?}", {"\uf020"}},
      {"surrogate pair", "{\\rtf1\\u-10179?\\u-8704?}", {"\U0001F600"}},
      {"lone surrogates", "{\\rtf1\\u-10179?x\\u-8704?}", {"\uFFFDx\uFFFD"}},
  });
}

TEST(RtfReaderTest, SymbolsStandForTheirCharacters) {
  ExpectRuns({
      {"words",
       "{\\rtf1\\bullet\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\emspace\\enspace}",
       {"•—–‘’“”\u2003\u2002"}},
      {"symbols", "{\\rtf1 \\~\\-\\_\\{\\}\\\\}", {"\u00A0\u00AD\u2011{}\\"}},
      {"unknown symbols are nothing", "{\\rtf1 a\\|\\:b}", {"ab"}},
  });
}

TEST(RtfReaderTest, DestinationsAndUnknownWords) {
  ExpectRuns({
      {"ignorable unknown destination", "{\\rtf1 a{\\*\\unknown b{c}d}e}", {"ae"}},
      {"skipped known destinations",
       "{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}"
       "{\\header H}{\\footnote F}{\\*\\generator G;}x}",
       {"x"}},
      {"field result shown, instruction not",
       "{\\rtf1{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}}",
       {"link"}},
      {"unknown words are ignored", "{\\rtf1\\foo\\bar12 a\\baz-3 b}", {"ab"}},
      {"words with capitals are words", "{\\rtf1{\\mmathPr\\mbrkBin0}a\\trftsWidth1 b}", {"ab"}},
      {"unknown destination without star shows its text", "{\\rtf1{\\unknowndest t}}", {"t"}},
      {"too long a word is unknown", "{\\rtf1 \\b" + std::string(40, 'x') + " a}", {"a"}},
      {"fallback text of numbering shown",
       "{\\rtf1{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt}x}",
       {"·\tx"}},
      {"text after the document is ignored", "{\\rtf1 a}b{\\b c}", {"a"}},
  });
}

TEST(RtfReaderTest, DamagedInputEndsCleanly) {
  ExpectRuns({
      {"truncated in a group", "{\\rtf1 a{\\b b", {"a", "b{b}"}},
      {"truncated in a word", "{\\rtf1 a\\b", {"a"}},
      {"truncated hex", "{\\rtf1 a\\'4", {"a"}},
      {"bad hex", "{\\rtf1 a\\'zzb}", {"azzb"}},
      {"backslash at the end", "{\\rtf1 a\\", {"a"}},
      {"extra closing braces", "{\\rtf1 a}}}b", {"a"}},
      {"header only", "{\\rtf", {}},
      {"truncated font table", "{\\rtf1{\\fonttbl{\\f0 Ari", {}},
      {"control characters dropped", std::string("{\\rtf1 a\x01\x00\x1f\tb}", 13), {"a\tb"}},
      {"document marks replaced",
       "{\\rtf1 \\u-560?\\u-559?\\u-4?\\u8233?}",
       {"\uFFFD\uFFFD\uFFFD|"}},
      {"huge and negative parameters",
       "{\\rtf1\\fs99999999999999999999 a\\fs-99999999999 b}",
       {"a{1638pt}", "b"}},
  });
}

TEST(RtfReaderTest, DeepNestingIsFlattenedBeyondTheLimit) {
  const int n = 100000;
  const std::string deep = "{\\rtf1 {\\b" + std::string(n, '{') + "x" + std::string(n, '}') + "}y}";
  QTextDocument doc;
  rtf::ReadRichText(deep, doc);
  EXPECT_EQ(Runs(doc), (std::vector<std::string>{"x{b}", "y"}));

  // Formatting set beyond the limit stays until the group at the limit ends.
  const std::string leak =
      "{\\rtf1 " + std::string(200, '{') + "{\\i a}b" + std::string(200, '}') + "c}";
  rtf::ReadRichText(leak, doc);
  EXPECT_EQ(Runs(doc), (std::vector<std::string>{"ab{i}", "c"}));

  // Never closed.
  rtf::ReadRichText("{\\rtf1 " + std::string(n, '{') + "z", doc);
  EXPECT_EQ(Text(doc), "z");
}

// Pictures are written by Qt's image writers in the test, and their hex
// form by hand.
std::string Hex(const QByteArray& bytes) {
  return bytes.toHex().toStdString();
}

QByteArray Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

QImage Picture() {
  QImage image(2, 3, QImage::Format_RGB32);
  image.fill(QColor(10, 200, 30));
  image.setPixelColor(1, 2, QColor(250, 0, 0));
  return image;
}

TEST(RtfReaderTest, PngAndJpegPicturesAreShownOtherKindsSkipped) {
  const std::string png = Hex(Encoded(Picture(), "png"));
  const std::string jpeg = Hex(Encoded(Picture(), "jpeg"));
  ExpectRuns({
      {"png at goal size",
       "{\\rtf1 a{\\pict\\pngblip\\picw2\\pich3\\picwgoal600\\pichgoal300 " + png + "}b}",
       {"a", "[image 40x20]", "b"}},
      {"png at natural size, scaled",
       "{\\rtf1{\\pict\\pngblip\\picscalex200\\picscaley50 " + png + "}}",
       {"[image 4x1.50]"}},
      {"jpeg", "{\\rtf1{\\pict\\jpegblip\n" + jpeg + "\n}}", {"[image 2x3]"}},
      {"binary data",
       "{\\rtf1{\\pict\\pngblip\\bin" + std::to_string(Encoded(Picture(), "png").size()) + " " +
           Encoded(Picture(), "png").toStdString() + "}x}",
       {"[image 2x3]", "x"}},
      {"wmf skipped", "{\\rtf1 a{\\pict\\wmetafile8\\picw10\\pich10 0100090000}b}", {"ab"}},
      {"emf and dib skipped", "{\\rtf1{\\pict\\emfblip 0102}{\\pict\\dibitmap0 28000000}c}", {"c"}},
      {"png kind with other data skipped", "{\\rtf1{\\pict\\pngblip 0123456789abcdef}c}", {"c"}},
      {"picture without kind skipped", "{\\rtf1{\\pict " + png + "}c}", {"c"}},
      {"shape picture shown once, fallback skipped",
       "{\\rtf1{\\*\\shppict{\\pict\\pngblip " + png + "}}{\\nonshppict{\\pict\\wmetafile8 " + png +
           "}}}",
       {"[image 2x3]"}},
      {"truncated png", "{\\rtf1{\\pict\\pngblip " + png.substr(0, png.size() / 2), {}},
  });

  // The shown picture is the decoded image, kept as a document resource.
  QTextDocument doc;
  rtf::ReadRichText("{\\rtf1{\\pict\\pngblip " + png + "}}", doc);
  const QTextFragment frag = doc.begin().begin().fragment();
  ASSERT_TRUE(frag.charFormat().isImageFormat());
  const QVariant res =
      doc.resource(QTextDocument::ImageResource, QUrl(frag.charFormat().toImageFormat().name()));
  const QImage shown = res.value<QImage>().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown, Picture());
}

TEST(RtfReaderTest, PicturesBeyondThePixelLimitAreNotShown) {
  // 4100 x 4100 is just over the limit of 4096 x 4096 pixels; the image
  // readers would decode it (one bit a pixel, 2 MB).
  QImage big(4100, 4100, QImage::Format_Mono);
  big.fill(1);
  QImage small(4000, 4000, QImage::Format_Mono);
  small.fill(1);
  QTextDocument doc;
  rtf::ReadRichText("{\\rtf1{\\pict\\pngblip " + Hex(Encoded(big, "png")) + "}x}", doc);
  EXPECT_EQ(Runs(doc), (std::vector<std::string>{"x"}));
  rtf::ReadRichText("{\\rtf1{\\pict\\pngblip " + Hex(Encoded(small, "png")) + "}x}", doc);
  EXPECT_EQ(Runs(doc), (std::vector<std::string>{"[image 4000x4000]", "x"}));
}

TEST(RtfReaderTest, APngWhoseChunkClaimsMoreThanItHoldsIsNotShown) {
  // A text chunk after the header that claims 2,097,152,037 bytes: libpng
  // would ask for that much memory before finding the bytes missing.
  const QByteArray png = Encoded(Picture(), "png");
  const QByteArray lying = png.left(33) + QByteArray("\x7D\x00\x00\x25tEXtdate", 12) + png.mid(33);
  // The process's peak resident memory must not jump by the claimed size.
  const auto peakKb = [] {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
  };
  const long before = peakKb();
  QTextDocument doc;
  rtf::ReadRichText(
      "{\\rtf1{\\pict\\pngblip " + Hex(lying) + "}x{\\pict\\pngblip " + Hex(png) + "}}", doc);
  EXPECT_EQ(Runs(doc), (std::vector<std::string>{"x", "[image 2x3]"}));
  EXPECT_LT(peakKb() - before, 256 * 1024);
}

TEST(RtfReaderTest, ReplacesWhatTheDocumentHeldAndKeepsItsDefaultFont) {
  QTextDocument doc;
  QFont font(QStringLiteral("Some Family"));
  font.setPixelSize(15);
  doc.setDefaultFont(font);
  doc.setPlainText(QStringLiteral("old\ntext"));
  rtf::ReadRichText("{\\rtf1 new}", doc);
  EXPECT_EQ(Text(doc), "new");
  EXPECT_EQ(doc.defaultFont().family(), QStringLiteral("Some Family"));
  EXPECT_EQ(doc.defaultFont().pixelSize(), 15);
}

TEST(RtfReaderTest, OnlyBytesBeginningWithTheHeaderAreRichText) {
  EXPECT_TRUE(rtf::IsRichText("{\\rtf1 x}"));
  EXPECT_TRUE(rtf::IsRichText("{\\rtf"));
  EXPECT_FALSE(rtf::IsRichText(" {\\rtf1 x}"));
  EXPECT_FALSE(rtf::IsRichText("\xEF\xBB\xBF{\\rtf1 x}"));
  EXPECT_FALSE(rtf::IsRichText("{\\RTF1 x}"));
  EXPECT_FALSE(rtf::IsRichText("{\\rt"));
  EXPECT_FALSE(rtf::IsRichText(""));
}

}  // namespace
}  // namespace dorvem
