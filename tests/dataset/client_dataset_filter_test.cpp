// Filtering as the window meets it: Filter, FilterOptions, Filtered and
// OnFilterRecord on the client dataset, and the engine cursor's attach and
// detach underneath.
#include <gtest/gtest.h>

#include <algorithm>

#include "dataset/filter/expr_parser.h"
#include "dataset/host/application_errors.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "dataset/index/dsidx.h"
#include "tests/dataset/index_support.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;
using V = std::vector<std::string>;

class ClientDataSetFilterTest : public ::testing::Test {
 protected:
  void Open(const std::vector<std::optional<std::string>>& headwords,
            const std::string& filter = "KSZOVEG='.*'") {
    file_ = std::make_unique<TempFile>(Encode(DictionaryModel(HeadwordRows(headwords))));
    ds_.SetFileName(file_->Path());
    ds_.SetIndexFieldNames("KSZOVEG");
    ds_.SetFilter(filter);
    ds_.SetFiltered(true);
    ds_.AfterScroll = [this](TDataSet&) { ++afterScrolls_; };
    ds_.Open();
  }
  // Headword and Index of the records in the window, top to bottom.
  V Window() {
    V out;
    for (int i = 0; i < ds_.WindowRecordCount(); ++i) {
      const TDataSet::ActiveSlotScope slot(ds_, i);
      out.push_back(Field("KSZOVEG") + Field("Index"));
    }
    return out;
  }
  // Every visible record, from the top (moves the cursor).
  V Rows() {
    V out;
    ds_.GoFirst();
    while (!ds_.IsEmpty()) {
      out.push_back(Field("KSZOVEG") + Field("Index"));
      ds_.GoNext();
      if (ds_.AtEnd()) break;
    }
    return out;
  }
  std::string Field(const char* name) { return ds_.FieldByName(name)->AsString(); }
  std::string Error(const std::function<void()>& f) {
    try {
      f();
    } catch (const EDatabaseError& e) {
      return e.what();
    }
    return "";
  }
  DSCursor* Cursor() { return static_cast<DSCursor*>(ds_.Cursor()); }

  std::unique_ptr<TempFile> file_;
  TClientDataSet ds_{"tblAdat"};
  int afterScrolls_ = 0;
};

TEST_F(ClientDataSetFilterTest, EachKeystrokeNarrowsInHeadwordOrder) {
  Open({"ALMA", ".B", "ALT", "B", ".A", "ALMA", "al", std::nullopt});
  EXPECT_EQ(Rows(), (V{".A5", ".B2"}));
  afterScrolls_ = 0;
  // The search box: options first (unchanged), then the new text.
  ds_.SetFilterOptions(ds_.FilterOptions());
  EXPECT_EQ(afterScrolls_, 1);
  ds_.SetFilter("KSZOVEG='AL*'");
  EXPECT_EQ(afterScrolls_, 2);
  EXPECT_EQ(ds_.RecordCount(), 3);
  EXPECT_EQ(Window(), V{"ALMA1"});
  EXPECT_EQ(Rows(), (V{"ALMA1", "ALMA6", "ALT3"}));
  // The same text again: GoFirst only, no rebuild.
  const std::uint32_t counter = Cursor()->ActiveIndex()->ChangeCounter();
  afterScrolls_ = 0;
  ds_.SetFilter("KSZOVEG='AL*'");
  EXPECT_EQ(afterScrolls_, 1);
  EXPECT_EQ(Cursor()->ActiveIndex()->ChangeCounter(), counter);
  ds_.SetFilterOptions(foCaseInsensitive);
  EXPECT_EQ(Rows(), (V{"al7", "ALMA1", "ALMA6", "ALT3"}));
  ds_.SetFilterOptions(0);
  ds_.SetFilter("");
  EXPECT_EQ(ds_.RecordCount(), 8);
  ds_.SetFilter("KSZOVEG='.*'");
  EXPECT_EQ(Rows(), (V{".A5", ".B2"}));
}

// Equal headwords in the list a keystroke makes end where the index's
// unstable sort of the records taken, in record order, leaves them; the
// sequence for 25 equal keys is the sort's own, worked through by hand.
TEST_F(ClientDataSetFilterTest, ASearchListsEqualHeadwordsAsTheSortLeavesThem) {
  std::vector<std::optional<std::string>> words;
  std::vector<std::string> allegro;  // "ALLEGRO" and Index, in record order
  for (int i = 1; words.size() < 40; ++i) {
    if (i % 3 == 0) {
      words.push_back("BASSO");
    } else if (allegro.size() < 25) {
      words.push_back("ALLEGRO");
      allegro.push_back("ALLEGRO" + std::to_string(words.size()));
    } else {
      words.push_back("ALT");
    }
  }
  V expected;
  for (int k :
       {20, 15, 16, 17, 18, 19, 14, 21, 22, 23, 24, 25, 1, 7, 2, 3, 4, 5, 6, 13, 8, 9, 10, 11, 12})
    expected.push_back(allegro[k - 1]);
  Open(words);
  ds_.SetFilter("KSZOVEG='ALL*'");  // a keystroke: the list is sorted anew
  EXPECT_EQ(Rows(), expected);
  // The same records named as a set, which the index takes all at once.
  std::uint64_t set = 0;
  for (std::size_t r = 0; r < words.size(); ++r)
    if (words[r] == "ALLEGRO") set |= std::uint64_t{1} << r;
  ds_.SetFilters("", std::vector<std::uint64_t>{set});
  EXPECT_EQ(Rows(), expected);
}

TEST_F(ClientDataSetFilterTest, OnlyAStarAfterTextMakesAPrefix) {
  const auto sorted = [](V rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
  };
  // A lone star, or one inside the text, is that character.
  Open({"*", "A*", "AB", "B", "A*C"}, "KSZOVEG='*'");
  EXPECT_EQ(Rows(), (V{"*1"}));
  ds_.SetFilter("KSZOVEG='A*C'");
  EXPECT_EQ(Rows(), (V{"A*C5"}));
  ds_.SetFilter("KSZOVEG='A*'");
  EXPECT_EQ(sorted(Rows()), (V{"A*2", "A*C5", "AB3"}));
  ds_.SetFilterOptions(foNoPartialCompare);
  EXPECT_EQ(Rows(), (V{"A*2"}));
}

TEST_F(ClientDataSetFilterTest, ARefusedTextLeavesTheOldTextAndAnUnfilteredIndex) {
  Open({"ALMA", ".B", "ALT", "B"}, "KSZOVEG='A*'");
  EXPECT_EQ(Window(), V{"ALMA1"});
  afterScrolls_ = 0;
  EXPECT_EQ(Error([&] { ds_.SetFilter("KSZOVEG='A' AND B*'"); }), "tblAdat: Field 'B' not found");
  EXPECT_EQ(ds_.Filter(), "KSZOVEG='A*'");
  EXPECT_EQ(afterScrolls_, 0);
  EXPECT_EQ(Window(), V{"ALMA1"});  // the rows shown stay until the next move
  EXPECT_EQ(ds_.RecordCount(), 4);  // but the index holds every record
  ds_.GoNext();                     // from the record the cursor stood on
  EXPECT_EQ(Window(), V{"ALT3"});
  // An engine refusal leaves the same state. (The same text again attaches
  // nothing: the list stays unfiltered, its first record is ".B".)
  ds_.SetFilter("KSZOVEG='A*'");
  EXPECT_EQ(Window(), V{".B2"});
  EXPECT_EQ(Error([&] { ds_.SetFilter("KSZOVEG = Index"); }), "Type mismatch in expression.");
  EXPECT_EQ(ds_.Filter(), "KSZOVEG='A*'");
  EXPECT_EQ(ds_.RecordCount(), 4);
  ds_.GoNext();
  EXPECT_EQ(Window(), V{"ALMA1"});
  // The next text filters.
  ds_.SetFilter("KSZOVEG='B*'");
  EXPECT_EQ(Rows(), V{"B4"});
}

TEST_F(ClientDataSetFilterTest, ARecordSetNarrowsTheOrderWithTheTextOrAlone) {
  Open({"ALMA", ".B", "ALT", "B"}, "KSZOVEG='A*'");
  // Records 1, 2 and 4; bits past the table are ignored.
  ds_.SetRecordFilter(std::vector<std::uint64_t>{0b1011 | (std::uint64_t{1} << 40)});
  EXPECT_EQ(Rows(), V{"ALMA1"});
  ds_.SetFilter("");
  EXPECT_EQ(Rows(), (V{".B2", "ALMA1", "B4"}));
  // A new set replaces the old one; reopening attaches it again.
  ds_.SetRecordFilter(std::vector<std::uint64_t>{0b0110});
  EXPECT_EQ(Rows(), (V{".B2", "ALT3"}));
  ds_.Close();
  ds_.Open();
  EXPECT_EQ(Rows(), (V{".B2", "ALT3"}));
  ds_.SetRecordFilter(std::nullopt);
  EXPECT_EQ(Rows(), (V{".B2", "ALMA1", "ALT3", "B4"}));
}

// SetFilters changes the text and the set as one: the rows both leave,
// after one move; closed, both are stored and attached at the opening.
TEST_F(ClientDataSetFilterTest, TextAndSetChangedTogether) {
  Open({"ALMA", ".B", "ALT", "B"});
  EXPECT_EQ(Rows(), V{".B2"});
  afterScrolls_ = 0;
  ds_.SetFilters("", std::vector<std::uint64_t>{0b1001});
  EXPECT_EQ(afterScrolls_, 1);
  EXPECT_EQ(Rows(), (V{"ALMA1", "B4"}));
  ds_.SetFilters("KSZOVEG='A*'", std::vector<std::uint64_t>{0b0110});
  EXPECT_EQ(Rows(), V{"ALT3"});
  ds_.SetFilters("KSZOVEG='.*'", std::nullopt);
  EXPECT_EQ(Rows(), V{".B2"});
  EXPECT_FALSE(ds_.HasRecordFilter());
  ds_.SetFilters("", std::nullopt);
  EXPECT_EQ(Rows(), (V{".B2", "ALMA1", "ALT3", "B4"}));
  ds_.Close();
  ds_.SetFilters("KSZOVEG='A*'", std::vector<std::uint64_t>{0b1100});
  ds_.Open();
  EXPECT_EQ(Rows(), V{"ALT3"});
}

TEST_F(ClientDataSetFilterTest, FilteredOffAndOnAgainReappliesTheStoredText) {
  Open({"ALMA", ".B", "ALT", "B"}, "KSZOVEG='A*'");
  ds_.SetFiltered(false);
  EXPECT_EQ(Rows(), (V{".B2", "ALMA1", "ALT3", "B4"}));
  ds_.SetFilter("KSZOVEG='B*'");  // stored only
  EXPECT_EQ(ds_.RecordCount(), 4);
  afterScrolls_ = 0;
  ds_.SetFiltered(true);
  EXPECT_EQ(afterScrolls_, 1);
  EXPECT_EQ(Rows(), V{"B4"});
  // Closing detaches, opening attaches again.
  ds_.Close();
  ds_.Open();
  EXPECT_EQ(Rows(), V{"B4"});
  // A text the parser refuses makes the opening fail.
  ds_.Close();
  ds_.SetFilter("KSZOVEG=");
  EXPECT_EQ(Error([&] { ds_.Open(); }), "Expression expected but nothing found");
  EXPECT_FALSE(ds_.Active());
}

TEST_F(ClientDataSetFilterTest, OnFilterRecordReadsTheRecordUnderTest) {
  Open({"ALMA", ".B", "ALT", "B", "AX"}, "KSZOVEG='A*'");
  std::vector<std::exception_ptr> reported;
  const auto previous =
      SetApplicationExceptionHandler([&](std::exception_ptr e) { reported.push_back(e); });
  ds_.SetOnFilterRecord([&](TDataSet& ds, bool& accept) {
    EXPECT_EQ(ds.State(), dsFilter);
    const int index = ds.FieldByName("Index")->AsInteger();
    accept = index != 3;
    if (index == 5) throw EDatabaseError("handler failed");
  });
  EXPECT_EQ(Rows(), (V{"ALMA1", "AX5"}));
  // Record 5 raised once, when the callback was attached; it stays accepted.
  EXPECT_EQ(reported.size(), 1u);
  ds_.SetFilter("KSZOVEG='.*'");
  EXPECT_EQ(Rows(), V{".B2"});
  ds_.SetOnFilterRecord(nullptr);
  ds_.SetFilter("KSZOVEG='A*'");
  EXPECT_EQ(Rows(), (V{"ALMA1", "ALT3", "AX5"}));
  SetApplicationExceptionHandler(previous);
}

TEST(CursorFilterTest, AttachAndDetachKeepTheCursorOnAVisibleRecord) {
  TempFile file(Encode(DictionaryModel(HeadwordRows({"C", "A", "B", "A"}))));
  TClientDataSet ds("tblAdat");
  ds.SetFileName(file.Path());
  ds.SetIndexFieldNames("KSZOVEG");
  ds.Open();
  auto* cursor = static_cast<DSCursor*>(ds.Cursor());
  auto buffer = [&](const char* text) {
    return TExprParser(ds, text, 0, kPoExtended, "", nullptr, kFieldTypeMap).FilterData();
  };
  ASSERT_EQ(cursor->MoveToSeqNo(3), dbr::kOk);  // A2 A4 B3 C1: on record 3
  std::uint32_t notC = 0, notB = 0;
  const auto b1 = buffer("KSZOVEG <> 'C'");
  ASSERT_EQ(cursor->AttachFilter(b1.data(), b1.size(), &notC), dbr::kOk);
  EXPECT_EQ(CurrentRecord(cursor), 3u);
  EXPECT_EQ(Walk(cursor), (std::vector<std::uint32_t>{2, 4, 3}));
  ASSERT_EQ(cursor->MoveToSeqNo(3), dbr::kOk);
  const auto b2 = buffer("KSZOVEG <> 'B'");
  ASSERT_EQ(cursor->AttachFilter(b2.data(), b2.size(), &notB), dbr::kOk);
  EXPECT_EQ(notB, notC + 1);
  EXPECT_EQ(CurrentRecord(cursor), 0u);  // record 3 no longer passes
  std::uint32_t count = 0;
  ASSERT_EQ(cursor->GetRecordCount(&count), dbr::kOk);
  EXPECT_EQ(count, 2u);

  EXPECT_EQ(cursor->DetachFilter(notB), dbr::kOk);
  EXPECT_EQ(cursor->DetachFilter(notB), dbr::kObjectNotFound);
  ASSERT_EQ(cursor->GetRecordCount(&count), dbr::kOk);
  EXPECT_EQ(count, 3u);
  ASSERT_EQ(cursor->MoveToSeqNo(2), dbr::kOk);  // on record 4
  EXPECT_EQ(cursor->DetachFilter(notC), dbr::kOk);
  EXPECT_EQ(cursor->DetachFilter(notC), dbr::kNotApplicable);  // the list is gone
  EXPECT_EQ(CurrentRecord(cursor), 4u);
  EXPECT_EQ(Walk(cursor), (std::vector<std::uint32_t>{2, 4, 3, 1}));
  EXPECT_EQ(cursor->DetachFilter(0), dbr::kOk);

  // A refused buffer changes nothing, not even a rebuild that is owed.
  std::uint32_t h = 0;
  ASSERT_EQ(cursor->AttachFilter(b1.data(), b1.size(), &h), dbr::kOk);
  ASSERT_EQ(cursor->DetachFilter(h), dbr::kOk);
  const auto bad = buffer("KSZOVEG = Index");
  EXPECT_EQ(cursor->AttachFilter(bad.data(), bad.size(), &h), dbr::kTypeMismatch);
  ASSERT_EQ(cursor->GetRecordCount(&count), dbr::kOk);
  EXPECT_EQ(count, 4u);
}

}  // namespace
}  // namespace dorvem
