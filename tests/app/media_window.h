// MediaWindow: the main window on a dictionary of the test's rows, with a
// Sounds folder of the test's files, a recording media layer below
// MediaPlayer1, and recorders for message boxes, external programs and the
// application-wide error report.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/message_boxes.h"
#include "dictionary/external_programs.h"
#include "media/default_mci.h"
#include "media/media_player.h"
#include "tests/app/report_recorder.h"
#include "tests/app/window_fixture.h"
#include "tests/media/recording_mci.h"

namespace dorvem::testing {

// While it lives, message boxes are recorded here instead of shown.
class BoxRecorder {
 public:
  BoxRecorder() {
    previous_ = SetMessageBoxSink([this](const MessageBoxText& box) { boxes.push_back(box); });
  }
  ~BoxRecorder() { SetMessageBoxSink(std::move(previous_)); }
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;

  // "Warning: text" / "Error: text" of each box, checking title and kind agree.
  QStringList Take() {
    QStringList out;
    for (const MessageBoxText& b : boxes) {
      const bool warning = b.kind == MessageKind::kWarning;
      EXPECT_EQ(b.title, warning ? QStringLiteral("Warning") : QStringLiteral("Error"));
      out << b.title + QStringLiteral(": ") + b.text;
    }
    boxes.clear();
    return out;
  }

  std::vector<MessageBoxText> boxes;

 private:
  MessageBoxSink previous_;
};

// While it lives, files opened with the system and programs started are
// recorded here ("open <file>", "start <program> <argument>").
class ExternalRecorder {
 public:
  ExternalRecorder() {
    previous_ = SetExternalActions(
        {[this](const QString& file) { calls << QStringLiteral("open ") + file; },
         [this](const QString& program, const QString& argument) {
           calls << QStringLiteral("start ") + program + u' ' + argument;
         }});
  }
  ~ExternalRecorder() { SetExternalActions(std::move(previous_)); }
  ExternalRecorder(const ExternalRecorder&) = delete;
  ExternalRecorder& operator=(const ExternalRecorder&) = delete;

  QStringList Take() { return std::exchange(calls, {}); }

  QStringList calls;

 private:
  ExternalActions previous_;
};

class MediaWindow {
 public:
  // `files`: paths below the program folder ("/" between folders), each
  // created with a few bytes. Headwords must begin with "." to pass the
  // start-up filter.
  // `videoPlayer`: the video player's path below the program folder; the
  // system's player when empty.
  MediaWindow(const std::vector<DictRow>& rows, const std::vector<std::string>& files,
              const std::string& videoPlayer = {}) {
    folder.WriteDataFile(Encode(DictionaryModel(rows)));
    for (const std::string& f : files) AddFile(f);
    previous_ = mci::SetDefaultMci(&mci);
    TDictionaryOptions options = folder.Options();
    if (!videoPlayer.empty()) options.videoPlayerPath = Path(videoPlayer);
    window = std::make_unique<TfrmMain>(options);
    window->MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));
  }
  ~MediaWindow() {
    window.reset();
    mci::SetDefaultMci(previous_);
  }

  void AddFile(const std::string& relative) const {
    const QString path = Path(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write("data");
  }

  // A path below the program folder.
  QString Path(const std::string& relative) const {
    return folder.Folder() + QString::fromStdString(relative);
  }

  // Shows the window and waits until it is active.
  bool Show() {
    window->show();
    return QTest::qWaitForWindowActive(window.get());
  }

  mci::MciCallback Cb() const { return window->MediaPlayer1; }

  // The requests of a successful open of an audio file on the recording
  // layer: the open, then the length, the capabilities, the source
  // rectangle and the mode of device `id`.
  std::vector<MciRequest> OpenRequests(mci::MCIDEVICEID id, const QString& path,
                                       const char* type = "") const {
    using namespace mci;
    const MciCallback cb = Cb();
    const std::uint32_t flags = *type ? 0x2202 : 0x202;
    std::vector<MciRequest> r = {
        {0, MCI_OPEN, flags, MCI_OPEN_PARMS{cb, 0, type, path.toStdString(), ""}},
        {id, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 1, 0}}};
    for (std::uint32_t item : {8u, 1u, 7u, 3u, 4u})
      r.push_back({id, MCI_GETDEVCAPS, 0x102, MCI_GETDEVCAPS_PARMS{cb, 0, item}});
    r.push_back({id, MCI_WHERE, 0x20000, MCI_DGV_RECT_PARMS{cb}});
    r.push_back({id, MCI_STATUS, 0x102, MCI_STATUS_PARMS{cb, 0, 4, 0}});
    return r;
  }
  // Open, then play.
  std::vector<MciRequest> PlayRequests(mci::MCIDEVICEID id, const QString& path,
                                       const char* type = "") const {
    std::vector<MciRequest> r = OpenRequests(id, path, type);
    r.push_back({id, mci::MCI_PLAY, 0x1, mci::MCI_PLAY_PARMS{Cb(), 0, 0}});
    return r;
  }
  // Stop and close of device `id`.
  std::vector<MciRequest> StopRequests(mci::MCIDEVICEID id) const {
    return {{id, mci::MCI_STOP, 0x2, mci::MCI_GENERIC_PARMS{Cb()}},
            {id, mci::MCI_CLOSE, 0x2, mci::MCI_GENERIC_PARMS{Cb()}}};
  }

  ProgramFolderFixture folder;  // first made, last gone
  RecordingMci mci;
  BoxRecorder boxes;
  ExternalRecorder external;
  ReportRecorder reports;
  std::unique_ptr<TfrmMain> window;

 private:
  mci::MciInterface* previous_ = nullptr;
};

inline std::vector<MciRequest> operator+(std::vector<MciRequest> a,
                                         const std::vector<MciRequest>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A valid 1 x 1 24-bit bitmap file, for entries with a picture.
inline std::string OnePixelBitmap() {
  std::string b = "BM";
  const auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>(v >> (8 * i)));
  };
  const auto u16 = [&](std::uint16_t v) {
    b.push_back(static_cast<char>(v));
    b.push_back(static_cast<char>(v >> 8));
  };
  u32(58);  // file size
  u32(0);
  u32(54);  // pixels offset
  u32(40);  // information header
  u32(1);   // width
  u32(1);   // height
  u16(1);   // planes
  u16(24);  // bits per pixel
  u32(0);   // no compression
  u32(4);
  u32(2835);
  u32(2835);
  u32(0);
  u32(0);
  b += std::string("\x10\x20\x30\x00", 4);
  return b;
}

}  // namespace dorvem::testing
