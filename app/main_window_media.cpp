// The entry's media actions: the play button and F3 play the entry's media
// by its kind, in the program or in an external player; the score button
// and F4 open its score document; the cue sounds of the entry refresh.
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QToolButton>

#include "app/external_programs.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "dataset/host/handler_guard.h"
#include "dataset/locale/locale_services.h"
#include "media/default_mci.h"
#include "media/media_player.h"

namespace dorvem {

namespace {

QString MissingPlayer(const QString& path) {
  return QStringLiteral(u"Nincs meg a lejátszó program:") + path;
}

QString MissingFile(const QString& path) {
  return QStringLiteral(u"Nincs meg a lejátszandó file:") + path;
}

bool IsFile(const QString& path) {
  return QFileInfo(path).isFile();
}

}  // namespace

void TfrmMain::ConnectMediaHandlers() {
  connect(spbLejatszo, &QToolButton::clicked, this,
          [this] { GuardHandler([this] { spbLejatszoClick(); }); });
  connect(spbKep, &QToolButton::clicked, this, [this] { GuardHandler([this] { spbKepClick(); }); });
  connect(chbHang, &QCheckBox::toggled, this, [this](bool on) {
    if (on) PrepareCueSounds();
  });
}

void TfrmMain::PrepareCueSounds() {
  for (const char* name : {kSoundCue, kScoreCue}) {
    const LocatedFile cue = LocateFile(programFolder_, QString::fromLatin1(name));
    if (cue.exists) mci::DefaultMci().Prepare(QFile::encodeName(cue.path).toStdString());
  }
}

QString TfrmMain::DataText(const std::string& bytes) const {
  return QString::fromStdString(locale::ToUtf8(bytes, tblAdat.TextCodePage()));
}

LocatedFile TfrmMain::MediaFile() const {
  return LocateMediaFile(programFolder_, DataText(tblAdatFAJLNEV.AsString()));
}

LocatedFile TfrmMain::ScoreFile(const std::string& name) const {
  return LocateScoreFile(programFolder_, DataText(name));
}

bool TfrmMain::ScoreFileExists(const std::string& name) const {
  return ScoreFile(name).exists;
}

void TfrmMain::PlayOnDevice(const QString& path) {
  if (MediaPlayer1->OpenDeviceId() != 0) {
    MediaPlayer1->Stop();
    MediaPlayer1->Close();
  }
  MediaPlayer1->SetFileName(QFile::encodeName(path).toStdString());
  try {
    MediaPlayer1->Open();
  } catch (const EMCIDeviceError&) {
    ShowError(QStringLiteral(u"Hibakód: ") + QString::number(MediaPlayer1->LastError()) +
              QStringLiteral("\r\n") + QString::fromStdString(MediaPlayer1->ErrorMessage()));
  }
  // After a failed open this raises "No MCI device open".
  MediaPlayer1->Play();
}

void TfrmMain::PlayCueSound(bool scoreCue) {
  const LocatedFile cue =
      LocateFile(programFolder_, QString::fromLatin1(scoreCue ? kScoreCue : kSoundCue));
  MediaPlayer1->SetDeviceType(dtAutoSelect);
  PlayOnDevice(cue.path);
}

void TfrmMain::spbLejatszoClick() {
  spbLejatszo->setEnabled(false);
  const LocatedFile media = MediaFile();
  // A missing file: silently, and the button stays disabled until the next
  // refresh.
  if (!media.exists) return;

  const TMediaHandling handling = MediaHandlingOf(tblAdatFAJLNEV.AsString(), tblAdat.Lcid());
  const QString shortPath = ShortPathName(media.path);
  if (handling == TMediaHandling::mhSequencer || handling == TMediaHandling::mhAutoSelect) {
    MediaPlayer1->SetDeviceType(handling == TMediaHandling::mhSequencer ? dtSequencer
                                                                        : dtAutoSelect);
    PlayOnDevice(media.path);
  } else if (handling == TMediaHandling::mhScorePlayer) {
    if (IsFile(media.path)) {
      const QString player = programFolder_ + QString::fromLatin1(kScorePlayer);
      if (!IsFile(player)) return ShowWarning(MissingPlayer(player));
      StartProgram(player, shortPath);
    } else {
      ShowWarning(MissingFile(media.path));
    }
  } else if (handling == TMediaHandling::mhVideoPlayer) {
    if (IsFile(media.path)) {
      const QString& player = VideoPlayerPath;
      if (!IsFile(player)) {
        // Without its player the video still opens, with the system.
        ShowWarning(MissingPlayer(player));
        if (IsFile(shortPath)) OpenWithSystem(shortPath);
        return;
      }
      StartProgram(player, shortPath);
    } else {
      ShowWarning(MissingFile(media.path));
    }
  } else if (IsFile(media.path)) {
    OpenWithSystem(media.path);
  }
  spbLejatszo->setEnabled(true);
}

void TfrmMain::spbKepClick() {
  const LocatedFile score = ScoreFile(tblAdatFAJLNEV.AsString());
  if (score.exists) OpenWithSystem(score.path);
}

void TfrmMain::FormKeyDown(int key, Qt::KeyboardModifiers shift) {
  (void)shift;  // Shift, Ctrl and Alt make no difference.
  if (key == Qt::Key_F3 && spbLejatszo->isEnabled()) spbLejatszoClick();
  if (key == Qt::Key_F4 && spbKep->isEnabled()) spbKepClick();
}

}  // namespace dorvem
