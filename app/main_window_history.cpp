// The window's reading history: Alt+Left and Alt+Right, and the mouse's
// back and forward buttons over the window, go back and forward through
// the entries the user has read (dictionary/reading_history.h), restoring
// the search box's text, the kind of search and the current entry.
//
// The window reports to the history every entry that becomes current
// (after each AfterScroll) and the user's actions on it: playing it,
// opening its score (spbLejatszoClick, spbKepClick), and a click, a wheel
// turn or a scrolling key on the explanation edtSzoveg. None of this
// changes what the controls see: the one event filter here takes only the
// two keys and the two buttons, which the window never used, and lets
// every other event through untouched.
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <exception>
#include <functional>
#include <utility>

#include "app/main_window.h"
#include "app/upper_case_edit.h"
#include "dataset/host/handler_guard.h"
#include "views/db_rich_edit.h"

namespace dorvem {

namespace {

// Installed on the window and every widget in it: turns the history keys
// and buttons into `go` (true: forward), swallowing them, and reports the
// user's reading actions on the explanation's parts to `actedOn`.
class THistoryInput : public QObject {
 public:
  THistoryInput(TfrmMain* window, std::function<void(bool forward)> go,
                std::function<void()> actedOn)
      : QObject(window), window_(window), go_(std::move(go)), actedOn_(std::move(actedOn)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers shift = key->modifiers() & ~Qt::KeypadModifier;
        if (shift == Qt::AltModifier &&
            (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
          go_(key->key() == Qt::Key_Right);
          return true;
        }
        if (watched == window_->edtSzoveg && IsScrollKey(key->key())) actedOn_();
        break;
      }
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick: {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (button == Qt::BackButton || button == Qt::ForwardButton) {
          // Acts on the press; the release and the double click go nowhere.
          if (event->type() == QEvent::MouseButtonPress) go_(button == Qt::ForwardButton);
          return true;
        }
        if (event->type() == QEvent::MouseButtonPress && IsExplanationPart(watched)) actedOn_();
        break;
      }
      case QEvent::Wheel:
        if (IsExplanationPart(watched)) actedOn_();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  static bool IsScrollKey(int key) {
    static constexpr std::array kKeys = {Qt::Key_Up,       Qt::Key_Down, Qt::Key_PageUp,
                                         Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    return std::find(kKeys.begin(), kKeys.end(), key) != kKeys.end();
  }
  // The explanation's text area and its scroll bars.
  bool IsExplanationPart(QObject* watched) const {
    const TDBRichEdit* view = window_->edtSzoveg;
    return watched == view->viewport() || watched == view->verticalScrollBar() ||
           watched == view->horizontalScrollBar();
  }

  TfrmMain* window_;
  std::function<void(bool forward)> go_;
  std::function<void()> actedOn_;
};

}  // namespace

void TfrmMain::ConnectHistory() {
  // After the entry refresh, which the window has always run.
  dictionary_.tblAdat.AfterScroll =
      [this, refresh = std::move(dictionary_.tblAdat.AfterScroll)](TDataSet& dataSet) {
        refresh(dataSet);
        HistoryNoteCurrent();
      };
  // After the search the text started (edtKeresChange, connected first).
  connect(edtKeres, &QLineEdit::textChanged, this, [this] { HistorySearchSettled(); });
  auto* input = new THistoryInput(
      this, [this](bool forward) { GuardHandler([&] { HistoryGo(forward); }); },
      [this] { HistoryActedOn(); });
  // Installed after the key preview, so it sees a key first.
  installEventFilter(input);
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(input);
  HistoryNoteCurrent();
}

void TfrmMain::SetHistoryClock(THistoryClock clock) {
  history_ = TReadingHistory(std::move(clock));
  HistoryNoteCurrent();
}

void TfrmMain::HistorySearchSettled() {
  historyListText_ = edtKeres->text().toStdString();
  historyListEverything_ = EverythingSearch();
  HistoryNoteCurrent();
}

void TfrmMain::HistoryNoteCurrent() {
  if (restoringHistory_) return;
  TDataSet& table = dictionary_.tblAdat;
  std::optional<TReadPlace> place;
  // Runs inside every AfterScroll: what cannot be read counts as no entry,
  // and nothing is raised into the move.
  try {
    if (table.Active() && !table.IsEmpty())
      place = TReadPlace{historyListText_, historyListEverything_, dictionary_.Headword(),
                         dictionary_.Fields[TColumnRole::crIndex].AsString(), table.RecNo()};
  } catch (...) {
    place.reset();
  }
  history_.EntryShown(place);
}

void TfrmMain::HistoryActedOn() {
  history_.ActedOn();
}

void TfrmMain::HistoryGo(bool forward) {
  const std::optional<TReadPlace> place = forward ? history_.Forward() : history_.Back();
  if (!place) return;
  // The moves of the restore are not the user's: only the entry it arrives
  // at is reported, also when a step of it raised.
  restoringHistory_ = true;
  try {
    HistoryRestore(*place);
  } catch (...) {
    restoringHistory_ = false;
    HistoryNoteCurrent();
    throw;
  }
  restoringHistory_ = false;
  HistoryNoteCurrent();
}

void TfrmMain::HistoryRestore(const TReadPlace& place) {
  SetEverythingSearch(place.everything);
  // Runs the search (edtKeresChange) when the text differs.
  edtKeres->setText(QString::fromStdString(place.searchText));
  // The same search on the same data lists the same entries: the entry is
  // at its position again.
  TDataSet& table = dictionary_.tblAdat;
  if (table.Active() && place.position >= 1 && place.position <= table.RecordCount())
    table.GoToNumber(place.position);
}

}  // namespace dorvem
