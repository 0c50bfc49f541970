// The GStreamer layer on real files: what opening refuses and with which
// code, device ids, the answers of the queries, notices and their outcomes,
// and real pipelines rendering WAV, MP3, MIDI and RIFF-RMID into a file sink
// whose sound is then measured.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <atomic>
#include <cmath>
#include <vector>

#include "media/gst_mci.h"
#include "media/gst_runtime.h"
#include "media/mci_notify.h"
#include "media/probe/mci_errors.h"
#include "tests/media/media_bytes.h"
#include "tests/media/notice_log.h"

namespace dorvem {
namespace {

using namespace mci;
using namespace testing;

// A rendered WAVE file: its length, loudness and pitch.
struct Rendered {
  double seconds = 0;
  double rms = 0;     // of full scale
  int crossings = 0;  // sign changes of the first channel's samples
};

std::optional<Rendered> ReadRendered(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray b = file.readAll();
  const auto u32 = [&](qsizetype at) {
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 |
           std::uint32_t(std::uint8_t(b[at + 3])) << 24;
  };
  std::uint32_t byteRate = 0;
  std::uint32_t channels = 1;
  for (qsizetype at = 12; at + 8 <= b.size();) {
    const QByteArray id = b.mid(at, 4);
    const std::uint32_t size = u32(at + 4);
    if (id == "fmt ") {
      channels = std::max<std::uint32_t>(1, u32(at + 10) & 0xFFFF);
      byteRate = u32(at + 16);
    }
    if (id == "data" && byteRate != 0) {
      const qsizetype n = std::min<qsizetype>(size, b.size() - at - 8) / 2;
      double sum = 0;
      int crossings = 0;
      bool negative = false;
      for (qsizetype i = 0; i < n; ++i) {
        const auto* p = reinterpret_cast<const unsigned char*>(b.constData() + at + 8 + 2 * i);
        const double v = static_cast<std::int16_t>(p[0] | p[1] << 8) / 32768.0;
        sum += v * v;
        // Small values count as their sign before, so that noise about
        // zero adds no crossings.
        if (i % channels == 0 && std::abs(v) > 0.01) {
          if (i > 0 && (v < 0) != negative) ++crossings;
          negative = v < 0;
        }
      }
      return Rendered{double(n * 2) / byteRate, n ? std::sqrt(sum / double(n)) : 0.0, crossings};
    }
    at += 8 + size + (size & 1);
  }
  return std::nullopt;
}

class GstMciTest : public ::testing::Test {
 protected:
  GstMciTest()
      : mci(
            [this] {
              ++built;
              if (!render)  // as fast as the pipeline goes
                return gst_parse_bin_from_description("fakesink sync=false", TRUE, nullptr);
              // Decoded sound as 16-bit samples into one WAVE file per pipeline.
              const QString out = dir.filePath(QStringLiteral("out%1.wav").arg(sinks++));
              const std::string description =
                  "audioconvert ! audioresample ! audio/x-raw,format=S16LE ! wavenc ! filesink "
                  "location=\"" +
                  out.toStdString() + "\"";
              return gst_parse_bin_from_description(description.c_str(), TRUE, nullptr);
            },
            nullptr, [this] { return nowMs.load(); }) {}

  std::string Write(const QString& name, const Bytes& bytes) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    return file.fileName().toStdString();
  }

  MCIERROR Open(const std::string& path, std::string type = {}, MCIDEVICEID* id = nullptr) {
    MciRecord r = MCI_OPEN_PARMS{&log, 0, std::move(type), path, ""};
    const std::uint32_t typeFlag =
        std::get<MCI_OPEN_PARMS>(r).deviceType.empty() ? 0 : MCI_OPEN_TYPE;
    const MCIERROR e = mci.SendCommand(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT | typeFlag, r);
    if (id) *id = std::get<MCI_OPEN_PARMS>(r).deviceId;
    return e;
  }
  MCIERROR Send(MCIDEVICEID id, std::uint32_t command, std::uint32_t flags, MciRecord r) {
    return mci.SendCommand(id, command, flags, r);
  }
  MCIERROR Generic(MCIDEVICEID id, std::uint32_t command, std::uint32_t flags = MCI_WAIT) {
    return Send(id, command, flags, MCI_GENERIC_PARMS{&log});
  }
  std::uint32_t Status(MCIDEVICEID id, std::uint32_t item) {
    MciRecord r = MCI_STATUS_PARMS{&log, 0, item, 0};
    EXPECT_EQ(mci.SendCommand(id, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, r), 0u) << item;
    return std::get<MCI_STATUS_PARMS>(r).returnValue;
  }

  QTemporaryDir dir;
  bool render = false;  // set before the pipelines that are to render start
  std::atomic<int> sinks{0};
  std::atomic<int> built{0};           // pipelines built
  std::atomic<std::int64_t> nowMs{0};  // the layer's clock
  NoticeLog log;
  GstMci mci;  // after what its pipelines use
};

TEST_F(GstMciTest, OpenRefusesWhatItCannotPlayWithItsCode) {
  QDir(dir.path()).mkdir(QStringLiteral("folder"));
  const Bytes midi = OneNoteMidi(480);
  const std::string wav = Write(QStringLiteral("a.wav"), WaveFile(8000, 1, 800));
  const std::string mid = Write(QStringLiteral("a.mid"), midi);
  struct Case {
    const char* name;
    std::string path;
    std::string type;
    MCIERROR code;
  };
  const Case cases[] = {
      {"missing", dir.filePath(QStringLiteral("none.wav")).toStdString(), "",
       MCIERR_FILE_NOT_FOUND},
      {"folder", dir.filePath(QStringLiteral("folder")).toStdString(), "", MCIERR_FILE_NOT_FOUND},
      {"empty", Write(QStringLiteral("empty.wav"), {}), "", MCIERR_INVALID_FILE},
      {"noise", Write(QStringLiteral("noise.mp3"), Bytes(4000, 0x5A)), "", MCIERR_INVALID_FILE},
      {"cut midi", Write(QStringLiteral("cut.mid"), Bytes(midi.begin(), midi.end() - 3)), "",
       MCIERR_INVALID_FILE},
      {"midi as wave audio", mid, "WaveAudio", MCIERR_INVALID_FILE},
      {"wave as sequencer", wav, "sequencer", MCIERR_INVALID_FILE},
      {"cd audio", wav, "CDAudio", MCIERR_DEVICE_NOT_INSTALLED},
      {"unknown device", wav, "Gramophone", MCIERR_INVALID_DEVICE_NAME},
      {"no file name", "", "", MCIERR_FILENAME_REQUIRED},
      {"wave", wav, "waveaudio", 0},
      {"midi", mid, "Sequencer", 0},
  };
  for (const Case& c : cases) {
    MCIDEVICEID id = 0;
    EXPECT_EQ(Open(c.path, c.type, &id), c.code) << c.name;
    EXPECT_EQ(id != 0, c.code == 0) << c.name;
    if (id) {
      EXPECT_EQ(Generic(id, MCI_CLOSE), 0u);
    }
  }
  // A type named without a file.
  MciRecord r = MCI_OPEN_PARMS{&log, 0, "Sequencer", "", ""};
  EXPECT_EQ(mci.SendCommand(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_TYPE, r), MCIERR_FILENAME_REQUIRED);
  EXPECT_TRUE(log.outcomes.empty());
}

TEST_F(GstMciTest, DevicesAnswerFromWhatTheyKnowAtOnce) {
  // 0.5 s of sound; 0.25 s of MIDI (480 ticks at 960 a second).
  const std::string wav = Write(QStringLiteral("a.wav"), WaveFile(22050, 1, 11025));
  const std::string mid = Write(QStringLiteral("a.mid"), OneNoteMidi(240));
  MCIDEVICEID a = 0, b = 0, c = 0;
  ASSERT_EQ(Open(wav, "", &a), 0u);
  ASSERT_EQ(Open(mid, "", &b), 0u);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(Generic(a, MCI_CLOSE), 0u);
  EXPECT_EQ(Generic(a, MCI_STOP), MCIERR_INVALID_DEVICE_ID);
  ASSERT_EQ(Open(wav, "", &c), 0u);
  EXPECT_EQ(c, 1);  // the lowest free id again

  EXPECT_EQ(Status(c, MCI_STATUS_LENGTH), 500u);
  EXPECT_EQ(Status(b, MCI_STATUS_LENGTH), 250u);
  EXPECT_EQ(Status(c, MCI_STATUS_MODE), MCI_MODE_STOP);
  EXPECT_EQ(Status(c, MCI_STATUS_POSITION), 0u);
  EXPECT_EQ(Status(c, MCI_STATUS_NUMBER_OF_TRACKS), 1u);
  EXPECT_EQ(Status(c, MCI_STATUS_READY), 1u);

  const std::pair<std::uint32_t, std::uint32_t> caps[] = {
      {MCI_GETDEVCAPS_CAN_PLAY, 1},
      {MCI_GETDEVCAPS_CAN_RECORD, 0},
      {MCI_GETDEVCAPS_CAN_EJECT, 0},
      {MCI_GETDEVCAPS_HAS_VIDEO, 0},
      {MCI_GETDEVCAPS_DEVICE_TYPE, MCI_DEVTYPE_WAVEFORM_AUDIO},
  };
  for (const auto& [item, value] : caps) {
    MciRecord r = MCI_GETDEVCAPS_PARMS{&log, 99, item};
    EXPECT_EQ(mci.SendCommand(c, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT, r), 0u);
    EXPECT_EQ(std::get<MCI_GETDEVCAPS_PARMS>(r).returnValue, value) << item;
  }
  MciRecord r = MCI_GETDEVCAPS_PARMS{&log, 0, MCI_GETDEVCAPS_DEVICE_TYPE};
  mci.SendCommand(b, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT, r);
  EXPECT_EQ(std::get<MCI_GETDEVCAPS_PARMS>(r).returnValue, MCI_DEVTYPE_SEQUENCER);

  // What audio devices cannot do, and malformed requests.
  EXPECT_EQ(Send(c, MCI_WHERE, 0x20000, MCI_DGV_RECT_PARMS{&log}), MCIERR_UNSUPPORTED_FUNCTION);
  EXPECT_EQ(Send(c, MCI_STEP, 0x20002, MCI_DGV_STEP_PARMS{&log, 1}), MCIERR_UNSUPPORTED_FUNCTION);
  EXPECT_EQ(Send(c, MCI_RECORD, 0x1, MCI_RECORD_PARMS{&log}), MCIERR_UNSUPPORTED_FUNCTION);
  EXPECT_EQ(Send(c, 0x0999, 0x2, MCI_GENERIC_PARMS{&log}), MCIERR_UNRECOGNIZED_COMMAND);
  EXPECT_EQ(Send(c, MCI_PLAY, 0x1, MCI_GENERIC_PARMS{&log}), MCIERR_NULL_PARAMETER_BLOCK);
  EXPECT_EQ(Send(c, MCI_SET, 0x402, MCI_SET_PARMS{&log, 10, 0}), MCIERR_BAD_TIME_FORMAT);
  EXPECT_EQ(Send(c, MCI_SET, 0x402, MCI_SET_PARMS{&log, 0, 0}), 0u);
  EXPECT_EQ(Send(c, MCI_SEEK, 0xA, MCI_SEEK_PARMS{&log, 501}), MCIERR_OUTOFRANGE);
  EXPECT_EQ(Send(c, MCI_SEEK, 0xA, MCI_SEEK_PARMS{&log, 200}), 0u);
  EXPECT_EQ(Status(c, MCI_STATUS_POSITION), 200u);
  EXPECT_EQ(Send(c, MCI_SEEK, 0x202, MCI_SEEK_PARMS{&log}), 0u);
  EXPECT_EQ(Status(c, MCI_STATUS_POSITION), 500u);
  EXPECT_TRUE(log.outcomes.empty());
  Generic(b, MCI_CLOSE);
  Generic(c, MCI_CLOSE);
}

TEST_F(GstMciTest, NoticesComeThroughTheQueueWithTheirOutcomes) {
  const std::string wav = Write(QStringLiteral("a.wav"), WaveFile(22050, 1, 11025));
  MCIDEVICEID id = 0;
  ASSERT_EQ(Open(wav, "", &id), 0u);

  // Played to its end: successful, and the device stands stopped at the end.
  ASSERT_EQ(Send(id, MCI_PLAY, MCI_NOTIFY, MCI_PLAY_PARMS{&log}), 0u);
  EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_PLAY);
  EXPECT_TRUE(log.outcomes.empty());  // never from inside the request
  ASSERT_TRUE(log.WaitFor(1));
  EXPECT_EQ(log.outcomes, std::vector<std::uint32_t>{MCI_NOTIFY_SUCCESSFUL});
  EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_STOP);
  EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 500u);
  // Played again at its end: nothing left, done at once.
  ASSERT_EQ(Send(id, MCI_PLAY, MCI_NOTIFY, MCI_PLAY_PARMS{&log}), 0u);
  ASSERT_TRUE(log.WaitFor(2));
  EXPECT_EQ(log.outcomes.back(), MCI_NOTIFY_SUCCESSFUL);

  // A play superseded by a play that asks for a notice, which a stop then
  // aborts; a close aborts the next one; a stop that asks for a notice gets
  // its own at once. Nothing more arrives, also when the pipelines have
  // finished.
  log.outcomes.clear();
  Send(id, MCI_PLAY, MCI_NOTIFY | MCI_FROM, MCI_PLAY_PARMS{&log, 0, 0});
  Send(id, MCI_PLAY, MCI_NOTIFY | MCI_FROM, MCI_PLAY_PARMS{&log, 100, 0});
  Generic(id, MCI_STOP);
  EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_STOP);
  Generic(id, MCI_STOP, MCI_WAIT | MCI_NOTIFY);
  Send(id, MCI_PLAY, MCI_NOTIFY | MCI_FROM, MCI_PLAY_PARMS{&log, 0, 0});
  Generic(id, MCI_CLOSE);
  ASSERT_TRUE(log.WaitFor(4));
  mci.WaitForPipelines();
  QCoreApplication::processEvents();
  EXPECT_EQ(log.outcomes, (std::vector<std::uint32_t>{MCI_NOTIFY_SUPERSEDED, MCI_NOTIFY_ABORTED,
                                                      MCI_NOTIFY_SUCCESSFUL, MCI_NOTIFY_ABORTED}));
}

TEST_F(GstMciTest, ADeviceClosedWithinTheEventThatOpenedItGetsNoPipeline) {
  const std::string wav = Write(QStringLiteral("a.wav"), WaveFile(22050, 1, 11025));
  // Opened, played, stopped and closed within one event, as a cue that the
  // second entry refresh of a keystroke stops: its notice is aborted, and
  // no pipeline is ever built for it.
  MCIDEVICEID id = 0;
  ASSERT_EQ(Open(wav, "", &id), 0u);
  ASSERT_EQ(Send(id, MCI_PLAY, MCI_NOTIFY, MCI_PLAY_PARMS{&log}), 0u);
  EXPECT_EQ(Generic(id, MCI_STOP), 0u);
  EXPECT_EQ(Generic(id, MCI_CLOSE), 0u);
  mci.WaitForPipelines();
  QCoreApplication::processEvents();
  EXPECT_EQ(built, 0);
  EXPECT_EQ(log.outcomes, std::vector<std::uint32_t>{MCI_NOTIFY_ABORTED});

  // Once the event is over the pipeline is built, and a close in a later
  // event tears it down.
  ASSERT_EQ(Open(wav, "", &id), 0u);
  ASSERT_EQ(Send(id, MCI_PLAY, 0, MCI_PLAY_PARMS{&log}), 0u);
  QCoreApplication::processEvents();
  mci.WaitForPipelines();
  EXPECT_EQ(built, 1);
  EXPECT_EQ(Generic(id, MCI_CLOSE), 0u);
  mci.WaitForPipelines();
  EXPECT_EQ(built, 1);
}

// Open file descriptors of the process.
int OpenDescriptors() {
  return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).count());
}

TEST_F(GstMciTest, ClosedDevicesLeaveNothingBehind) {
  const std::string wav = Write(QStringLiteral("a.wav"), WaveFile(22050, 1, 2205));
  const auto cycle = [&] {
    MCIDEVICEID id = 0;
    ASSERT_EQ(Open(wav, "", &id), 0u);
    Send(id, MCI_PLAY, MCI_NOTIFY, MCI_PLAY_PARMS{&log});
    ASSERT_TRUE(log.WaitFor(log.outcomes.size() + 1));  // played to the end
    Generic(id, MCI_STOP);
    Generic(id, MCI_CLOSE);
    mci.WaitForPipelines();
  };
  cycle();  // GStreamer's own first-use descriptors
  // The runtime's preparation (choosing the audio output, warming the
  // elements) opens and closes files on a thread of its own.
  WaitForGstPreparation();
  const int before = OpenDescriptors();
  for (int i = 0; i < 5; ++i) cycle();
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(GstMciTest, PipelinesRenderWaveMp3AndMidiWithTheirLengths) {
  const std::string mp3 = std::string(DORVEM_SOURCE_DIR) + "/demo/Sounds/hangkep.mp3";
  struct Case {
    const char* name;
    std::string path;
    double shortest, longest;  // seconds; decoders add their delay and padding
  };
  const Case cases[] = {
      // 11025 frames at 22050 Hz.
      {"wave", Write(QStringLiteral("a.wav"), WaveFile(22050, 1, 11025)), 0.499, 0.501},
      // The demo's sound cue: two beats at 200 a minute, 0.05 s of release
      // and 0.2 s of silence (tools/demo/media.txt, tools/demo/src/synth.cpp);
      // the encoder's delay and its last frame add at most three frames of
      // 576 samples at 22050 Hz.
      {"mp3", mp3, 0.85, 0.85 + 3 * 576 / 22050.0},
      // 960 ticks at 480 a quarter, 120 quarters a minute.
      {"midi", Write(QStringLiteral("a.mid"), OneNoteMidi(960)), 0.95, 1.05},
      {"rmid", Write(QStringLiteral("a.rmi"), RmidFile(OneNoteMidi(960))), 0.95, 1.05},
  };
  render = true;
  for (const Case& c : cases) {
    log.outcomes.clear();
    MCIDEVICEID id = 0;
    ASSERT_EQ(Open(c.path, "", &id), 0u) << c.name;
    const std::uint32_t lengthMs = Status(id, MCI_STATUS_LENGTH);
    ASSERT_EQ(Send(id, MCI_PLAY, MCI_NOTIFY, MCI_PLAY_PARMS{&log}), 0u) << c.name;
    ASSERT_TRUE(log.WaitFor(1)) << c.name;
    EXPECT_EQ(log.outcomes, std::vector<std::uint32_t>{MCI_NOTIFY_SUCCESSFUL}) << c.name;
    Generic(id, MCI_CLOSE);
    mci.WaitForPipelines();  // the file sink has closed its file
    const auto out = ReadRendered(dir.filePath(QStringLiteral("out%1.wav").arg(sinks - 1)));
    ASSERT_TRUE(out.has_value()) << c.name;
    EXPECT_GE(out->seconds, c.shortest) << c.name;
    EXPECT_LE(out->seconds, c.longest) << c.name;
    EXPECT_GT(out->rms, 0.01) << c.name << ": silent";
    // The length the device measured from the file's bytes is what the
    // decoder delivered, to within one MP3 frame.
    EXPECT_NEAR(lengthMs, out->seconds * 1000, 27) << c.name;
  }
}

// A device left open after its play frees its pipeline once idle, and the
// next play builds one again and goes on from where the device stood.
TEST_F(GstMciTest, AnIdleDeviceFreesItsPipelineAndPlaysOnFromWhereItStood) {
  // 22050 frames at 22050 Hz: one second.
  const std::string wav = Write(QStringLiteral("a.wav"), WaveFile(22050, 1, 22050));
  render = true;
  MCIDEVICEID id = 0;
  ASSERT_EQ(Open(wav, "", &id), 0u);
  ASSERT_EQ(Send(id, MCI_PLAY, MCI_NOTIFY, MCI_PLAY_PARMS{&log}), 0u);
  ASSERT_TRUE(log.WaitFor(1));
  ASSERT_EQ(Send(id, MCI_SEEK, MCI_TO | MCI_WAIT, MCI_SEEK_PARMS{&log, 250}), 0u);
  mci.WaitForPipelines();

  nowMs = GstMci::kIdleMs - 1;  // not idle long enough yet
  mci.ReleaseIdle();
  mci.WaitForPipelines();
  EXPECT_EQ(mci.BuiltPipelines(), 1u) << "freed before its time";

  nowMs = GstMci::kIdleMs;
  mci.ReleaseIdle();
  mci.WaitForPipelines();
  EXPECT_EQ(mci.BuiltPipelines(), 0u) << "the idle pipeline is still alive";
  EXPECT_EQ(built, 1);
  // A seek while suspended moves where the next play begins.
  ASSERT_EQ(Send(id, MCI_SEEK, MCI_TO | MCI_WAIT, MCI_SEEK_PARMS{&log, 500}), 0u);
  EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 500u);

  log.outcomes.clear();
  ASSERT_EQ(Send(id, MCI_PLAY, MCI_NOTIFY, MCI_PLAY_PARMS{&log}), 0u);
  ASSERT_TRUE(log.WaitFor(1));
  EXPECT_EQ(log.outcomes, std::vector<std::uint32_t>{MCI_NOTIFY_SUCCESSFUL});
  EXPECT_EQ(built, 2);
  Generic(id, MCI_CLOSE);
  mci.WaitForPipelines();
  // The rest of the second, from 500 ms.
  const auto second = ReadRendered(dir.filePath(QStringLiteral("out1.wav")));
  ASSERT_TRUE(second.has_value());
  EXPECT_NEAR(second->seconds, 0.5, 0.01);
}

// A slowed play lasts longer by the speed's inverse and keeps its pitch:
// a 440 Hz tone at half and three quarters of its tempo, and a MIDI piece.
TEST_F(GstMciTest, SlowedPlaysLastLongerAtTheSamePitch) {
  struct Case {
    const char* name;
    std::string path;
    std::uint32_t speed;
    double seconds;  // the media's own length, divided by the speed
    bool tone;
  };
  const std::string wave = Write(QStringLiteral("t.wav"), WaveFile(22050, 1, 22050));
  const std::string midi = Write(QStringLiteral("t.mid"), OneNoteMidi(960));
  const Case cases[] = {
      {"tone at 50 %", wave, 500, 2.0, true},
      {"tone at 75 %", wave, 750, 1.0 / 0.75, true},
      {"midi at 50 %", midi, 500, 2.0, false},
  };
  render = true;
  for (const Case& c : cases) {
    log.outcomes.clear();
    MCIDEVICEID id = 0;
    ASSERT_EQ(Open(c.path, "", &id), 0u) << c.name;
    ASSERT_EQ(Send(id, MCI_SET, MCI_DGV_SET_SPEED | MCI_WAIT, MCI_SET_PARMS{&log, 0, 0, c.speed}),
              0u)
        << c.name;
    ASSERT_EQ(Send(id, MCI_PLAY, MCI_NOTIFY, MCI_PLAY_PARMS{&log}), 0u) << c.name;
    ASSERT_TRUE(log.WaitFor(1)) << c.name;
    EXPECT_EQ(log.outcomes, std::vector<std::uint32_t>{MCI_NOTIFY_SUCCESSFUL}) << c.name;
    Generic(id, MCI_CLOSE);
    mci.WaitForPipelines();
    const auto out = ReadRendered(dir.filePath(QStringLiteral("out%1.wav").arg(sinks - 1)));
    ASSERT_TRUE(out.has_value()) << c.name;
    // The tempo filter keeps back its last window (some 45 ms of the
    // media); the synthesizer's release adds a little to the MIDI piece.
    EXPECT_NEAR(out->seconds, c.seconds, c.tone ? 0.1 : 0.15) << c.name;
    EXPECT_GT(out->rms, 0.005) << c.name << ": silent";
    if (c.tone) {
      EXPECT_NEAR(out->crossings / 2.0 / out->seconds, 440.0, 8.0) << c.name;
    }
  }
  // Speeds the layer does not play at are refused, and the device plays on
  // at its own.
  MCIDEVICEID id = 0;
  ASSERT_EQ(Open(wave, "", &id), 0u);
  EXPECT_EQ(Send(id, MCI_SET, MCI_DGV_SET_SPEED, MCI_SET_PARMS{&log, 0, 0, 0}), MCIERR_OUTOFRANGE);
  EXPECT_EQ(Send(id, MCI_SET, MCI_DGV_SET_SPEED, MCI_SET_PARMS{&log, 0, 0, 5000}),
            MCIERR_OUTOFRANGE);
  Generic(id, MCI_CLOSE);
}

}  // namespace
}  // namespace dorvem
