#include "tests/soak/window_invariants.h"

#include <QApplication>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include "app/main_window.h"
#include "dataset/locale/locale_services.h"
#include "dictionary/media_paths.h"
#include "views/db_grid.h"
#include "views/db_image.h"
#include "views/db_rich_edit.h"
#include "views/rtf/memo_text.h"

namespace dorvem::testing {

namespace {

std::string Utf8(const QString& text) {
  return text.toStdString();
}

// No modal box and no other window shown.
std::string BoxLeftOpen(TfrmMain& window) {
  if (QWidget* modal = QApplication::activeModalWidget())
    return "a modal " + std::string(modal->metaObject()->className()) + " is open";
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top != &window && top->isVisible())
      return "a " + std::string(top->metaObject()->className()) + " window is shown";
  return {};
}

std::string EntryBroken(TfrmMain& window, const RefreshSeen& refresh) {
  TClientDataSet& ds = window.Dictionary().tblAdat;
  const std::uint32_t codePage = ds.TextCodePage();
  const QString headword =
      QString::fromStdString(locale::ToUtf8(window.Dictionary().Headword(), codePage));

  // The grid follows the dataset.
  const TDBGrid& grid = *window.grdAdat;
  if (grid.Row() != ds.ActiveSlot() || grid.RowText(grid.Row()) != headword)
    return "the grid's current row " + std::to_string(grid.Row()) + " (" +
           Utf8(grid.RowText(grid.Row())) + ") is not the current record's slot " +
           std::to_string(ds.ActiveSlot()) + " (" + Utf8(headword) + ")";

  if (CurrentIndex(window) != refresh.index) return {};  // no refresh for this record yet

  // The explanation: what is built so far begins what the memo loads to.
  QTextDocument expected;
  LoadMemoText(window.Dictionary().Fields[TColumnRole::crExplanation].AsString(), codePage,
               expected);
  const QString want = expected.toPlainText();
  const QString shown = static_cast<QTextEdit*>(window.edtSzoveg)->document()->toPlainText();
  if (!want.startsWith(shown) || shown.isEmpty() != want.isEmpty())
    return "the explanation shows \"" + Utf8(shown.left(60)) + "\", not the memo of " +
           Utf8(headword) + " (\"" + Utf8(want.left(60)) + "\")";

  // The buttons and the picture.
  const bool named = !window.Dictionary().Fields[TColumnRole::crMediaFile].IsNull();
  const bool playEnabled = window.spbLejatszo->isEnabled();
  if (playEnabled && !named) return "the play button is enabled without a media name";
  if (refresh.duringAction && playEnabled != named)
    return "after the refresh the play button is " +
           std::string(playEnabled ? "enabled" : "disabled") + " for a media name " +
           (named ? "present" : "absent");
  const QString name = QString::fromStdString(
      locale::ToUtf8(window.Dictionary().Fields[TColumnRole::crMediaFile].AsString(), codePage));
  const bool score = LocateScoreFile(window.Dictionary().Options().programFolder, name).exists;
  if (window.spbKep->isEnabled() != score)
    return "the score button is " + std::string(score ? "disabled" : "enabled") +
           " though the score document of \"" + Utf8(name) + "\" " +
           (score ? "exists" : "does not exist");
  const bool picture = window.Dictionary().HasPicture();
  if (window.dbiKep->isHidden() == picture)
    return "the picture view is " + std::string(picture ? "hidden" : "shown") + " for an entry " +
           (picture ? "with" : "without") + " a picture";
  return {};
}

}  // namespace

int CurrentIndex(TfrmMain& window) {
  TClientDataSet& ds = window.Dictionary().tblAdat;
  if (!ds.Active() || ds.IsEmpty() || window.Dictionary().Fields[TColumnRole::crIndex].IsNull())
    return -1;
  return window.Dictionary().Fields[TColumnRole::crIndex].AsInteger();
}

std::string BrokenInvariant(TfrmMain& window, const RefreshSeen& refresh) {
  if (std::string broken = BoxLeftOpen(window); !broken.empty()) return broken;
  if (!window.Dictionary().tblAdat.Active() || window.Dictionary().tblAdat.IsEmpty()) return {};
  return EntryBroken(window, refresh);
}

}  // namespace dorvem::testing
