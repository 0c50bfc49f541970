// TfrmMain: the program's one window, frmMain.
//
// The window owns every component for its whole life: the controls (through
// Qt's parent chain, each with the objectName of its component name), and
// as members the client dataset tblAdat with its five persistent fields and
// the data source DataSource1 that links the views to it. The members are
// public, as the components of a form are, for the handlers of later parts
// and for tests.
//
// Creating the window builds all of it (main_window_layout.cpp,
// main_window_data.cpp) and then runs FormCreate, which opens tblAdat on the
// data file in the program folder; an error there is reported and the
// window carries on with tblAdat closed (main_window_events.cpp). The search
// box narrows tblAdat's filter on every change (main_window_search.cpp).
// Every move refreshes the entry's picture, buttons and cue sounds
// (main_window_entry.cpp); the play and score buttons, F3 and F4 play the
// entry's media and open its score (main_window_media.cpp).
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <future>

#include "app/external_programs.h"
#include "app/media_paths.h"
#include "app/paths.h"
#include "app/upper_case_edit.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/data_source.h"
#include "dataset/host/fields.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace dorvem {

class TDBGrid;
class TDBImage;
class TDBNavigator;
class TDBRichEdit;
class TMediaPlayer;

class TfrmMain : public QWidget {
  Q_OBJECT

 public:
  // The window's caption and its client area, which cannot be resized.
  static QString Caption();
  static constexpr int kClientWidth = 1008;
  static constexpr int kClientHeight = 730;
  // The outer size of the window with the frame it was designed with; used
  // to centre it.
  static constexpr int kOuterWidth = 1024;
  static constexpr int kOuterHeight = 768;

  // Builds the window and runs FormCreate. `programFolder` is where the
  // data file is looked for (one trailing separator); by default that of
  // the running executable.
  explicit TfrmMain(QString programFolder = ProgramFolder());
  // Destroys the controls first, so that no view outlives the data source.
  ~TfrmMain() override;

  const QString& ProgramFolderPath() const { return programFolder_; }

  // The video player the play action starts for ".AVI" files: the fixed
  // kVideoPlayerPath; tests point it elsewhere.
  QString VideoPlayerPath;

  // --- Controls, owned through Qt's parent chain -------------------------
  QFrame* pnlAdat = nullptr;
  QFrame* pnlAlso = nullptr;
  QGroupBox* grpKeres = nullptr;
  TUpperCaseEdit* edtKeres = nullptr;
  TDBNavigator* DBNavigator1 = nullptr;
  TDBGrid* grdAdat = nullptr;
  TDBRichEdit* edtSzoveg = nullptr;
  QLabel* imgMorvel = nullptr;
  QToolButton* spbKep = nullptr;
  QToolButton* spbLejatszo = nullptr;
  TMediaPlayer* MediaPlayer1 = nullptr;
  QCheckBox* chbHang = nullptr;
  QLabel* imgKep = nullptr;
  TDBImage* dbiKep = nullptr;
  QPushButton* btnKilep = nullptr;

  // --- Non-visual components ------------------------------------------------
  TClientDataSet tblAdat{"tblAdat"};
  TStringField tblAdatFAJLNEV{"FAJLNEV", 255};
  TStringField tblAdatKSZOVEG{"KSZOVEG", 40};
  TMemoField tblAdatSZOVMAGY{"SZOVMAGY"};
  TBlobField tblAdatGRAPHIC{"GRAPHIC"};
  TIntegerField tblAdatIndex{"Index"};
  TDataSource DataSource1{"DataSource1"};

  // --- Handlers -----------------------------------------------------------
  // Sets tblAdat's file name to the data file and opens it; raises the
  // dataset's error when that fails.
  void FormCreate();
  // Puts the keyboard focus into the search box.
  void FormShow();
  // Closes tblAdat (the data file is never written).
  void FormClose();
  // Runs first for every key pressed in the window (key preview), before
  // the focused control sees the key, which it never consumes: F3 runs the
  // play action when spbLejatszo is enabled, then F4 the score action when
  // spbKep is enabled; Shift, Ctrl and Alt make no difference
  // (main_window_media.cpp). Raises what the actions raise.
  void FormKeyDown(int key, Qt::KeyboardModifiers shift);
  // Closes the window, as the close box does.
  void btnKilepClick();
  // The search (main_window_search.cpp). Runs after every change of the
  // search box's text: an empty text sets the start-up filter and nothing
  // else; any other text clears no-partial-compare, sets the filter to the
  // headwords that begin with its key and opens tblAdat (a new attempt when
  // it is closed). Raises what the dataset raises (a rejected filter text,
  // a failing open); the box keeps its text.
  void edtKeresChange();
  // Runs for every key pressed in the search box, after FormKeyDown: Down
  // moves to the next record, Up to the prior one. The key still reaches
  // the box. Raises the dataset's error (a closed dataset).
  void edtKeresKeyDown(int key, Qt::KeyboardModifiers shift);
  // The entry refresh (main_window_entry.cpp), run by every AfterScroll of
  // tblAdat: stops and closes what MediaPlayer1 plays, shows dbiKep when
  // the entry has a picture, enables spbLejatszo when FAJLNEV is not null
  // and spbKep when the score document exists, and with chbHang ticked
  // plays the sound cue and then the score cue for the enabled buttons.
  // Raises what the media device raises.
  void tblAdatAfterScroll(TDataSet& dataSet);

  // --- Media actions (main_window_media.cpp) ---------------------------------
  // The play action: disables spbLejatszo, looks for the entry's media file
  // (stops silently when it is missing) and plays it by its upper-cased
  // extension: ".MID" and ".RMI" on the sequencer, ".WAV" and ".MP3" chosen
  // by the device, ".SCM" in the score player, ".AVI" in the video player,
  // anything else opened with the system; then enables spbLejatszo again.
  // A missing player gives the warning "Nincs meg a lejátszó program:" +
  // its path and leaves the button disabled. A failed open shows the
  // "Hibakód: " box, and the play that follows raises "No MCI device open".
  void spbLejatszoClick();
  // The score action: opens the entry's score document with the system
  // when it exists; nothing otherwise.
  void spbKepClick();
  // Plays the score cue ("Sounds\kottakep.mp3") or the sound cue
  // ("Sounds\hangkep.mp3") after stopping and closing what plays. A failed
  // open shows the "Hibakód: " box; the play then raises.
  void PlayCueSound(bool scoreCue);
  // Lets the media layer get the two cue sounds ready to play, while the
  // cue sounds are switched on (chbHang): at start and when ticked.
  void PrepareCueSounds();
  // Whether the score document of the data's name `name` (bytes in the
  // data's code page) exists.
  bool ScoreFileExists(const std::string& name) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateWindowSettings();
  void CreateSearchControls();
  void CreateDataViews();
  void CreatePictures();
  // Gives imgKep its picture once decoded.
  void ShowBackground();
  void CreateBottomBar();
  void CreateDataComponents();
  void SetTabOrder();
  // Names and describes every control for assistive technology
  // (main_window_accessible.cpp).
  void DescribeControls();
  void InstallKeyPreview();
  void ConnectSearchHandlers();
  void ConnectEntryHandlers();
  void ConnectMediaHandlers();
  // The current entry's media file and the score document of `name`; a
  // name that is not safe (IsSafeMediaName) names no file.
  LocatedFile MediaFile() const;
  LocatedFile ScoreFile(const std::string& name) const;
  // Bytes of the data's code page as text.
  QString DataText(const std::string& bytes) const;
  // Opens FileName on MediaPlayer1 after stopping and closing what plays,
  // and plays it; a failed open shows the "Hibakód: " box.
  void PlayOnDevice(const QString& path);
  void CentreOnScreen();

  QString programFolder_;
  // imgKep's picture while it is decoded; shown before the window is.
  std::future<QImage> background_;
};

}  // namespace dorvem
