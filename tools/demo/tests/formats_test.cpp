// File formats written by the demo builder: bitmaps, sounds, MIDI, video, score documents.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "audio_files.h"
#include "avi.h"
#include "bmp.h"
#include "midi.h"
#include "pdf.h"
#include "pictures.h"

namespace demo {
namespace {

uint32_t U16(const std::string& s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8;
}
uint32_t U32(const std::string& s, size_t at) {
  return U16(s, at) | U16(s, at + 2) << 16;
}
uint32_t Be32(const std::string& s, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(s[at])) << 24 |
         static_cast<uint8_t>(s[at + 1]) << 16 | static_cast<uint8_t>(s[at + 2]) << 8 |
         static_cast<uint8_t>(s[at + 3]);
}

TEST(Bitmap, HeadersDescribeTheRowsThatFollow) {
  Canvas c(5, 3, {10, 20, 30});
  const std::string tc = EncodeBmp(c, BmpKind::kTrueColor);
  EXPECT_EQ(tc.substr(0, 2), "BM");
  EXPECT_EQ(U32(tc, 2), tc.size());
  EXPECT_EQ(U32(tc, 10), 54u);
  EXPECT_EQ(U32(tc, 18), 5u);
  EXPECT_EQ(U32(tc, 22), 3u);
  EXPECT_EQ(U16(tc, 26), 1u);                   // planes
  EXPECT_EQ(U16(tc, 28), 24u);                  // bits per pixel
  EXPECT_EQ(tc.size(), 54u + 3 * 16);           // 15 bytes a row padded to 16
  EXPECT_EQ(static_cast<uint8_t>(tc[54]), 30);  // blue first

  const std::string pal = EncodeBmp(c, BmpKind::kPalette);
  EXPECT_EQ(U16(pal, 28), 8u);
  EXPECT_EQ(U32(pal, 10), 54u + 1024);
  EXPECT_EQ(pal.size(), 54u + 1024 + 3 * 8);
}

TEST(Bitmap, GraphicHeaderCarriesTheBitmapLength) {
  const std::string bmp = EncodeBmp(Canvas(2, 2, {}), BmpKind::kTrueColor);
  const std::string blob = WithGraphicHeader(bmp);
  EXPECT_EQ(U16(blob, 0), 1u);
  EXPECT_EQ(U16(blob, 2), 0x0100u);
  EXPECT_EQ(U32(blob, 4), blob.size() - 8);
  EXPECT_EQ(blob.substr(8), bmp);
}

TEST(Pictures, EveryPictureFitsThePictureAreaAndIsAValidBlob) {
  int palette = 0;
  int true_color = 0;
  int with_header = 0;
  for (const PictureDef& pic : PictureCatalogue()) {
    SCOPED_TRACE(pic.name);
    EXPECT_LE(pic.width, 996);
    EXPECT_LE(pic.height, 447);
    const std::string blob = RenderPicture(pic.name);
    const size_t start = pic.graphic_header ? 8 : 0;
    if (pic.graphic_header) {
      EXPECT_EQ(U32(blob, 4), blob.size() - 8);
    }
    EXPECT_EQ(blob.substr(start, 2), "BM");
    EXPECT_EQ(U32(blob, start + 2), blob.size() - start);
    palette += pic.kind == BmpKind::kPalette;
    true_color += pic.kind == BmpKind::kTrueColor;
    with_header += pic.graphic_header;
  }
  EXPECT_GE(PictureCatalogue().size(), 30u);
  EXPECT_GT(palette, 0);
  EXPECT_GT(true_color, 0);
  EXPECT_GT(with_header, 0);
  EXPECT_THROW(RenderPicture("nincs_ilyen"), std::runtime_error);
}

TEST(Sound, WavHeaderMatchesTheSamples) {
  const std::string wav = EncodeWav({0.0f, 0.5f, -1.0f, 2.0f}, 22050);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(U32(wav, 4), wav.size() - 8);
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(U32(wav, 24), 22050u);
  EXPECT_EQ(U32(wav, 40), 8u);      // four 16-bit samples
  EXPECT_EQ(U16(wav, 50), 32767u);  // clipped to full scale, not wrapped
}

TEST(Sound, Mp3StartsWithAFrameHeader) {
  const std::string mp3 = EncodeMp3(std::vector<float>(22050, 0.1f), 22050);
  ASSERT_GT(mp3.size(), 100u);
  EXPECT_EQ(static_cast<uint8_t>(mp3[0]), 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(mp3[1]) & 0xE0, 0xE0);  // frame sync
  EXPECT_NE(mp3.substr(0, 3), "ID3");
}

TEST(Midi, ChunksAreConsistentInBothFormats) {
  Tune t;
  t.events = ParseEvents("C4:1 E4+G4:2 R:1");
  const std::string f0 = EncodeMidi(t, 0, "x");
  EXPECT_EQ(f0.substr(0, 4), "MThd");
  EXPECT_EQ(static_cast<uint8_t>(f0[9]), 0);   // format
  EXPECT_EQ(static_cast<uint8_t>(f0[11]), 1);  // one track
  EXPECT_EQ(f0.substr(14, 4), "MTrk");
  EXPECT_EQ(Be32(f0, 18) + 22, f0.size());
  EXPECT_EQ(f0.substr(f0.size() - 3), std::string("\xFF\x2F\x00", 3));

  const std::string f1 = EncodeMidi(t, 1, "x");
  EXPECT_EQ(static_cast<uint8_t>(f1[9]), 1);
  EXPECT_EQ(static_cast<uint8_t>(f1[11]), 2);
  const size_t second = 22 + Be32(f1, 18);
  EXPECT_EQ(f1.substr(second, 4), "MTrk");
  EXPECT_EQ(second + 8 + Be32(f1, second + 4), f1.size());
  EXPECT_THROW(EncodeMidi(t, 2, "x"), std::invalid_argument);
}

TEST(Video, RiffSizesAndFrameCountAgree) {
  const std::string avi = ConductingAvi(3, 120, 1, 16, 12, 4);  // 1.5 s at 4 fps: 6 frames
  EXPECT_EQ(avi.substr(0, 4), "RIFF");
  EXPECT_EQ(U32(avi, 4), avi.size() - 8);
  EXPECT_EQ(avi.substr(8, 4), "AVI ");
  EXPECT_EQ(U32(avi, 24 + 8 + 16), 6u);  // avih total frames
  size_t count = 0;
  for (size_t at = avi.find("00db"); at != std::string::npos; at = avi.find("00db", at + 4))
    ++count;
  EXPECT_EQ(count, 12u);  // six chunks and six index entries
  EXPECT_THROW(ConductingAvi(5, 60, 1), std::invalid_argument);
}

TEST(ScoreDocument, CrossReferenceTablePointsAtTheObjects) {
  Tune t;
  t.events = ParseEvents("C4:1 D4:1 E4:1 F#4:1 G4+B4:4");
  const std::string pdf = ScorePdf("KVINTKÖR", "Próba: ő és ű", t);
  EXPECT_EQ(pdf.substr(0, 8), "%PDF-1.4");
  const size_t startxref = pdf.rfind("startxref\n");
  const size_t xref = std::stoul(pdf.substr(startxref + 10));
  ASSERT_EQ(pdf.substr(xref, 4), "xref");
  for (int obj = 1; obj <= 7; ++obj) {
    const size_t offset = std::stoul(pdf.substr(xref + 9 + 20 * obj, 10));
    EXPECT_EQ(pdf.substr(offset, std::to_string(obj).size() + 6), std::to_string(obj) + " 0 obj");
  }
  EXPECT_THROW(ScorePdf("Ω", "", t), std::runtime_error);
}

}  // namespace
}  // namespace demo
