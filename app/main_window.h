// TfrmMain: the program's one window, frmMain, a view of the dictionary.
//
// Its jobs, and where each lives:
//   - the 15 controls, their places, names, fonts and colours, the
//     background picture, centring (main_window_layout.cpp);
//   - the wiring between the controls and the dictionary object: the search
//     box's changes and keys, the entry refresh after every move, the play
//     and score actions, F3/F4 from anywhere, the cue sounds
//     (main_window_actions.cpp);
//   - creating, showing and closing, the key preview (main_window.cpp);
//   - names and descriptions for assistive technology
//     (main_window_accessible.cpp);
//   - the reading history, back and forward with Alt+Left, Alt+Right and
//     the mouse's back and forward buttons (main_window_history.cpp).
//   - what the window adds to its design, reached only through keys and
//     menus the design does not use: the everything search (Ctrl+F, Esc),
//     following cross-references (a click, Ctrl+Enter) and the search box's
//     context menu that names them (main_window_everything.cpp).
// What the dictionary knows (the dataset and its fields, the search, the
// current entry's files) is TDictionary's (dictionary/dictionary.h); the
// window owns one for its whole life. Controls are owned through Qt's
// parent chain, each with the objectName of its component name.
#pragma once

#include <QImage>
#include <QList>
#include <QPalette>
#include <QString>
#include <QWidget>
#include <future>

#include "app/upper_case_edit.h"
#include "dictionary/dictionary.h"
#include "dictionary/reading_history.h"

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
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

  // Builds the window on a dictionary of `options` and runs FormCreate,
  // which opens it; an error there is reported and the window carries on
  // with the dataset closed.
  explicit TfrmMain(TDictionaryOptions options);
  // Destroys the controls first, so that no view outlives the data source.
  ~TfrmMain() override;

  TDictionary& Dictionary() { return dictionary_; }

  // --- Additions, reached only through keys, menus and arguments the
  // window's design does not assign ----------------------------------------
  // A search given from outside (the command line, a later start): unless
  // `search` is empty, chooses the search kind (the everything search with
  // `everything`) and types `search` into the search box over what it
  // holds, one character at a time as keys would (TypeSearch).
  void TakeSearch(const QString& search, bool everything);
  // A later start's hand-over (single_instance.h): brings the window to the
  // front, active and not minimised, then TakeSearch.
  void ShowFromOutside(const QString& search, bool everything);
  // Types `text` into the search box as its keys would: the focus goes to
  // the box, the first character replaces the box's text, each character
  // is one change of the box (and so one search), and characters no key
  // types (controls, line breaks) are left out.
  void TypeSearch(const QString& text);
  // The explanation's text size in percent of its design (text_zoom.h).
  int TextZoomPercent() const;
  // Sets it, limited to the allowed range, shows the explanation at it and
  // keeps it in the user's settings when there is a settings file.
  void SetTextZoomPercent(int percent);
  // The actions that play the entry's sound or MIDI piece slower (75 %, 50
  // % of its tempo, the pitch kept), enabled when the entry's media plays
  // on the media device; owned by `parent`. Offered in the play button's
  // and the search box's context menus.
  QList<QAction*> SlowPlayActions(QObject* parent);
  // Replaces the reading history's clock (a steady clock by default), for
  // tests; the history starts anew from the current entry.
  void SetHistoryClock(THistoryClock clock);
  // Whether the search box runs the everything search (headwords and
  // explanations, TDictionary::SearchEverything) instead of the headword
  // search. Off at start.
  bool EverythingSearch() const { return everything_; }
  // Switches the kind of search, as Ctrl+F does: the label above the box
  // and the box's look show it, the box keeps its text and the list
  // follows at once. Nothing happens when the kind does not change. Raises
  // what the search raises.
  void SetEverythingSearch(bool on);
  // Goes to the entry `headword` through the headword search, as if it had
  // been typed: leaves the everything search and sets the box's text
  // (searching again when the box holds that text already).
  void FollowReference(const QString& headword);
  // Follows the explanation's cross-reference at or after its text cursor,
  // as Ctrl+Enter does; false when there is none.
  bool FollowReferenceAtCursor();

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

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // --- Handlers -----------------------------------------------------------
  // Opens the dictionary; raises its error.
  void FormCreate();
  // Puts the keyboard focus into the search box.
  void FormShow();
  // Closes the dictionary's dataset.
  void FormClose();
  // Runs first for every key pressed in the window (key preview), before
  // the focused control sees the key, which it never consumes: F3 runs the
  // play action when spbLejatszo is enabled, then F4 the score action when
  // spbKep is enabled; Shift, Ctrl and Alt make no difference.
  void FormKeyDown(int key, Qt::KeyboardModifiers shift);
  // The window's added keys, after FormKeyDown: Ctrl+F switches the kind of
  // search, Esc in the everything search returns to the headword search,
  // Ctrl+Enter follows a cross-reference. True when the key was one of
  // them (the control then does not see it).
  bool AddedKeyDown(int key, Qt::KeyboardModifiers shift);
  void btnKilepClick();
  // The search box's text, after every change, to the dictionary's search.
  void edtKeresChange();
  // Down and Up in the search box (after FormKeyDown) to the next and the
  // prior entry; the key still reaches the box.
  void edtKeresKeyDown(int key, Qt::KeyboardModifiers shift);
  // The entry refresh, run by every AfterScroll of tblAdat: stops and
  // closes what MediaPlayer1 plays, shows dbiKep when the entry has a
  // picture, enables spbLejatszo when it has a media name and spbKep when
  // its score document exists, and with chbHang ticked plays the sound cue
  // and then the score cue for the enabled buttons.
  void tblAdatAfterScroll(TDataSet& dataSet);
  // Tells the history the entry was acted on, disables spbLejatszo and
  // carries out the dictionary's play plan: the
  // warning, the external program or the system, the media device; then
  // enables the button again unless the plan says otherwise. A failed open
  // shows the "Hibakód: " box, and the play that follows raises.
  void spbLejatszoClick();
  // Tells the history the entry was acted on; opens the entry's score
  // document with the system when it exists.
  void spbKepClick();
  // Plays the score cue or the sound cue after stopping what plays.
  void PlayCueSound(bool scoreCue);
  // Lets the media layer get the two cue sounds ready while chbHang is
  // ticked: at start and when ticked again.
  void PrepareCueSounds();
  // Opens `path` on MediaPlayer1 after stopping and closing what plays, and
  // plays it; a failed open shows the "Hibakód: " box.
  // With `speedPercent` other than 100 the device plays at that share of
  // the media's tempo.
  void PlayOnDevice(const QString& path, int speedPercent = 100);
  // Plays the entry's sound or MIDI piece at `speedPercent` of its tempo,
  // when it is one the media device plays; the play button is left as it
  // is.
  void PlaySlower(int speedPercent);
  // Ctrl+plus (or Ctrl+=), Ctrl+minus, Ctrl+0 anywhere; true when `key`
  // was one.
  bool TextZoomKey(int key, Qt::KeyboardModifiers shift);
  // Ctrl+wheel over the explanation, a step per notch; true when `event`
  // was one.
  bool TextZoomWheel(QObject* watched, QEvent* event);
  // The context menus of the play button and the search box.
  void ShowPlayButtonMenu(const QPoint& pos);
  // Shows the text size kept in the user's settings (nothing without one).
  void RestoreTextZoom();

  // --- Building ------------------------------------------------------------
  void CreateWindowSettings();
  void CreateSearchControls();
  void CreateDataViews();
  void CreatePictures();
  // Gives imgKep its picture once decoded.
  void ShowBackground();
  void CreateBottomBar();
  void SetTabOrder();
  void DescribeControls();
  void InstallKeyPreview();
  void ConnectHandlers();
  // The cross-reference links of edtSzoveg and the search box's menu.
  void ConnectEverything();
  // Appends the added actions to the search box's context menu: the
  // everything search's, following a reference, and the slower plays.
  void AddSearchActions(QMenu& menu);
  // The label, the box's look and its description for the kind of search.
  void ShowSearchKind();
  void CentreOnScreen();
  void ConnectAdditions();

  // --- Reading history (main_window_history.cpp) ---------------------------
  // Chains the history's note to AfterScroll and installs the filter that
  // takes Alt+Left, Alt+Right and the mouse's back and forward buttons and
  // sees the reading actions on edtSzoveg.
  void ConnectHistory();
  // A search has run to its end: its text and kind are those of the list
  // shown from now on; tells the history the current entry.
  void HistorySearchSettled();
  // Tells the history the current entry (none with an empty list or the
  // dataset closed), with the search that made the list; nothing while a
  // restore runs. Raises nothing.
  void HistoryNoteCurrent();
  // The user played the entry, opened its score, or scrolled or clicked
  // its text.
  void HistoryActedOn();
  // Back (or forward) in the history: restores the place, then reports the
  // entry arrived at. Nothing at either end. Raises what the search or the
  // move raises.
  void HistoryGo(bool forward);
  // Sets the kind of search and the search box's text (which runs the
  // search), then moves to the entry's position in the list.
  void HistoryRestore(const TReadPlace& place);

  TDictionary dictionary_;
  int textZoomPercent_ = 100;
  int wheelRest_ = 0;  // Ctrl+wheel turns short of a notch
  bool everything_ = false;
  // The headword search's label, box colours and description, as built.
  QString headwordTitle_;
  QPalette headwordPalette_;
  QString headwordDescription_;
  // imgKep's picture while it is decoded; shown before the window is.
  std::future<QImage> background_;
  TReadingHistory history_;
  // A history restore is running: its moves are not reported.
  bool restoringHistory_ = false;
  // The search box's text and the kind of search of the list shown. While
  // a search runs, the box holds the new text but the moves it makes are
  // still within the old list (see TDictionary::Search), so the entries
  // they reach go with the old search, which finds them again.
  std::string historyListText_;
  bool historyListEverything_ = false;
};

}  // namespace dorvem
