// Test helper: a dataset of the dictionary's shape holding given memos in
// load order, and the explanation view linked to its SZOVMAGY as the window
// links it (449 x 235 pixels, the vertical scroll bar always shown).
#pragma once

#include <QScrollBar>
#include <optional>
#include <string>
#include <vector>

#include "dataset/host/client_dataset.h"
#include "dataset/host/data_source.h"
#include "tests/dataset/test_packets.h"
#include "tests/views/document_description.h"
#include "views/db_rich_edit.h"

namespace dorvem::testing {

class MemoView {
 public:
  explicit MemoView(const std::vector<std::optional<std::string>>& memos, std::uint32_t lcid = 1038)
      : file_(Encode(DictionaryModel(Rows(memos), lcid))) {
    ds.SetFileName(file_.Path());
    source.SetDataSet(&ds);
    edit.SetDataSource(&source);
    edit.SetDataField("SZOVMAGY");
    edit.SetReadOnly(true);
    edit.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit.resize(449, 235);
  }

  // The whole memo shown (the view builds what is left first).
  std::string Shown() const { return Text(*edit.WholeDocument()); }
  // What the view's document holds so far, without building more.
  const QTextDocument& Built() const { return *edit.document(); }

  TClientDataSet ds{"tblAdat"};
  TDataSource source{"DataSource1"};
  TDBRichEdit edit;

 private:
  static std::vector<DictRow> Rows(const std::vector<std::optional<std::string>>& memos) {
    std::vector<DictRow> rows;
    int i = 0;
    for (const auto& m : memos) {
      ++i;
      rows.push_back({"f.mp3", "W" + std::to_string(i), m, std::nullopt, i});
    }
    return rows;
  }

  TempFile file_;
};

}  // namespace dorvem::testing
