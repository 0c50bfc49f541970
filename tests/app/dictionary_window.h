// DictionaryWindow: the main window on a generated dictionary, with a count
// of the dataset's AfterScroll events, for the tests of the grid, the
// navigator and the search.
#pragma once

#include <QApplication>
#include <QTest>
#include <concepts>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/app/window_fixture.h"

namespace dorvem::testing {

class DictionaryWindow {
 public:
  // Headwords that begin with "." pass the start-up filter.
  explicit DictionaryWindow(const std::vector<std::string>& headwords) {
    Start(ProgramFolderFixture::Dictionary(headwords));
  }
  // Crafted entries (a template, so that a braced list of headwords never
  // means rows).
  template <class Row>
  requires std::same_as<Row, DictRow>
  explicit DictionaryWindow(const std::vector<Row>& rows) { Start(Encode(DictionaryModel(rows))); }

  // Shows the window and waits until it is active, the search box focused.
  bool Show() {
    window->show();
    return QTest::qWaitForWindowActive(window.get());
  }

  // Headwords ".A01", ".A02", ... (count below 100).
  static std::vector<std::string> Numbered(int count) {
    std::vector<std::string> words;
    for (int i = 1; i <= count; ++i) words.push_back(".A" + std::to_string(100 + i).substr(1));
    return words;
  }

  std::string Current() const { return window->Dictionary().Headword(); }

  // The AfterScroll count since the last call.
  int TakeAfterScrolls() { return std::exchange(afterScrolls, 0); }

  TfrmMain* operator->() { return window.get(); }

  ProgramFolderFixture folder;  // first made, last gone
  std::unique_ptr<TfrmMain> window;
  int afterScrolls = 0;

 private:
  void Start(const std::vector<std::uint8_t>& dataFile) {
    folder.WriteDataFile(dataFile);
    window = std::make_unique<TfrmMain>(folder.Options());
    // Counted first; the window's own handler, if any, still runs.
    window->Dictionary().tblAdat.AfterScroll =
        [this, own = window->Dictionary().tblAdat.AfterScroll](TDataSet& ds) {
          ++afterScrolls;
          if (own) own(ds);
        };
  }
};

}  // namespace dorvem::testing
