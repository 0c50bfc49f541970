// The search: every change of the search box's text re-filters tblAdat to
// the headwords that begin with it, and Up and Down in the box move through
// the list without leaving it.
#include <exception>

#include "app/main_window.h"
#include "app/search_key.h"
#include "app/upper_case_edit.h"
#include "dataset/host/handler_guard.h"

namespace dorvem {

void TfrmMain::ConnectSearchHandlers() {
  // Every change of the text, typed, pasted or set.
  connect(edtKeres, &QLineEdit::textChanged, this,
          [this] { GuardHandler([this] { edtKeresChange(); }); });
  // Letters become the data's capitals, by the data's locale.
  edtKeres->CasingLocale = [this] { return tblAdat.Lcid(); };
  // The edit guards its key handler itself; it runs after the window's key
  // preview.
  edtKeres->OnKeyDown = [this](int key, Qt::KeyboardModifiers shift) {
    edtKeresKeyDown(key, shift);
  };
}

void TfrmMain::edtKeresChange() {
  const QString text = edtKeres->text();
  if (text.isEmpty()) {
    tblAdat.SetFilter(kEmptySearchFilter);
    return;
  }
  const std::string key = SearchKey(ToCodePage(text, tblAdat.TextCodePage()));
  // On the open dataset each assignment moves to the first record of the
  // list it leaves: first of the old list, then of the new one. When the
  // first move fails (that entry's picture cannot be shown, say), the new
  // filter is still set, or every later keystroke would fail on the same
  // entry and the list could never change; the error is reported after it.
  std::exception_ptr leaving;
  try {
    tblAdat.SetFilterOptions(
        static_cast<TFilterOptions>(tblAdat.FilterOptions() & ~foNoPartialCompare));
  } catch (...) {
    leaving = std::current_exception();
  }
  tblAdat.SetFilter(SearchFilter(key));
  tblAdat.Open();
  if (leaving) std::rethrow_exception(leaving);
}

void TfrmMain::edtKeresKeyDown(int key, Qt::KeyboardModifiers shift) {
  (void)shift;
  if (key == Qt::Key_Down) tblAdat.GoNext();
  if (key == Qt::Key_Up) tblAdat.GoPrior();
}

}  // namespace dorvem
