// Telling a media file's kind and playing time from its bytes, and refusing
// files that are cut short or malformed.
#include <gtest/gtest.h>

#include "media/probe/media_formats.h"
#include "tests/media/media_bytes.h"

namespace dorvem {
namespace {

using namespace mci;
using namespace testing;

// MPEG 1 layer III, 128 kbit/s, 44100 Hz, stereo, no CRC: frames of
// 144 * 128000 / 44100 = 417 bytes and 1152 samples.
const Bytes kMpeg1Header{0xFF, 0xFB, 0x90, 0x00};
// MPEG 2 layer III, 32 kbit/s, 22050 Hz, mono: 72 * 32000 / 22050 = 104
// bytes, 576 samples; with the padding bit 105 bytes.
const Bytes kMpeg2Header{0xFF, 0xF3, 0x40, 0xC0};
const Bytes kMpeg2PaddedHeader{0xFF, 0xF3, 0x42, 0xC0};

template <std::size_t N>
Bytes Text(const char (&s)[N]) {
  return Bytes(s, s + N - 1);  // embedded zeros included
}

TEST(MediaFormatsTest, KindComesFromTheContent) {
  const std::pair<const char*, std::pair<Bytes, MediaKind>> cases[] = {
      {"wave", {WaveFile(8000, 1, 10), MediaKind::kWave}},
      {"rmid", {RmidFile(OneNoteMidi(480)), MediaKind::kMidi}},
      {"smf", {OneNoteMidi(480), MediaKind::kMidi}},
      {"id3", {Text("ID3\x03") + Bytes(20, 0), MediaKind::kMpegAudio}},
      {"two frames", {MpegFrames(kMpeg1Header, 417, 2), MediaKind::kMpegAudio}},
      {"one whole frame", {MpegFrames(kMpeg1Header, 417, 1), MediaKind::kMpegAudio}},
      {"a frame sync and then noise",
       {MpegFrames(kMpeg1Header, 417, 1) + Bytes(600, 0x55), MediaKind::kUnknown}},
      {"riff avi", {Text("RIFF\x10\0\0\0AVI LIST"), MediaKind::kUnknown}},
      {"pdf", {Text("%PDF-1.4\n"), MediaKind::kUnknown}},
      {"short", {Text("MTh"), MediaKind::kUnknown}},
      {"empty", {Bytes{}, MediaKind::kUnknown}},
  };
  for (const auto& [name, c] : cases) EXPECT_EQ(SniffMediaKind(c.first), c.second) << name;
}

TEST(MediaFormatsTest, WaveLengthIsItsDataOverItsByteRate) {
  // 11025 frames at 22050 Hz: 500 ms, in mono and stereo, with an odd-sized
  // chunk before the data.
  EXPECT_EQ(WaveLengthMs(WaveFile(22050, 1, 11025)), 500u);
  EXPECT_EQ(WaveLengthMs(WaveFile(22050, 2, 11025)), 500u);
  EXPECT_EQ(WaveLengthMs(WaveFile(22050, 1, 11025, "LISTabc")), 500u);
  EXPECT_EQ(WaveLengthMs(WaveFile(8000, 1, 7999)), 999u);

  // Cut inside the data: what is left plays (2000 of 4000 bytes at 16000
  // bytes a second).
  Bytes cut = WaveFile(8000, 1, 2000);
  cut.resize(cut.size() - 2000);
  EXPECT_EQ(WaveLengthMs(cut), 125u);

  // No format before the data, no data, a format chunk cut short.
  Bytes noFormat = WaveFile(8000, 1, 10);
  std::copy_n("junk", 4, noFormat.begin() + 12);
  EXPECT_EQ(WaveLengthMs(noFormat), std::nullopt);
  Bytes header = WaveFile(8000, 1, 0);
  header.resize(36);
  EXPECT_EQ(WaveLengthMs(header), std::nullopt);
  header.resize(30);
  EXPECT_EQ(WaveLengthMs(header), std::nullopt);
}

TEST(MediaFormatsTest, Mp3LengthCountsTheFramesSoundIsIn) {
  // 38 frames of 1152 samples at 44100 Hz: 992.65 ms.
  EXPECT_EQ(Mp3LengthMs(MpegFrames(kMpeg1Header, 417, 38)), 992u);
  // With the padding bit an MPEG 1 layer III frame is 418 bytes long.
  EXPECT_EQ(Mp3LengthMs(MpegFrames(kMpeg1Header, 417, 19) +
                        MpegFrames({0xFF, 0xFB, 0x92, 0x00}, 418, 19)),
            992u);
  // 100 frames of 576 samples at 22050 Hz, padded or not: 2612.2 ms.
  EXPECT_EQ(
      Mp3LengthMs(MpegFrames(kMpeg2Header, 104, 50) + MpegFrames(kMpeg2PaddedHeader, 105, 50)),
      2612u);

  // An ID3v2 tag of 10 + 300 bytes (size 300 = 0x02 0x2C in 7-bit bytes)
  // and a trailing ID3v1 tag are no sound; nor is an encoder's Xing frame.
  Bytes tag = Text("ID3") + Bytes{3, 0, 0, 0, 0, 0x02, 0x2C} + Bytes(300, 0);
  Bytes xing = MpegFrames(kMpeg1Header, 417, 1);
  std::copy_n("Xing", 4, xing.begin() + 36);
  const Bytes tagged = tag + xing + MpegFrames(kMpeg1Header, 417, 38) + Text("TAG") + Bytes(125, 0);
  EXPECT_EQ(SniffMediaKind(tagged), MediaKind::kMpegAudio);
  EXPECT_EQ(Mp3LengthMs(tagged), 992u);
  // The same frame of a constant bit rate encoder is tagged "Info".
  Bytes info = MpegFrames(kMpeg1Header, 417, 1);
  std::copy_n("Info", 4, info.begin() + 36);
  EXPECT_EQ(Mp3LengthMs(info + MpegFrames(kMpeg1Header, 417, 38)), 992u);

  // MPEG 2.5 layer III, 8 kbit/s, 11025 Hz, mono: 72 * 8000 / 11025 = 52
  // bytes a frame; 20 frames of 576 samples are 1044.9 ms.
  EXPECT_EQ(Mp3LengthMs(MpegFrames({0xFF, 0xE3, 0x10, 0xC0}, 52, 20)), 1044u);

  // A last frame cut short does not count.
  Bytes cut = MpegFrames(kMpeg1Header, 417, 39);
  cut.resize(cut.size() - 1);
  EXPECT_EQ(Mp3LengthMs(cut), 992u);

  // A tag and then no frames; free-format and reserved headers.
  EXPECT_EQ(Mp3LengthMs(tag), std::nullopt);
  EXPECT_EQ(Mp3LengthMs(MpegFrames({0xFF, 0xFB, 0x00, 0x00}, 417, 3)), std::nullopt);
  EXPECT_EQ(Mp3LengthMs(MpegFrames({0xFF, 0xFB, 0x9C, 0x00}, 417, 3)), std::nullopt);
  EXPECT_EQ(Mp3LengthMs(MpegFrames({0xFF, 0xF9, 0x90, 0x00}, 417, 3)), std::nullopt);
}

TEST(MediaFormatsTest, MidiLengthFollowsTheTempoMap) {
  struct Case {
    const char* name;
    Bytes file;
    std::optional<std::uint32_t> ms;
  };
  // Running status: the second note's on and off without a status byte.
  const Bytes running = NoteOn(0, 60) + Vlq(0) + Bytes{62, 100} + Vlq(960) + Bytes{60, 0} + Vlq(0) +
                        Bytes{62, 0} + EndOfTrack(0);
  const Case cases[] = {
      // 960 ticks at 480 a quarter and 120 quarters a minute: one second.
      {"default tempo", OneNoteMidi(960), 1000},
      {"rmid", RmidFile(OneNoteMidi(960)), 1000},
      {"double speed",
       MidiFile(0, 480, {Tempo(0, 250000) + NoteOn(0, 60) + NoteOff(960, 60) + EndOfTrack(0)}),
       500},
      // 480 ticks at 0.5 s a quarter, then 480 at 1 s a quarter.
      {"tempo change",
       MidiFile(0, 480, {NoteOn(0, 60) + Tempo(480, 1000000) + NoteOff(480, 60) + EndOfTrack(0)}),
       1500},
      // Conductor track with the tempo, the notes end later in track 2.
      {"format 1",
       MidiFile(
           1, 480,
           {Tempo(0, 600000) + EndOfTrack(0), NoteOn(0, 60) + NoteOff(1920, 60) + EndOfTrack(0)}),
       2400},
      {"running status", MidiFile(0, 480, {running}), 1000},
      // 25 frames a second of 40 ticks: 1000 ticks a second.
      {"smpte", MidiFile(0, 0xE728, {NoteOn(0, 60) + NoteOff(1500, 60) + EndOfTrack(0)}), 1500},
      // "29" frames a second are 29.97 (drop frame): 100 ticks a frame make
      // 2997 ticks a second, and 1500 ticks 500.5 ms.
      {"smpte drop frame", MidiFile(0, 0xE364, {NoteOn(0, 60) + NoteOff(1500, 60) + EndOfTrack(0)}),
       500},
      // Program change and channel pressure carry one data byte, the other
      // channel messages two.
      {"one data byte",
       MidiFile(0, 480,
                {Vlq(0) + Bytes{0xC0, 5} + Vlq(0) + Bytes{0xD0, 64} + Vlq(0) + Bytes{0xE0, 0, 64} +
                 NoteOn(0, 60) + NoteOff(480, 60) + EndOfTrack(0)}),
       500},
      {"system common message", MidiFile(0, 480, {Vlq(0) + Bytes{0xF2, 0, 0} + EndOfTrack(0)}),
       std::nullopt},
      {"data byte without status", MidiFile(0, 480, {Vlq(0) + Bytes{60, 100} + EndOfTrack(0)}),
       std::nullopt},
      {"no track", MidiFile(0, 480, {}), std::nullopt},
      {"division 0", MidiFile(0, 0, {EndOfTrack(0)}), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(MidiLengthMs(c.file), c.ms) << c.name;

  // Cut anywhere inside the track: refused.
  const Bytes whole = OneNoteMidi(960);
  for (std::size_t n = 15; n < whole.size(); ++n)
    EXPECT_EQ(MidiLengthMs(Bytes(whole.begin(), whole.begin() + n)), std::nullopt) << n;
}

}  // namespace
}  // namespace dorvem
