// Loading an entry as a move does: the dataset steps to the record, and
// the explanation view and the picture view get their data change notices
// and load the record's memo and picture. The memo is a rich text of about
// 100 KB in the demo dictionary's style, the picture a 996 x 447 24-bit
// bitmap behind the graphic header (the demo dictionary's largest entry
// has about that size). Each view is set up as the window sets up
// edtSzoveg and dbiKep, alone in its own dataset of two such entries.
//
//   build/bin/entry_bench --benchmark_filter='BM_LoadMemo|BM_LoadPicture'
//
// The memo half:
// BM_LoadMemoRead: reading the memo bytes into a document of its own, all
//   of it (as the data check does).
// BM_LoadMemoInsertOnly: building that document from a ready list of its
//   blocks and runs - what the text document itself costs.
// BM_LoadMemoOnMove: a move of the dataset with the view attached: what the
//   move itself does before it returns (the view builds and lays out the
//   rest of the memo while the program is idle).
// BM_LoadMemoOnMovePainted: the same, and the view painted.
// BM_LoadMemoOnMoveSettled: a painted move after the previous memo was
//   built and laid out to its end, as between the moves of a held arrow key
//   (about 30 a second): the document dropped is then a whole one.
// BM_LoadMemoIdleSteps: the idle part that follows a move, all its passes
//   of the event loop; longest_pass_ms is the longest of them.
// BM_LoadMemoOnMoveDemoLargest: a painted move to the demo dictionary's
//   longest memo (it has none of 100 KB).
// BM_LoadMemoOnMoveFullLayout: a move with the whole memo built and laid
//   out at once.
//
// The picture half:
// BM_LoadPictureDecode: the blob's checks and Qt's BMP reader
//   (DecodePictureBlob).
// BM_LoadPictureQtLoadFromData: Qt's reader on the bitmap file alone, for
//   comparison.
// BM_LoadPictureOnMove: a move with the picture view attached.
// BM_LoadPictureOnMovePainted: the same, and the view painted.
//
// The .../10000_moves runs repeat a move 10,000 times; the counter
// rss_growth_kb is the resident memory gained over a run after its first 100
// moves. The held-key runs paint the views and let the event loop pass once
// after each move (a memo is then never built to its end); the memo's
// .../1000_settled_moves run lets it pass until the memo is built and the
// document dropped is freed, as between the moves of a held key.
#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <chrono>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bench/support/dictionary_data.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/data_source.h"
#include "views/colors.h"
#include "views/db_image.h"
#include "views/db_rich_edit.h"
#include "views/picture/picture_blob.h"
#include "views/rtf/memo_text.h"

namespace {

using namespace dorvem;

constexpr std::size_t kMemoSize = 100 * 1024;
constexpr int kPictureWidth = 996;
constexpr int kPictureHeight = 447;

// The resident memory gained over a run of moves, counted from the end of
// its first kWarmUpMoves moves (the allocator's pools, Qt's caches and the
// documents of the first moves settle there) or from its start when it is
// shorter; a leak of even 100 bytes a move shows over 10,000 moves.
class RssGrowth {
 public:
  static constexpr int kWarmUpMoves = 100;

  void AfterMove() {
    if (++moves_ == kWarmUpMoves) before_ = bench::CurrentResidentBytes();
  }
  void Report(benchmark::State& state) const {
    const std::uint64_t now = bench::CurrentResidentBytes();
    state.counters["rss_growth_kb"] =
        now > before_ ? static_cast<double>(now - before_) / 1024.0 : 0.0;
  }

 private:
  int moves_ = 0;
  std::uint64_t before_ = bench::CurrentResidentBytes();
};

// A dataset of two entries and the moves between them.
class TwoEntries {
 public:
  explicit TwoEntries(const std::string& name, const std::vector<bench::BenchEntry>& entries) {
    ds.SetFileName(bench::EntryPacketFile(name, entries));
    ds.SetCacheFolder(bench::CacheFolder());
    source.SetDataSet(&ds);
  }

  // Moves to the other entry; the views reload inside the move.
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

 private:
  bool forward_ = true;
};

// ---- The memo half --------------------------------------------------------

// `memo` with one more space at the end of its text: the same work to
// load, but not the memo shown, which the view would keep.
std::string Other(const std::string& memo) {
  std::string other = memo;
  const std::size_t end = other.rfind('}');
  other.insert(end == std::string::npos ? other.size() : end, " ");
  return other;
}

// Two entries holding `memo` and Other(memo), with the view set up as the
// window sets up edtSzoveg.
class MemoView : public TwoEntries {
 public:
  explicit MemoView(const std::string& memo)
      : TwoEntries("entries", {{".A", memo, std::nullopt}, {".B", Other(memo), std::nullopt}}) {
    edit.SetDataSource(&source);
    edit.SetDataField("SZOVMAGY");
    edit.SetReadOnly(true);
    edit.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit.resize(449, 235);
    edit.show();
    ds.Open();
  }

  void Paint() { edit.viewport()->repaint(); }

  // What the program does while idle after a move: the passes of the event
  // loop that build the rest of the memo, and the one after that frees the
  // document dropped.
  void Settle() {
    for (int pass = 0; pass < 100000 && edit.Loading(); ++pass) QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }

  TDBRichEdit edit;
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

enum class TAfterMove { kNothing, kPaint, kSettle, kFullLayout, kHeldKey };

// The longest memo of the demo dictionary.
std::string DemoLargestMemo() {
  TClientDataSet ds("tblAdat");
  ds.SetFileName(DORVEM_SOURCE_DIR "/demo/Data/dorvem1.cds");
  ds.SetCacheFolder(bench::CacheFolder());
  ds.Open();
  std::string largest;
  for (ds.GoFirst(); !ds.IsEmpty(); ds.GoNext()) {
    const std::string memo = ds.FieldByName("SZOVMAGY")->AsString();
    if (memo.size() > largest.size()) largest = memo;
    if (ds.AtEnd()) break;
  }
  return largest;
}

void MoveAndLoadMemo(benchmark::State& state, TAfterMove after,
                     const std::string& memo = bench::LargeRichTextMemo(kMemoSize)) {
  MemoView view(memo);
  RssGrowth rss;
  for (auto _ : state) {
    view.Move();
    rss.AfterMove();
    switch (after) {
      case TAfterMove::kNothing:
        break;
      case TAfterMove::kPaint:
        view.Paint();
        break;
      case TAfterMove::kSettle:
        view.Paint();
        state.PauseTiming();
        view.Settle();
        state.ResumeTiming();
        break;
      case TAfterMove::kFullLayout:
        benchmark::DoNotOptimize(view.edit.WholeDocument()->documentLayout()->documentSize());
        break;
      case TAfterMove::kHeldKey:
        view.Paint();
        QCoreApplication::processEvents();
        break;
    }
  }
  rss.Report(state);
  state.counters["loaded_rich"] = view.edit.LastOutcome() == TMemoOutcome::kRichText ? 1 : 0;
}

void BM_LoadMemoOnMove(benchmark::State& state) {
  MoveAndLoadMemo(state, TAfterMove::kNothing);
}
BENCHMARK(BM_LoadMemoOnMove)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMemoOnMove)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10000)
    ->Name("BM_LoadMemoOnMove/10000_moves");

void BM_LoadMemoOnMovePainted(benchmark::State& state) {
  MoveAndLoadMemo(state, TAfterMove::kPaint);
}
BENCHMARK(BM_LoadMemoOnMovePainted)->Unit(benchmark::kMillisecond);

void BM_LoadMemoOnMoveSettled(benchmark::State& state) {
  MoveAndLoadMemo(state, TAfterMove::kSettle);
}
BENCHMARK(BM_LoadMemoOnMoveSettled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMemoOnMoveSettled)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1000)
    ->Name("BM_LoadMemoOnMoveSettled/1000_settled_moves");

void BM_LoadMemoOnMoveHeldKey(benchmark::State& state) {
  MoveAndLoadMemo(state, TAfterMove::kHeldKey);
}
BENCHMARK(BM_LoadMemoOnMoveHeldKey)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10000)
    ->Name("BM_LoadMemoOnMoveHeldKey/10000_moves");

void BM_LoadMemoIdleSteps(benchmark::State& state) {
  MemoView view(bench::LargeRichTextMemo(kMemoSize));
  double longest = 0;
  std::int64_t passes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    view.Move();
    view.Paint();
    state.ResumeTiming();
    while (view.edit.Loading()) {
      const auto start = std::chrono::steady_clock::now();
      QCoreApplication::processEvents();
      const std::chrono::duration<double, std::milli> pass =
          std::chrono::steady_clock::now() - start;
      longest = std::max(longest, pass.count());
      ++passes;
    }
  }
  state.counters["passes"] =
      benchmark::Counter(static_cast<double>(passes), benchmark::Counter::kAvgIterations);
  state.counters["longest_pass_ms"] = longest;
}
BENCHMARK(BM_LoadMemoIdleSteps)->Unit(benchmark::kMillisecond);

void BM_LoadMemoOnMoveDemoLargest(benchmark::State& state) {
  const std::string memo = DemoLargestMemo();
  state.counters["memo_bytes"] = static_cast<double>(memo.size());
  MoveAndLoadMemo(state, TAfterMove::kPaint, memo);
}
BENCHMARK(BM_LoadMemoOnMoveDemoLargest)->Unit(benchmark::kMillisecond);

void BM_LoadMemoOnMoveFullLayout(benchmark::State& state) {
  MoveAndLoadMemo(state, TAfterMove::kFullLayout);
}
BENCHMARK(BM_LoadMemoOnMoveFullLayout)->Unit(benchmark::kMillisecond);

// ---- The picture half -----------------------------------------------------

const std::vector<std::uint8_t>& LargePicture() {
  static const std::vector<std::uint8_t> blob = bench::PictureBlob24(kPictureWidth, kPictureHeight);
  return blob;
}

// Two entries holding the picture, with the view set up as the window sets
// up dbiKep (shown, as the window shows it for a record with a picture).
class PictureView : public TwoEntries {
 public:
  PictureView()
      : TwoEntries("pictures",
                   {{".A", std::nullopt, LargePicture()}, {".B", std::nullopt, LargePicture()}}) {
    image.SetDataSource(&source);
    image.SetDataField("GRAPHIC");
    image.SetReadOnly(true);
    image.SetColor(kWhite);
    image.resize(1000, 451);
    image.show();
    ds.Open();
  }

  TDBImage image;
};

void BM_LoadPictureDecode(benchmark::State& state) {
  const std::vector<std::uint8_t>& blob = LargePicture();
  TPictureLoad load;
  for (auto _ : state) {
    load = DecodePictureBlob(blob);
    benchmark::DoNotOptimize(load.image.constBits());
  }
  state.counters["ok"] = load.outcome == TBitmapCheck::kOk ? 1 : 0;
  state.counters["blob_bytes"] = static_cast<double>(blob.size());
}
BENCHMARK(BM_LoadPictureDecode)->Unit(benchmark::kMillisecond);

void BM_LoadPictureQtLoadFromData(benchmark::State& state) {
  const std::span<const std::uint8_t> file = std::span(LargePicture()).subspan(8);
  QImage image;
  for (auto _ : state) {
    image.loadFromData(file.data(), static_cast<int>(file.size()), "BMP");
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["ok"] = image.width() == kPictureWidth ? 1 : 0;
}
BENCHMARK(BM_LoadPictureQtLoadFromData)->Unit(benchmark::kMillisecond);

void MoveAndLoadPicture(benchmark::State& state, TAfterMove after) {
  PictureView view;
  RssGrowth rss;
  for (auto _ : state) {
    view.Move();
    rss.AfterMove();
    if (after != TAfterMove::kNothing) view.image.repaint();
    if (after == TAfterMove::kHeldKey) QCoreApplication::processEvents();
  }
  rss.Report(state);
  state.counters["shown"] = view.image.Picture().width() == kPictureWidth ? 1 : 0;
}

void BM_LoadPictureOnMove(benchmark::State& state) {
  MoveAndLoadPicture(state, TAfterMove::kNothing);
}
BENCHMARK(BM_LoadPictureOnMove)->Unit(benchmark::kMillisecond);

void BM_LoadPictureOnMovePainted(benchmark::State& state) {
  MoveAndLoadPicture(state, TAfterMove::kPaint);
}
BENCHMARK(BM_LoadPictureOnMovePainted)->Unit(benchmark::kMillisecond);

void BM_LoadPictureOnMoveHeldKey(benchmark::State& state) {
  MoveAndLoadPicture(state, TAfterMove::kHeldKey);
}
BENCHMARK(BM_LoadPictureOnMoveHeldKey)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10000)
    ->Name("BM_LoadPictureOnMoveHeldKey/10000_moves");

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
