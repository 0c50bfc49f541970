// TMediaPlayer over a recording layer: the exact requests of every
// operation, the flag rule and its overrides, failures, notices and
// destruction.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <functional>
#include <memory>

#include "media/media_player.h"
#include "tests/media/recording_mci.h"

namespace dorvem {
namespace {

using namespace mci;
using testing::MciRequest;
using testing::RecordingMci;

struct Player {
  // Set up as the window's MediaPlayer1: no automatic rewind.
  Player() {
    player->setObjectName(QStringLiteral("MediaPlayer1"));
    player->SetAutoRewind(false);
  }
  // Opens "/m/a.wav" and forgets the open's requests.
  void OpenAudio() {
    player->SetFileName("/m/a.wav");
    player->Open();
    mci.Take();
  }
  MciCallback Cb() { return player.get(); }

  RecordingMci mci;  // outlives the player
  std::unique_ptr<TMediaPlayer> player = std::make_unique<TMediaPlayer>(nullptr, &mci);
};

TEST(MediaPlayerTest, OpenSendsTheOpenAndReadsLengthCapabilitiesAndMode) {
  Player p;
  p.mci.status[MCI_STATUS_LENGTH] = 1234;
  p.mci.caps[MCI_GETDEVCAPS_CAN_PLAY] = 1;
  p.mci.caps[MCI_GETDEVCAPS_DEVICE_TYPE] = MCI_DEVTYPE_WAVEFORM_AUDIO;
  p.player->SetFileName("/m/a.wav");
  p.player->Open();
  const MciCallback cb = p.Cb();
  const std::vector<MciRequest> expected = {
      {0, MCI_OPEN, 0x202, MCI_OPEN_PARMS{cb, 0, "", "/m/a.wav", ""}},
      {1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 1, 0}},
      {1, MCI_GETDEVCAPS, 0x102, MCI_GETDEVCAPS_PARMS{cb, 0, 8}},
      {1, MCI_GETDEVCAPS, 0x102, MCI_GETDEVCAPS_PARMS{cb, 0, 1}},
      {1, MCI_GETDEVCAPS, 0x102, MCI_GETDEVCAPS_PARMS{cb, 0, 7}},
      {1, MCI_GETDEVCAPS, 0x102, MCI_GETDEVCAPS_PARMS{cb, 0, 3}},
      {1, MCI_GETDEVCAPS, 0x102, MCI_GETDEVCAPS_PARMS{cb, 0, 4}},
      {1, MCI_WHERE, 0x20000, MCI_DGV_RECT_PARMS{cb}},
      {1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 4, 0}},
  };
  EXPECT_EQ(p.mci.Take(), expected);
  EXPECT_TRUE(p.player->IsOpen());
  EXPECT_EQ(p.player->OpenDeviceId(), 1);
  EXPECT_EQ(p.player->Frames(), 123u);
  EXPECT_EQ(p.player->AutoEnabledButtons(), MPButton(btNext) | MPButton(btPrev) | MPButton(btPlay));

  // A second open closes the first device before opening the next.
  p.player->Open();
  const std::vector<MciRequest> again = p.mci.Take();
  ASSERT_GE(again.size(), 2u);
  EXPECT_EQ(again[0], (MciRequest{1, MCI_CLOSE, 0x2, MCI_GENERIC_PARMS{cb}}));
  EXPECT_EQ(again[1], (MciRequest{0, MCI_OPEN, 0x202, MCI_OPEN_PARMS{cb, 0, "", "/m/a.wav", ""}}));
  EXPECT_EQ(p.player->OpenDeviceId(), 2);
}

TEST(MediaPlayerTest, OpenNamesTheDeviceTypeAndTakesTheFlagsOfItsSettings) {
  const char* const names[] = {"",        "AVIVideo",  "CDAudio",  "DAT",     "DigitalVideo",
                               "MMMovie", "Other",     "Overlay",  "Scanner", "Sequencer",
                               "VCR",     "Videodisc", "WaveAudio"};
  struct Case {
    TMPDeviceTypes type;
    const char* file;
    bool shareable;
    std::uint32_t flags;
  };
  const Case cases[] = {
      {dtAutoSelect, "f.mid", false, 0x202}, {dtAutoSelect, "", false, 0x202},
      {dtSequencer, "f.mid", false, 0x2202}, {dtSequencer, "", false, 0x2002},
      {dtWaveAudio, "f.wav", true, 0x2302},  {dtAutoSelect, "f.wav", true, 0x302},
  };
  for (const Case& c : cases) {
    Player p;
    p.player->SetDeviceType(c.type);
    p.player->SetFileName(c.file);
    p.player->SetShareable(c.shareable);
    p.player->Open();
    EXPECT_EQ(
        p.mci.requests.at(0),
        (MciRequest{0, MCI_OPEN, c.flags, MCI_OPEN_PARMS{p.Cb(), 0, names[c.type], c.file, ""}}))
        << "type " << c.type << " file " << c.file;
  }
  for (int type = dtAutoSelect; type <= dtWaveAudio; ++type) {
    Player p;
    p.player->SetDeviceType(static_cast<TMPDeviceTypes>(type));
    p.player->Open();
    EXPECT_EQ(std::get<MCI_OPEN_PARMS>(p.mci.requests.at(0).record).deviceType, names[type]);
    // CD audio and videodiscs count in tracks from the start.
    const bool tracks = type == dtCDAudio || type == dtVideodisc;
    const MciRequest setFormat{1, MCI_SET, 0x401, MCI_SET_PARMS{p.Cb(), 10, 0}};
    EXPECT_EQ(std::count(p.mci.requests.begin(), p.mci.requests.end(), setFormat), tracks ? 1 : 0)
        << names[type];
  }
}

TEST(MediaPlayerTest, FailedOpenRaisesTheLayersTextAndLeavesTheDeviceClosed) {
  Player p;
  p.OpenAudio();
  p.mci.openResults = {MCIERR_FILE_NOT_FOUND};
  try {
    p.player->Open();
    FAIL() << "no exception";
  } catch (const EMCIDeviceError& e) {
    EXPECT_EQ(std::string(e.what()), *MciErrorText(MCIERR_FILE_NOT_FOUND));
    EXPECT_EQ(p.player->ErrorMessage(), e.what());
  }
  // The old device was closed first; only the failed open follows.
  const std::vector<MciRequest> expected = {
      {1, MCI_CLOSE, 0x2, MCI_GENERIC_PARMS{p.Cb()}},
      {0, MCI_OPEN, 0x202, MCI_OPEN_PARMS{p.Cb(), 0, "", "/m/a.wav", ""}},
  };
  EXPECT_EQ(p.mci.Take(), expected);
  EXPECT_FALSE(p.player->IsOpen());
  EXPECT_EQ(p.player->OpenDeviceId(), 0);
  EXPECT_EQ(p.player->LastError(), MCIERR_FILE_NOT_FOUND);

  // A code the layer has no text for.
  p.mci.openResults = {9999};
  EXPECT_THROW(
      {
        try {
          p.player->Open();
        } catch (const EMCIDeviceError& e) {
          EXPECT_STREQ(e.what(), "Unknown error code");
          throw;
        }
      },
      EMCIDeviceError);
  EXPECT_EQ(p.player->ErrorMessage(), "Unknown error code");
}

TEST(MediaPlayerTest, OperationsOnAClosedDeviceRaiseAndSendNothing) {
  const std::pair<const char*, std::function<void(TMediaPlayer&)>> raising[] = {
      {"Play", [](TMediaPlayer& m) { m.Play(); }},
      {"Stop", [](TMediaPlayer& m) { m.Stop(); }},
      {"Pause", [](TMediaPlayer& m) { m.Pause(); }},
      {"Resume", [](TMediaPlayer& m) { m.Resume(); }},
      {"Next", [](TMediaPlayer& m) { m.Next(); }},
      {"Previous", [](TMediaPlayer& m) { m.Previous(); }},
      {"Step", [](TMediaPlayer& m) { m.Step(); }},
      {"Back", [](TMediaPlayer& m) { m.Back(); }},
      {"StartRecording", [](TMediaPlayer& m) { m.StartRecording(); }},
      {"Eject", [](TMediaPlayer& m) { m.Eject(); }},
      {"Rewind", [](TMediaPlayer& m) { m.Rewind(); }},
      {"Length", [](TMediaPlayer& m) { (void)m.Length(); }},
      {"Tracks", [](TMediaPlayer& m) { (void)m.Tracks(); }},
      {"TimeFormat", [](TMediaPlayer& m) { (void)m.TimeFormat(); }},
  };
  for (const auto& [name, op] : raising) {
    Player p;
    try {
      op(*p.player);
      ADD_FAILURE() << name << " did not raise";
    } catch (const EMCIDeviceError& e) {
      EXPECT_STREQ(e.what(), "No MCI device open") << name;
    }
    EXPECT_TRUE(p.mci.requests.empty()) << name;
  }

  // Close does nothing and keeps LastError; the position and mode queries
  // and the time format go to device 0, which fails, without raising.
  Player p;
  p.player->SetTimeFormat(10);
  EXPECT_EQ(p.player->LastError(), MCIERR_INVALID_DEVICE_ID);
  p.mci.Take();
  p.player->Close();
  EXPECT_TRUE(p.mci.requests.empty());
  EXPECT_EQ(p.player->LastError(), MCIERR_INVALID_DEVICE_ID);
  EXPECT_EQ(p.player->Mode(), mpNotReady);
  (void)p.player->Position();
  const std::vector<MciRequest> expected = {
      {0, MCI_STATUS, 0x102, MCI_STATUS_PARMS{p.Cb(), 0, 4, 0}},
      {0, MCI_STATUS, 0x102, MCI_STATUS_PARMS{p.Cb(), 0, 2, 0}},
  };
  EXPECT_EQ(p.mci.Take(), expected);
}

TEST(MediaPlayerTest, OverridesDecideTheFlagsOfExactlyOneRequest) {
  struct Case {
    const char* name;
    bool play;  // Play (notify group), else Stop (wait group)
    std::optional<bool> wait, notify;
    std::uint32_t flags;
  };
  const Case cases[] = {
      {"stop", false, {}, {}, 0x2},
      {"stop, no wait", false, false, {}, 0x0},
      {"stop, notify", false, {}, true, 0x3},
      {"stop, notify, no wait", false, false, true, 0x1},
      {"stop, no notify", false, {}, false, 0x2},
      {"play", true, {}, {}, 0x1},
      {"play, no notify", true, {}, false, 0x0},
      {"play, wait", true, true, {}, 0x3},
      {"play, wait, no notify", true, true, false, 0x2},
      {"play, no wait", true, false, {}, 0x1},
  };
  for (const Case& c : cases) {
    Player p;
    p.OpenAudio();
    if (c.wait) p.player->SetWait(*c.wait);
    if (c.notify) p.player->SetNotify(*c.notify);
    const auto run = [&] { c.play ? p.player->Play() : p.player->Stop(); };
    run();
    run();
    const std::vector<MciRequest> sent = p.mci.Take();
    ASSERT_EQ(sent.size(), 2u) << c.name;
    EXPECT_EQ(sent[0].flags, c.flags) << c.name;
    EXPECT_EQ(sent[1].flags, c.play ? 0x1u : 0x2u) << c.name << ": the override was not disarmed";
  }
}

TEST(MediaPlayerTest, PlayTakesArmedLimitsAndRewindsOnlyUnderAutoRewindAtTheEnd) {
  Player p;
  p.OpenAudio();
  p.mci.status[MCI_STATUS_POSITION] = 500;
  p.mci.status[MCI_STATUS_LENGTH] = 500;
  p.player->SetFrom(100);
  p.player->SetTo(900);
  p.player->Play();
  p.player->Play();  // at its end, but AutoRewind is off
  std::vector<MciRequest> expected = {
      {1, MCI_PLAY, 0xD, MCI_PLAY_PARMS{p.Cb(), 100, 900}},
      {1, MCI_PLAY, 0x1, MCI_PLAY_PARMS{p.Cb(), 0, 0}},
  };
  EXPECT_EQ(p.mci.Take(), expected);

  p.player->SetAutoRewind(true);
  p.player->Play();
  p.player->SetFrom(0);
  p.player->Play();  // an armed limit: no rewind
  expected = {
      {1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{p.Cb(), 0, 2, 0}},
      {1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{p.Cb(), 0, 1, 0}},
      {1, MCI_SEEK, 0x102, MCI_SEEK_PARMS{p.Cb(), 0}},
      {1, MCI_PLAY, 0x1, MCI_PLAY_PARMS{p.Cb(), 0, 0}},
      {1, MCI_PLAY, 0x5, MCI_PLAY_PARMS{p.Cb(), 0, 0}},
  };
  EXPECT_EQ(p.mci.Take(), expected);

  // A failing play only stores its code.
  p.mci.results[MCI_PLAY] = MCIERR_DEVICE_NOT_READY;
  EXPECT_NO_THROW(p.player->Play());
  EXPECT_EQ(p.player->LastError(), MCIERR_DEVICE_NOT_READY);
}

TEST(MediaPlayerTest, ResumeFallsBackToPlayWhichThenUsesTheOverrides) {
  Player p;
  p.OpenAudio();
  p.player->SetNotify(false);
  p.player->Resume();
  p.player->Resume();  // disarmed by the successful resume
  std::vector<MciRequest> expected = {
      {1, MCI_RESUME, 0x0, MCI_GENERIC_PARMS{p.Cb()}},
      {1, MCI_RESUME, 0x1, MCI_GENERIC_PARMS{p.Cb()}},
  };
  EXPECT_EQ(p.mci.Take(), expected);

  p.mci.results[MCI_RESUME] = MCIERR_UNSUPPORTED_FUNCTION;
  p.player->SetWait(true);
  p.player->Resume();
  p.player->Play();
  expected = {
      {1, MCI_RESUME, 0x3, MCI_GENERIC_PARMS{p.Cb()}},
      {1, MCI_PLAY, 0x3, MCI_PLAY_PARMS{p.Cb(), 0, 0}},
      {1, MCI_PLAY, 0x1, MCI_PLAY_PARMS{p.Cb(), 0, 0}},
  };
  EXPECT_EQ(p.mci.Take(), expected);
}

TEST(MediaPlayerTest, NoticesSetTheOutcomeAndTheAutomaticButtons) {
  const std::pair<std::uint32_t, TMPNotifyValues> outcomes[] = {
      {MCI_NOTIFY_SUPERSEDED, nvSuperseded}, {MCI_NOTIFY_ABORTED, nvAborted},
      {MCI_NOTIFY_FAILURE, nvFailure},       {3, nvFailure},  // unknown: unchanged
      {MCI_NOTIFY_SUCCESSFUL, nvSuccessful},
  };
  Player p;
  p.mci.caps[MCI_GETDEVCAPS_CAN_PLAY] = 1;
  p.mci.caps[MCI_GETDEVCAPS_CAN_RECORD] = 1;
  p.mci.status[MCI_STATUS_MODE] = MCI_MODE_PLAY;  // already playing when opened
  p.OpenAudio();
  EXPECT_EQ(p.player->AutoEnabledButtons(),
            MPButton(btNext) | MPButton(btPrev) | MPButton(btPause) | MPButton(btStop));
  int notified = 0;
  p.player->OnNotify = [&](TMediaPlayer& sender) {
    EXPECT_EQ(&sender, p.player.get());
    ++notified;
  };
  p.player->Play();
  p.mci.status[MCI_STATUS_MODE] = MCI_MODE_STOP;
  p.mci.results[MCI_STATUS] = MCIERR_DEVICE_NOT_READY;
  for (const auto& [code, value] : outcomes) {
    p.mci.Notify(code);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(p.player->NotifyValue(), value) << code;
  }
  EXPECT_EQ(notified, 5);
  // The mode query failed: the buttons stayed, its code was stored.
  EXPECT_EQ(p.player->LastError(), MCIERR_DEVICE_NOT_READY);
  EXPECT_TRUE(p.player->AutoEnabledButtons() & MPButton(btPause));

  p.mci.results.erase(MCI_STATUS);
  p.mci.Take();
  p.mci.Notify(MCI_NOTIFY_SUCCESSFUL);
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(p.mci.Take(),
            (std::vector<MciRequest>{{1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{p.Cb(), 0, 4, 0}}}));
  EXPECT_EQ(p.player->AutoEnabledButtons(),
            MPButton(btNext) | MPButton(btPrev) | MPButton(btPlay) | MPButton(btRecord));

  // Without AutoEnable the mode is not asked.
  p.player->SetAutoEnable(false);
  p.mci.Notify(MCI_NOTIFY_ABORTED);
  QCoreApplication::sendPostedEvents();
  EXPECT_TRUE(p.mci.requests.empty());
  EXPECT_EQ(p.player->NotifyValue(), nvAborted);
}

TEST(MediaPlayerTest, DestroyingAnOpenDeviceClosesItWithWaitOnly) {
  Player p;
  p.OpenAudio();
  TMediaPlayer* const player = p.player.get();
  p.player.reset();
  EXPECT_EQ(p.mci.Take(),
            (std::vector<MciRequest>{{1, MCI_CLOSE, 0x2, MCI_GENERIC_PARMS{player}}}));
  EXPECT_TRUE(p.mci.open.empty());

  Player closed;
  closed.player.reset();
  EXPECT_TRUE(closed.mci.requests.empty());
}

TEST(MediaPlayerTest, OperationsTheWindowDoesNotUseSendTheirRequests) {
  struct Case {
    const char* name;
    std::map<std::uint32_t, std::uint32_t> status;
    std::function<void(TMediaPlayer&)> op;
    std::function<std::vector<MciRequest>(MciCallback)> expected;
  };
  const std::uint32_t inTrack2 = MCI_MAKE_TMSF(2, 1, 5, 0);
  const Case cases[] = {
      {"pause while playing",
       {{MCI_STATUS_MODE, MCI_MODE_PLAY}},
       [](TMediaPlayer& m) { m.Pause(); },
       [](MciCallback cb) {
         return std::vector<MciRequest>{{1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 4, 0}},
                                        {1, MCI_PAUSE, 0x2, MCI_GENERIC_PARMS{cb}}};
       }},
      {"pause while paused",
       {{MCI_STATUS_MODE, MCI_MODE_PAUSE}},
       [](TMediaPlayer& m) { m.Pause(); },
       [](MciCallback cb) {
         return std::vector<MciRequest>{{1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 4, 0}},
                                        {1, MCI_RESUME, 0x1, MCI_GENERIC_PARMS{cb}}};
       }},
      {"pause while stopped",
       {{MCI_STATUS_MODE, MCI_MODE_STOP}},
       [](TMediaPlayer& m) { m.Pause(); },
       [](MciCallback cb) {
         return std::vector<MciRequest>{{1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 4, 0}}};
       }},
      {"next in milliseconds",
       {},
       [](TMediaPlayer& m) { m.Next(); },
       [](MciCallback cb) {
         return std::vector<MciRequest>{{1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 6, 0}},
                                        {1, MCI_SEEK, 0x202, MCI_SEEK_PARMS{cb, 0}}};
       }},
      {"previous in milliseconds",
       {},
       [](TMediaPlayer& m) { m.Previous(); },
       [](MciCallback cb) {
         return std::vector<MciRequest>{{1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 6, 0}},
                                        {1, MCI_SEEK, 0x102, MCI_SEEK_PARMS{cb, 0}}};
       }},
      {"next track while stopped",
       {{MCI_STATUS_TIME_FORMAT, 10},
        {MCI_STATUS_POSITION, inTrack2},
        {MCI_STATUS_NUMBER_OF_TRACKS, 3},
        {MCI_STATUS_MODE, MCI_MODE_STOP}},
       [](TMediaPlayer& m) { m.Next(); },
       [=](MciCallback cb) {
         return std::vector<MciRequest>{{1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 6, 0}},
                                        {1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 2, 0}},
                                        {1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 3, 0}},
                                        {1, MCI_STATUS, 0x112, MCI_STATUS_PARMS{cb, 0, 2, 3}},
                                        {1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 4, 0}},
                                        {1, MCI_SEEK, 0xA, MCI_SEEK_PARMS{cb, inTrack2}}};
       }},
      {"previous track while playing, in the start second of track 2",
       {{MCI_STATUS_TIME_FORMAT, 10},
        {MCI_STATUS_POSITION, inTrack2},
        {MCI_STATUS_MODE, MCI_MODE_PLAY}},
       [](TMediaPlayer& m) { m.Previous(); },
       [=](MciCallback cb) {
         return std::vector<MciRequest>{{1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 6, 0}},
                                        {1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 2, 0}},
                                        {1, MCI_STATUS, 0x112, MCI_STATUS_PARMS{cb, 0, 2, 2}},
                                        {1, MCI_STATUS, 0x112, MCI_STATUS_PARMS{cb, 0, 2, 1}},
                                        {1, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 4, 0}},
                                        {1, MCI_PLAY, 0x5, MCI_PLAY_PARMS{cb, inTrack2, 0}}};
       }},
      {"step",
       {},
       [](TMediaPlayer& m) { m.Step(); },
       [](MciCallback cb) {
         return std::vector<MciRequest>{{1, MCI_STEP, 0x20002, MCI_DGV_STEP_PARMS{cb, 40}}};
       }},
      {"back",
       {},
       [](TMediaPlayer& m) { m.Back(); },
       [](MciCallback cb) {
         return std::vector<MciRequest>{{1, MCI_STEP, 0x30002, MCI_DGV_STEP_PARMS{cb, 40}}};
       }},
      {"record",
       {},
       [](TMediaPlayer& m) {
         m.SetTo(70);
         m.StartRecording();
       },
       [](MciCallback cb) {
         return std::vector<MciRequest>{{1, MCI_RECORD, 0x9, MCI_RECORD_PARMS{cb, 0, 70}}};
       }},
      {"eject",
       {},
       [](TMediaPlayer& m) { m.Eject(); },
       [](MciCallback cb) {
         return std::vector<MciRequest>{{1, MCI_SET, 0x102, MCI_SET_PARMS{cb, 0, 0}}};
       }},
      {"rewind",
       {},
       [](TMediaPlayer& m) { m.Rewind(); },
       [](MciCallback cb) {
         return std::vector<MciRequest>{{1, MCI_SEEK, 0x102, MCI_SEEK_PARMS{cb, 0}}};
       }},
  };
  for (const Case& c : cases) {
    Player p;
    p.mci.caps[MCI_GETDEVCAPS_HAS_VIDEO] = 1;
    p.mci.caps[MCI_GETDEVCAPS_CAN_EJECT] = 1;
    p.mci.status[MCI_STATUS_LENGTH] = 400;  // 40 frames a step
    p.OpenAudio();
    p.mci.status = c.status;
    c.op(*p.player);
    EXPECT_EQ(p.mci.Take(), c.expected(p.Cb())) << c.name;
  }
}

TEST(MediaPlayerTest, DisplayGoesToAnOpenVideoDeviceAndComesBackWhenItsWindowGoes) {
  Player p;
  auto window = std::make_unique<QWidget>();
  p.player->SetDisplay(window.get());  // closed: only stored
  EXPECT_TRUE(p.mci.requests.empty());
  p.mci.caps[MCI_GETDEVCAPS_HAS_VIDEO] = 1;
  p.player->SetFileName("/m/v.avi");
  p.player->Open();
  const MciCallback cb = p.Cb();
  std::vector<MciRequest> sent = p.mci.Take();
  // After the capabilities and the source rectangle: the window, then the
  // destination rectangle.
  ASSERT_GE(sent.size(), 11u);
  EXPECT_EQ(sent[8], (MciRequest{1, MCI_WINDOW, 0x10002, MCI_DGV_WINDOW_PARMS{cb, window.get()}}));
  EXPECT_EQ(sent[9], (MciRequest{1, MCI_WHERE, 0x40000, MCI_DGV_RECT_PARMS{cb}}));

  window.reset();
  EXPECT_EQ(p.mci.Take(),
            (std::vector<MciRequest>{{1, MCI_WINDOW, 0x10002, MCI_DGV_WINDOW_PARMS{cb, nullptr}}}));
  EXPECT_EQ(p.player->Display(), nullptr);

  // A window the device refuses is not kept.
  QWidget other;
  p.mci.results[MCI_WINDOW] = MCIERR_UNSUPPORTED_FUNCTION;
  p.player->SetDisplay(&other);
  EXPECT_EQ(p.player->Display(), nullptr);
  EXPECT_EQ(p.player->LastError(), MCIERR_UNSUPPORTED_FUNCTION);
}

}  // namespace
}  // namespace dorvem
