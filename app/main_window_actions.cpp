// The wiring between the controls and the dictionary: the search box's
// changes and keys, the entry refresh after every move, the play and score
// actions with F3 and F4, and the cue sounds.
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "app/main_window.h"
#include "app/message_boxes.h"
#include "app/startup_trace.h"
#include "app/upper_case_edit.h"
#include "dataset/host/handler_guard.h"
#include "dictionary/external_programs.h"
#include "media/default_mci.h"
#include "media/media_player.h"
#include "views/db_image.h"

namespace dorvem {

void TfrmMain::ConnectHandlers() {
  // Every change of the text, typed, pasted or set.
  connect(edtKeres, &QLineEdit::textChanged, this,
          [this] { GuardHandler([this] { edtKeresChange(); }); });
  // Letters become the data's capitals, by the data's locale.
  edtKeres->CasingLocale = [this] { return dictionary_.tblAdat.Lcid(); };
  // The edit guards its key handler itself; it runs after the window's key
  // preview.
  edtKeres->OnKeyDown = [this](int key, Qt::KeyboardModifiers shift) {
    edtKeresKeyDown(key, shift);
  };
  connect(spbLejatszo, &QToolButton::clicked, this,
          [this] { GuardHandler([this] { spbLejatszoClick(); }); });
  connect(spbKep, &QToolButton::clicked, this, [this] { GuardHandler([this] { spbKepClick(); }); });
  connect(chbHang, &QCheckBox::toggled, this, [this](bool on) {
    if (on) PrepareCueSounds();
  });
  connect(btnKilep, &QPushButton::clicked, this,
          [this] { GuardHandler([this] { btnKilepClick(); }); });
  ConnectHistory();
}

void TfrmMain::edtKeresChange() {
  if (everything_)
    dictionary_.SearchEverything(edtKeres->text());
  else
    dictionary_.Search(edtKeres->text());
}

void TfrmMain::edtKeresKeyDown(int key, Qt::KeyboardModifiers shift) {
  (void)shift;
  if (key == Qt::Key_Down) dictionary_.StepNext();
  if (key == Qt::Key_Up) dictionary_.StepPrior();
}

void TfrmMain::tblAdatAfterScroll(TDataSet& dataSet) {
  (void)dataSet;
  StartupPhaseDone("views loaded");
  // 1. Whatever plays, a cue or the entry's media, falls silent.
  if (MediaPlayer1->OpenDeviceId() != 0) {
    MediaPlayer1->Stop();
    MediaPlayer1->Close();
  }
  // 2. The picture view shows the entry's picture, or gives way to imgKep.
  dbiKep->setVisible(dictionary_.HasPicture());
  // 3. The file itself is looked for only when the button is pressed.
  spbLejatszo->setEnabled(dictionary_.HasMedia());
  // 4. The score document is looked for on every move.
  spbKep->setEnabled(dictionary_.HasScore());
  // 5. Each cue stops the one before, so with both buttons enabled the
  // sound cue is cut off at once by the score cue.
  if (chbHang->isChecked()) {
    if (spbLejatszo->isEnabled()) PlayCueSound(false);
    if (spbKep->isEnabled()) PlayCueSound(true);
  }
  StartupPhaseDone("entry refresh");
}

void TfrmMain::PrepareCueSounds() {
  for (bool scoreCue : {false, true}) {
    const LocatedFile cue = dictionary_.CueFile(scoreCue);
    if (cue.exists) mci::DefaultMci().Prepare(QFile::encodeName(cue.path).toStdString());
  }
}

void TfrmMain::PlayOnDevice(const QString& path, int speedPercent) {
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
  if (speedPercent != 100) MediaPlayer1->SetSpeed(static_cast<std::uint32_t>(speedPercent) * 10);
  // After a failed open this raises "No MCI device open".
  MediaPlayer1->Play();
}

void TfrmMain::PlayCueSound(bool scoreCue) {
  MediaPlayer1->SetDeviceType(dtAutoSelect);
  PlayOnDevice(dictionary_.CuePath(scoreCue));
}

void TfrmMain::spbLejatszoClick() {
  HistoryActedOn();
  spbLejatszo->setEnabled(false);
  const TPlayPlan plan = dictionary_.PlanPlay();
  if (!plan.warning.isEmpty()) ShowWarning(plan.warning);
  if (!plan.openWithSystem.isEmpty() && QFileInfo(plan.openWithSystem).isFile())
    OpenWithSystem(plan.openWithSystem);
  if (!plan.program.isEmpty()) StartProgram(plan.program, plan.argument);
  if (!plan.devicePath.isEmpty()) {
    MediaPlayer1->SetDeviceType(plan.handling == TMediaHandling::mhSequencer ? dtSequencer
                                                                             : dtAutoSelect);
    // A failed open raises here, and the button stays disabled.
    PlayOnDevice(plan.devicePath);
  }
  if (plan.enableAfter) spbLejatszo->setEnabled(true);
}

void TfrmMain::spbKepClick() {
  HistoryActedOn();
  const LocatedFile score = dictionary_.ScoreFile();
  if (score.exists) OpenWithSystem(score.path);
}

void TfrmMain::FormKeyDown(int key, Qt::KeyboardModifiers shift) {
  (void)shift;  // Shift, Ctrl and Alt make no difference.
  if (key == Qt::Key_F3 && spbLejatszo->isEnabled()) spbLejatszoClick();
  if (key == Qt::Key_F4 && spbKep->isEnabled()) spbKepClick();
}

}  // namespace dorvem
