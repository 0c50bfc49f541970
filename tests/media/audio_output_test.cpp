// The choice of the audio output: when the verdict is probed for and when
// it is kept (a fake probe and a clock of the test's own), the sinks made
// from it, and real pipelines falling back from a device sink that does not
// open. Nothing here depends on the machine having a sound device or not.
#include "media/audio_output.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <deque>
#include <mutex>
#include <vector>

#include "media/audio_sinks.h"
#include "media/gst_mci.h"
#include "media/gst_runtime.h"
#include "media/mci_notify.h"
#include "tests/media/media_bytes.h"
#include "tests/media/notice_log.h"

namespace dorvem {
namespace {

using namespace mci;
using namespace testing;

// A probe that gives its answers in turn (the last one ever after) and
// counts how often it was asked; and a clock the test moves.
struct FakeWorld {
  std::mutex mutex;
  std::deque<std::string> answers;
  int probes = 0;
  std::atomic<std::int64_t> nowMs{1000};

  AudioOutput Output() {
    return AudioOutput(
        [this] {
          std::lock_guard lock(mutex);
          ++probes;
          std::string answer = answers.front();
          if (answers.size() > 1) answers.pop_front();
          return answer;
        },
        [this] { return nowMs.load(); });
  }
};

// The trace's one line: each verdict that differs from the last one told,
// the first included, and nothing for a probe that comes to the same.
TEST(AudioOutputTest, TheListenerHearsEachNewVerdictOnce) {
  FakeWorld world;
  world.answers = {"", "", "alsasink"};
  AudioOutput output = world.Output();
  std::vector<std::string> told;
  output.SetListener([&](const std::string& verdict) { told.push_back(verdict); });
  output.Prime();  // "": told
  world.nowMs += AudioOutput::kRetryMs;
  EXPECT_EQ(output.Choose(), "");  // probed again, the same: not told
  world.nowMs += AudioOutput::kRetryMs;
  EXPECT_EQ(output.Choose(), "alsasink");  // told
  output.DeviceFailed("alsasink");
  EXPECT_EQ(output.Choose(), "alsasink");  // probed again, the same: not told
  EXPECT_EQ(world.probes, 4);
  EXPECT_EQ(told, (std::vector<std::string>{"", "alsasink"}));
}

TEST(AudioOutputTest, ProbesOnlyWhenTheRuleSays) {
  enum class Op { kChoose, kPrime, kFailed, kWait };
  struct Step {
    Op op;
    std::string arg;      // kFailed: the factory; kWait: unused
    std::int64_t waitMs;  // kWait
    std::string choice;   // kChoose: what it gives
    int probes;           // probes so far, after the step
  };
  struct Case {
    const char* name;
    std::deque<std::string> answers;
    std::vector<Step> steps;
  };
  const std::int64_t retry = AudioOutput::kRetryMs;
  const Case cases[] = {
      {"a device is kept however long",
       {"pulsesink", ""},
       {{Op::kChoose, "", 0, "pulsesink", 1},
        {Op::kWait, "", 10 * retry, "", 1},
        {Op::kChoose, "", 0, "pulsesink", 1}}},
      {"prime probes once, ahead",
       {"alsasink", ""},
       {{Op::kPrime, "", 0, "", 1},
        {Op::kPrime, "", 0, "", 1},
        {Op::kChoose, "", 0, "alsasink", 1}}},
      {"no device is kept until the retry time",
       {"", "alsasink"},
       {{Op::kChoose, "", 0, "", 1},
        {Op::kWait, "", retry - 1, "", 1},
        {Op::kChoose, "", 0, "", 1},
        {Op::kWait, "", 1, "", 1},
        {Op::kChoose, "", 0, "alsasink", 2},
        {Op::kWait, "", 3 * retry, "", 2},
        {Op::kChoose, "", 0, "alsasink", 2}}},
      {"no device again restarts the wait",
       {""},
       {{Op::kChoose, "", 0, "", 1},
        {Op::kWait, "", retry, "", 1},
        {Op::kChoose, "", 0, "", 2},
        {Op::kWait, "", retry - 1, "", 2},
        {Op::kChoose, "", 0, "", 2}}},
      {"a failed device is probed again at once",
       {"pulsesink", "alsasink", ""},
       {{Op::kChoose, "", 0, "pulsesink", 1},
        {Op::kFailed, "pulsesink", 0, "", 1},
        {Op::kChoose, "", 0, "alsasink", 2},
        {Op::kFailed, "alsasink", 0, "", 2},
        {Op::kChoose, "", 0, "", 3}}},
      {"a failure of a replaced device changes nothing",
       {"pulsesink", "alsasink"},
       {{Op::kChoose, "", 0, "pulsesink", 1},
        {Op::kFailed, "pulsesink", 0, "", 1},
        {Op::kChoose, "", 0, "alsasink", 2},
        {Op::kFailed, "pulsesink", 0, "", 2},
        {Op::kChoose, "", 0, "alsasink", 2}}},
      {"the silent sink cannot fail",
       {"", "alsasink"},
       {{Op::kChoose, "", 0, "", 1}, {Op::kFailed, "", 0, "", 1}, {Op::kChoose, "", 0, "", 1}}},
  };
  for (const Case& c : cases) {
    FakeWorld world;
    world.answers = c.answers;
    AudioOutput output = world.Output();
    int n = 0;
    for (const Step& s : c.steps) {
      ++n;
      switch (s.op) {
        case Op::kChoose:
          EXPECT_EQ(output.Choose(), s.choice) << c.name << " step " << n;
          break;
        case Op::kPrime:
          output.Prime();
          break;
        case Op::kFailed:
          output.DeviceFailed(s.arg);
          break;
        case Op::kWait:
          world.nowMs += s.waitMs;
          break;
      }
      EXPECT_EQ(world.probes, s.probes) << c.name << " step " << n;
    }
  }
}

// Takes ownership of a floating sink for the test.
struct SinkRef {
  explicit SinkRef(GstElement* e) : element(e) {
    if (element) gst_object_ref_sink(element);
  }
  ~SinkRef() {
    if (element) {
      gst_element_set_state(element, GST_STATE_NULL);
      gst_object_unref(element);
    }
  }
  GstElement* element;
};

std::string FactoryOf(GstElement* element) {
  return gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(gst_element_get_factory(element)));
}

TEST(AudioSinksTest, SinksMadeFromAVerdict) {
  ASSERT_TRUE(GstReady());
  {
    // No device: a fake sink that keeps real time.
    SinkRef silent(MakeOutputSink(""));
    ASSERT_NE(silent.element, nullptr);
    EXPECT_EQ(FactoryOf(silent.element), "fakesink");
    gboolean sync = FALSE;
    g_object_get(silent.element, "sync", &sync, nullptr);
    EXPECT_TRUE(sync);
    EXPECT_EQ(GST_STATE(silent.element), GST_STATE_NULL);
  }
  {
    // A sink that opens comes opened, as the automatic sink hands it over.
    SinkRef opened(MakeOutputSink("fakesink"));
    ASSERT_NE(opened.element, nullptr);
    EXPECT_EQ(FactoryOf(opened.element), "fakesink");
    EXPECT_EQ(GST_STATE(opened.element), GST_STATE_READY);
  }
  // A file sink without a file does not open; nor does what is not there.
  EXPECT_EQ(MakeOutputSink("filesink"), nullptr);
  EXPECT_EQ(MakeOutputSink("nosuchsinkanywhere"), nullptr);
}

// Plays a short sound `times` times, one after the other, on a layer whose
// output `world` decides; returns the notices' outcomes.
std::vector<std::uint32_t> PlayCues(FakeWorld& world, int times) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("cue.wav"));
  {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    const Bytes wav = WaveFile(8000, 1, 400);  // 50 ms
    file.write(reinterpret_cast<const char*>(wav.data()), qint64(wav.size()));
  }
  AudioOutput output = world.Output();
  NoticeLog notices;
  {
    GstMci mci({}, &output);
    for (int i = 0; i < times; ++i) {
      MciRecord open = MCI_OPEN_PARMS{nullptr, 0, "", path.toStdString(), ""};
      EXPECT_EQ(mci.SendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT, open), 0u);
      const MCIDEVICEID id = std::get<MCI_OPEN_PARMS>(open).deviceId;
      MciRecord play = MCI_PLAY_PARMS{&notices, 0, 0};
      EXPECT_EQ(mci.SendCommand(id, MCI_PLAY, MCI_NOTIFY, play), 0u);
      EXPECT_TRUE(notices.WaitFor(std::size_t(i) + 1));
      MciRecord close = MCI_GENERIC_PARMS{};
      EXPECT_EQ(mci.SendCommand(id, MCI_CLOSE, 0, close), 0u);
    }
    mci.WaitForPipelines();
  }
  return notices.outcomes;
}

TEST(AudioOutputPipelineTest, ADeviceThatDoesNotOpenFallsBackUnnoticed) {
  struct Case {
    const char* name;
    std::deque<std::string> answers;
    int probes;  // after two cues
  };
  const Case cases[] = {
      // The sink opens: one probe serves every cue.
      {"device opens", {"fakesink"}, 1},
      // The chosen device does not open: probed again at once, the silent
      // sink plays; the "no device" verdict then holds for the second cue.
      {"device fails, then none", {"filesink", ""}, 2},
      // Every probe names a device that does not open: each pipeline
      // probes again three times, then plays silently all the same (the
      // first cue's probe and three, then three).
      {"device always fails", {"filesink"}, 7},
  };
  for (const Case& c : cases) {
    FakeWorld world;
    world.answers = c.answers;
    const std::vector<std::uint32_t> successful(2, MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(PlayCues(world, 2), successful) << c.name;
    EXPECT_EQ(world.probes, c.probes) << c.name;
  }
}

}  // namespace
}  // namespace dorvem
