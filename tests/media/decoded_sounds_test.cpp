// Sounds decoded once and played from memory: which file a held sound
// stands for, its bounds, and real pipelines of the layer rendering held
// sounds into a file sink whose length is then measured.
#include "media/decoded_sounds.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <map>
#include <vector>

#include "media/gst_mci.h"
#include "media/gst_runtime.h"
#include "media/mci_notify.h"
#include "tests/media/media_bytes.h"
#include "tests/media/notice_log.h"

namespace dorvem {
namespace {

using namespace mci;
using namespace testing;

// A sound of `bytes` bytes of 16-bit mono at 8000 Hz, without GStreamer's
// decoders.
std::shared_ptr<const DecodedSound> Silence(std::size_t bytes) {
  return std::make_shared<DecodedSound>(
      gst_caps_from_string("audio/x-raw,format=S16LE,layout=interleaved,rate=8000,channels=1"),
      gst_buffer_new_allocate(nullptr, bytes, nullptr), 8000, 2);
}

TEST(DecodedSoundsTest, HeldByTheFileAsItIsNowWithinCountBytesAndIdleTime) {
  StartGstRuntime();
  ASSERT_TRUE(GstReady());
  std::int64_t now = 0;
  std::map<std::string, std::size_t> sizes;  // what each path decodes to
  std::vector<std::string> decoded;
  DecodedSounds sounds([&now] { return now; },
                       [&](const std::string& path, std::size_t) {
                         decoded.push_back(path);
                         return Silence(sizes[path]);
                       });
  const FileIdentity file{1, 2, 1000, 5};
  FileIdentity rewritten = file;
  rewritten.modifiedNs = 6;
  for (const char* p : {"a", "b", "c", "d", "e"}) sizes[p] = 1000;

  const auto a = sounds.Get("a", file);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(sounds.Get("a", file), a) << "decoded once";
  EXPECT_NE(sounds.Get("a", rewritten), a) << "a rewritten file is decoded anew";
  EXPECT_EQ(decoded, (std::vector<std::string>{"a", "a"}));
  EXPECT_EQ(sounds.Size(), 1u) << "the sound of the file as it was is dropped";

  // Four are held; the least recently used goes for a fifth.
  for (const char* p : {"b", "c", "d"}) sounds.Get(p, file);
  sounds.Get("a", rewritten);  // "b" is now the least recently used
  sounds.Get("e", file);
  EXPECT_EQ(sounds.Size(), 4u);
  decoded.clear();
  for (const char* p : {"c", "d", "e"}) sounds.Get(p, file);
  sounds.Get("a", rewritten);
  EXPECT_TRUE(decoded.empty());
  sounds.Get("b", file);
  EXPECT_EQ(decoded, std::vector<std::string>{"b"});

  // Bytes: a third sound of 3 MiB goes past 8 MiB, and the oldest go
  // until the newest two are left.
  sizes["x"] = sizes["y"] = sizes["z"] = 3 << 20;
  for (const char* p : {"x", "y", "z"}) sounds.Get(p, file);
  EXPECT_EQ(sounds.Size(), 2u);
  EXPECT_EQ(sounds.HeldBytes(), std::size_t(6) << 20);

  // A file too long is played from the file: not decoded.
  decoded.clear();
  FileIdentity big = file;
  big.size = std::int64_t(DecodedSounds::kMaxFileBytes) + 1;
  EXPECT_EQ(sounds.Get("big", big), nullptr);
  EXPECT_TRUE(decoded.empty());

  // Idle time drops what was not used within it.
  now = DecodedSounds::kIdleMs - 1;
  sounds.Get("z", file);
  now = DecodedSounds::kIdleMs;
  sounds.Expire();
  EXPECT_EQ(sounds.Size(), 1u);
  now = 2 * DecodedSounds::kIdleMs - 2;
  sounds.Expire();
  EXPECT_EQ(sounds.Size(), 1u);
  now = 2 * DecodedSounds::kIdleMs - 1;
  sounds.Expire();
  EXPECT_EQ(sounds.Size(), 0u);
}

// The seconds of sound in a rendered 16-bit WAVE file; -1 when unreadable.
double RenderedSeconds(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray b = file.readAll();
  const auto u32 = [&b](qsizetype at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | std::uint8_t(b[at + i]);
    return v;
  };
  std::uint32_t byteRate = 0;
  for (qsizetype at = 12; at + 8 <= b.size(); at += 8 + u32(at + 4) + (u32(at + 4) & 1)) {
    if (b.mid(at, 4) == "fmt ") byteRate = u32(at + 16);
    if (b.mid(at, 4) == "data" && byteRate != 0)
      return double(std::min<qsizetype>(u32(at + 4), b.size() - at - 8)) / byteRate;
  }
  return -1;
}

class DecodedPlayTest : public ::testing::Test {
 protected:
  std::string Write(const QString& name, const Bytes& bytes) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    return file.fileName().toStdString();
  }
  MCIDEVICEID Open(const std::string& path) {
    MciRecord r = MCI_OPEN_PARMS{&log, 0, {}, path, {}};
    EXPECT_EQ(mci.SendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT, r), 0u);
    return std::get<MCI_OPEN_PARMS>(r).deviceId;
  }
  std::uint32_t Length(MCIDEVICEID id) {
    MciRecord r = MCI_STATUS_PARMS{&log, 0, MCI_STATUS_LENGTH, 0};
    EXPECT_EQ(mci.SendCommand(id, MCI_STATUS, MCI_STATUS_ITEM, r), 0u);
    return std::get<MCI_STATUS_PARMS>(r).returnValue;
  }
  // Plays `id` (from `from` to `to` when given) and waits for its notice;
  // returns the seconds rendered by the pipeline, which is finished here.
  double PlayAndClose(MCIDEVICEID id, std::uint32_t flags = 0, std::uint32_t from = 0,
                      std::uint32_t to = 0) {
    log.outcomes.clear();
    MciRecord r = MCI_PLAY_PARMS{&log, from, to};
    EXPECT_EQ(mci.SendCommand(id, MCI_PLAY, MCI_NOTIFY | flags, r), 0u);
    EXPECT_TRUE(log.WaitFor(1));
    EXPECT_EQ(log.outcomes, std::vector<std::uint32_t>{MCI_NOTIFY_SUCCESSFUL});
    MciRecord close = MCI_GENERIC_PARMS{&log};
    EXPECT_EQ(mci.SendCommand(id, MCI_CLOSE, 0, close), 0u);
    mci.WaitForPipelines();  // the file sink has closed its file
    return RenderedSeconds(dir.filePath(QStringLiteral("out%1.wav").arg(sinks - 1)));
  }

  QTemporaryDir dir;
  std::atomic<int> sinks{0};
  std::atomic<std::int64_t> nowMs{0};
  NoticeLog log;
  GstMci mci{[this] {
               const QString out = dir.filePath(QStringLiteral("out%1.wav").arg(sinks++));
               const std::string description =
                   "audioconvert ! audioresample ! audio/x-raw,format=S16LE ! wavenc ! "
                   "filesink location=\"" +
                   out.toStdString() + "\"";
               return gst_parse_bin_from_description(description.c_str(), TRUE, nullptr);
             },
             nullptr, [this] { return nowMs.load(); }};
};

TEST_F(DecodedPlayTest, AHeldSoundPlaysWholeEachTimeAsTheFileIsNow) {
  // 11025 frames at 22050 Hz: half a second.
  const std::string wav = Write(QStringLiteral("cue.wav"), WaveFile(22050, 1, 11025));
  for (int play = 0; play < 2; ++play) {
    const MCIDEVICEID id = Open(wav);
    EXPECT_EQ(Length(id), 500u);
    EXPECT_NEAR(PlayAndClose(id), 0.5, 0.001) << play;
    EXPECT_EQ(mci.DecodedSoundsHeld(), 1u) << play;
  }
  // From 100 ms to 300 ms of it.
  EXPECT_NEAR(PlayAndClose(Open(wav), MCI_FROM | MCI_TO, 100, 300), 0.2, 0.001);

  // Rewritten to a second: that is what plays, and what is held.
  Write(QStringLiteral("cue.wav"), WaveFile(22050, 1, 22050));
  const MCIDEVICEID id = Open(wav);
  EXPECT_EQ(Length(id), 1000u);
  EXPECT_NEAR(PlayAndClose(id), 1.0, 0.001);
  EXPECT_EQ(mci.DecodedSoundsHeld(), 1u);

  // MIDI is never held.
  PlayAndClose(Open(Write(QStringLiteral("a.mid"), OneNoteMidi(240))));
  EXPECT_EQ(mci.DecodedSoundsHeld(), 1u);

  nowMs = GstMci::kIdleMs;
  mci.ReleaseIdle();
  mci.WaitForPipelines();
  EXPECT_EQ(mci.DecodedSoundsHeld(), 0u);
}

// GStreamer's threads of a decode end with it, not some time later while
// the user types.
TEST_F(DecodedPlayTest, ADecodeLeavesNoThreadBehind) {
  // The process's threads but GLib's one that starts pool threads
  // ("pool-" and the program's name), made once when first needed.
  const auto threads = [] {
    qsizetype count = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
      QFile name(tasks.filePath(task + QStringLiteral("/comm")));
      count += name.open(QIODevice::ReadOnly) && !name.readAll().startsWith("pool-") ? 1 : 0;
    }
    return count;
  };
  WaitForGstPreparation();
  const std::string wav = Write(QStringLiteral("t.wav"), WaveFile(22050, 1, 11025));
  const qsizetype before = threads();
  for (int decode = 0; decode < 2; ++decode) {
    ASSERT_NE(DecodedSounds::Decode(wav, DecodedSounds::kMaxSoundBytes), nullptr);
    EXPECT_EQ(threads(), before) << decode;
  }
}

}  // namespace
}  // namespace dorvem
