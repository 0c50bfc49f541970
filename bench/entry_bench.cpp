// Loading an entry as a move does: the dataset steps to the record, the
// explanation view gets its data change notice and reloads the memo - a
// rich text of about 100 KB in the demo dictionary's style - into its
// document, which the view then lays out at its width.
//
//   build/bin/entry_bench --benchmark_filter=BM_LoadMemo
//
// BM_LoadMemoRead: reading the memo bytes into a document of its own.
// BM_LoadMemoInsertOnly: building that document from a ready list of its
//   blocks and runs - what the text document itself costs.
// BM_LoadMemoOnMove: a move of the dataset with the view attached: what
//   the move itself does before it returns (the view lays out the rest of
//   the document in idle steps of its own afterwards).
// BM_LoadMemoOnMovePainted: the same, and the view painted (its visible
//   part laid out).
// BM_LoadMemoOnMoveDemoLargest: a painted move to the demo dictionary's
//   longest memo (it has none of 100 KB).
// BM_LoadMemoOnMoveFullLayout: the same with the whole document laid out.
// The counter rss_growth_kb is the resident memory gained over the run.
#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bench/support/dictionary_data.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/data_source.h"
#include "views/db_rich_edit.h"
#include "views/rtf/memo_text.h"

namespace {

using namespace dorvem;

constexpr std::size_t kMemoSize = 100 * 1024;

// The dataset with two entries holding the large memo, and the view set up
// as the window sets up edtSzoveg.
class EntryView {
 public:
  explicit EntryView(const std::string& memo) {
    ds.SetFileName(bench::EntryPacketFile(
        "entries", {{".A", memo, std::nullopt}, {".B", memo, std::nullopt}}));
    source.SetDataSet(&ds);
    edit.SetDataSource(&source);
    edit.SetDataField("SZOVMAGY");
    edit.SetReadOnly(true);
    edit.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit.resize(449, 235);
    edit.show();
    ds.Open();
  }

  // Moves to the other entry; the view reloads inside the move.
  void Move() {
    if (forward_) {
      ds.GoNext();
    } else {
      ds.GoPrior();
    }
    forward_ = !forward_;
  }

  TClientDataSet ds{"tblAdat"};
  TDataSource source{"DataSource1"};
  TDBRichEdit edit;

 private:
  bool forward_ = true;
};

void BM_LoadMemoRead(benchmark::State& state) {
  const std::string memo = bench::LargeRichTextMemo(kMemoSize);
  QTextDocument doc;
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadMemoText(memo, 1250, doc));
  }
  state.counters["memo_bytes"] = static_cast<double>(memo.size());
  state.counters["blocks"] = doc.blockCount();
}
BENCHMARK(BM_LoadMemoRead)->Unit(benchmark::kMillisecond);

// The document's own cost: the same blocks and runs as the read memo
// gives, inserted straight from a list, so the reader's share of
// BM_LoadMemoRead is the difference.
void BM_LoadMemoInsertOnly(benchmark::State& state) {
  const std::string memo = bench::LargeRichTextMemo(kMemoSize);
  QTextDocument source;
  LoadMemoText(memo, 1250, source);
  struct Block {
    QTextBlockFormat format;
    QTextCharFormat mark;
    std::vector<std::pair<QString, QTextCharFormat>> runs;
  };
  std::vector<Block> blocks;
  for (QTextBlock b = source.begin(); b.isValid(); b = b.next()) {
    Block block{b.blockFormat(), b.charFormat(), {}};
    for (auto it = b.begin(); !it.atEnd(); ++it)
      block.runs.emplace_back(it.fragment().text(), it.fragment().charFormat());
    blocks.push_back(std::move(block));
  }
  QTextDocument doc;
  doc.setUndoRedoEnabled(false);
  for (auto _ : state) {
    doc.clear();
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      if (i == 0) {
        cursor.setBlockFormat(blocks[i].format);
      } else {
        cursor.insertBlock(blocks[i].format, blocks[i].mark);
      }
      for (const auto& [text, format] : blocks[i].runs) cursor.insertText(text, format);
    }
    cursor.endEditBlock();
  }
  state.counters["blocks"] = doc.blockCount();
}
BENCHMARK(BM_LoadMemoInsertOnly)->Unit(benchmark::kMillisecond);

enum class TAfterMove { kNothing, kPaint, kFullLayout };

// The longest memo of the demo dictionary.
std::string DemoLargestMemo() {
  TClientDataSet ds("tblAdat");
  ds.SetFileName(DORVEM_SOURCE_DIR "/demo/Data/dorvem1.cds");
  ds.Open();
  std::string largest;
  for (ds.GoFirst(); !ds.IsEmpty(); ds.GoNext()) {
    const std::string memo = ds.FieldByName("SZOVMAGY")->AsString();
    if (memo.size() > largest.size()) largest = memo;
    if (ds.AtEnd()) break;
  }
  return largest;
}

void MoveAndLoad(benchmark::State& state, TAfterMove after,
                 const std::string& memo = bench::LargeRichTextMemo(kMemoSize)) {
  EntryView view(memo);
  const std::uint64_t before = bench::CurrentResidentBytes();
  for (auto _ : state) {
    view.Move();
    switch (after) {
      case TAfterMove::kNothing:
        break;
      case TAfterMove::kPaint:
        view.edit.viewport()->repaint();
        break;
      case TAfterMove::kFullLayout:
        benchmark::DoNotOptimize(view.edit.document()->documentLayout()->documentSize());
        break;
    }
  }
  const std::uint64_t after_ = bench::CurrentResidentBytes();
  state.counters["rss_growth_kb"] =
      after_ > before ? static_cast<double>(after_ - before) / 1024.0 : 0.0;
  state.counters["loaded_rich"] = view.edit.LastOutcome() == TMemoOutcome::kRichText ? 1 : 0;
}

void BM_LoadMemoOnMove(benchmark::State& state) {
  MoveAndLoad(state, TAfterMove::kNothing);
}
BENCHMARK(BM_LoadMemoOnMove)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMemoOnMove)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10000)
    ->Name("BM_LoadMemoOnMove/10000_moves");

void BM_LoadMemoOnMovePainted(benchmark::State& state) {
  MoveAndLoad(state, TAfterMove::kPaint);
}
BENCHMARK(BM_LoadMemoOnMovePainted)->Unit(benchmark::kMillisecond);

void BM_LoadMemoOnMoveDemoLargest(benchmark::State& state) {
  const std::string memo = DemoLargestMemo();
  state.counters["memo_bytes"] = static_cast<double>(memo.size());
  MoveAndLoad(state, TAfterMove::kPaint, memo);
}
BENCHMARK(BM_LoadMemoOnMoveDemoLargest)->Unit(benchmark::kMillisecond);

void BM_LoadMemoOnMoveFullLayout(benchmark::State& state) {
  MoveAndLoad(state, TAfterMove::kFullLayout);
}
BENCHMARK(BM_LoadMemoOnMoveFullLayout)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
