// Kept pipelines in the GStreamer layer, on real pipelines playing into the
// silent output in real time: a file opened again plays from its start to
// its end, a prepared file is taken by its first open, and a file rewritten
// since or a pipeline that failed is never played from the pool.
//
// That a kept pipeline was rewound shows in time: playing into the silent
// sink keeps real time, so the end of a play cannot come before most of
// the sound's length has passed; a pipeline left at its end would end at
// once (or never, which the wait's bound catches).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "media/audio_output.h"
#include "media/gst_mci.h"
#include "media/mci_notify.h"
#include "tests/media/media_bytes.h"
#include "tests/media/notice_log.h"

namespace dorvem {
namespace {

using namespace mci;
using namespace testing;

class KeptPipelineTest : public ::testing::Test {
 protected:
  std::string Write(const Bytes& bytes) {
    QFile file(dir.filePath(QStringLiteral("cue.wav")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    return file.fileName().toStdString();
  }
  MCIDEVICEID Open(const std::string& path) {
    MciRecord r = MCI_OPEN_PARMS{&log, 0, {}, path, {}};
    EXPECT_EQ(mci.SendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT, r), 0u);
    return std::get<MCI_OPEN_PARMS>(r).deviceId;
  }
  std::uint32_t Status(MCIDEVICEID id, std::uint32_t item) {
    MciRecord r = MCI_STATUS_PARMS{&log, 0, item, 0};
    EXPECT_EQ(mci.SendCommand(id, MCI_STATUS, MCI_STATUS_ITEM, r), 0u);
    return std::get<MCI_STATUS_PARMS>(r).returnValue;
  }
  void Close(MCIDEVICEID id) {
    MciRecord r = MCI_GENERIC_PARMS{&log};
    EXPECT_EQ(mci.SendCommand(id, MCI_CLOSE, 0, r), 0u);
    mci.WaitForPipelines();
  }
  // Plays `id` to its end; returns how long that took, in ms.
  qint64 PlayToTheEnd(MCIDEVICEID id) {
    log.outcomes.clear();
    QElapsedTimer timer;
    timer.start();
    MciRecord r = MCI_PLAY_PARMS{&log, 0, 0};
    EXPECT_EQ(mci.SendCommand(id, MCI_PLAY, MCI_NOTIFY, r), 0u);
    EXPECT_TRUE(log.WaitFor(1));
    EXPECT_EQ(log.outcomes, std::vector<std::uint32_t>{MCI_NOTIFY_SUCCESSFUL});
    return timer.elapsed();
  }

  QTemporaryDir dir;
  NoticeLog log;
  AudioOutput silent{[] { return std::string(); }, [] { return std::int64_t(0); }};
  GstMci mci{{}, &silent};
};

// 0.4 s at 22050 Hz.
constexpr std::uint32_t kSamples = 8820;
constexpr qint64 kShortestPlayMs = 300;

TEST_F(KeptPipelineTest, AFileOpenedAgainPlaysFromItsStartToItsEnd) {
  const std::string wav = Write(WaveFile(22050, 1, kSamples));
  MCIDEVICEID id = Open(wav);
  EXPECT_GE(PlayToTheEnd(id), kShortestPlayMs);
  Close(id);
  EXPECT_EQ(mci.KeptPipelines(), 1u);

  // Played to its end, then stopped half-way: each time the next open
  // takes the kept pipeline and hears the whole sound.
  for (const bool stopEarly : {false, true}) {
    id = Open(wav);
    mci.WaitForPipelines();
    EXPECT_EQ(mci.KeptPipelines(), 0u) << "taken";
    EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), 400u);
    if (stopEarly) {
      MciRecord play = MCI_PLAY_PARMS{&log, 0, 0};
      ASSERT_EQ(mci.SendCommand(id, MCI_PLAY, 0, play), 0u);
      mci.WaitForPipelines();
      MciRecord stop = MCI_GENERIC_PARMS{&log};
      ASSERT_EQ(mci.SendCommand(id, MCI_STOP, 0, stop), 0u);
      Close(id);
      id = Open(wav);
    }
    EXPECT_GE(PlayToTheEnd(id), kShortestPlayMs) << stopEarly;
    Close(id);
    EXPECT_EQ(mci.KeptPipelines(), 1u);
  }
}

TEST_F(KeptPipelineTest, APreparedFileIsTakenByItsFirstOpen) {
  const std::string wav = Write(WaveFile(22050, 1, kSamples));
  mci.Prepare(wav);
  mci.Prepare(dir.filePath(QStringLiteral("none.wav")).toStdString());  // ignored
  mci.WaitForPipelines();
  EXPECT_EQ(mci.KeptPipelines(), 1u);
  const MCIDEVICEID id = Open(wav);
  mci.WaitForPipelines();
  EXPECT_EQ(mci.KeptPipelines(), 0u);
  EXPECT_GE(PlayToTheEnd(id), kShortestPlayMs);
  Close(id);
}

TEST_F(KeptPipelineTest, APreparedMidiFileIsNeitherKeptNorDecoded) {
  QFile file(dir.filePath(QStringLiteral("a.mid")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  const Bytes midi = OneNoteMidi(240);
  file.write(reinterpret_cast<const char*>(midi.data()), qint64(midi.size()));
  file.close();
  mci.Prepare(file.fileName().toStdString());
  mci.WaitForPipelines();
  EXPECT_EQ(mci.KeptPipelines(), 0u);
  EXPECT_EQ(mci.DecodedSoundsHeld(), 0u);
}

TEST_F(KeptPipelineTest, ARewrittenFileIsPlayedAsItIsNow) {
  const std::string wav = Write(WaveFile(22050, 1, kSamples));
  MCIDEVICEID id = Open(wav);
  mci.WaitForPipelines();  // built, not dropped unstarted
  Close(id);
  ASSERT_EQ(mci.KeptPipelines(), 1u);
  Write(WaveFile(22050, 1, 2 * kSamples));
  id = Open(wav);
  mci.WaitForPipelines();
  EXPECT_EQ(mci.KeptPipelines(), 0u) << "the stale pipeline is released";
  EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), 800u);
  EXPECT_GE(PlayToTheEnd(id), 2 * kShortestPlayMs);
  Close(id);
}

TEST_F(KeptPipelineTest, APipelineThatFailedIsNotKept) {
  const std::string wav = Write(WaveFile(22050, 1, kSamples));
  const MCIDEVICEID id = Open(wav);
  // Spoilt after the open checked it, before its pipeline starts.
  Write(Bytes(4096, 0x5A));
  mci.WaitForPipelines();
  QDeadlineTimer deadline(60000);
  while (Status(id, MCI_STATUS_READY) != 0 && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
  ASSERT_EQ(Status(id, MCI_STATUS_READY), 0u) << "the pipeline's error reached the device";
  Close(id);
  EXPECT_EQ(mci.KeptPipelines(), 0u);
}

}  // namespace
}  // namespace dorvem
