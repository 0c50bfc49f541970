// The client dataset's order as the window meets it: IndexFieldNames and
// IndexName before and after opening, the re-read while open, IndexDefs,
// and the messages of every refusal.
#include <gtest/gtest.h>

#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "tests/dataset/index_support.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;

// Counts what the dataset tells its views and its scroll handlers.
struct Observer : TDataLink {
  explicit Observer(TDataSet& ds) {
    source.SetDataSet(&ds);
    SetDataSource(&source);
    ds.BeforeScroll = [this](TDataSet&) { ++scrolls; };
    ds.AfterScroll = [this](TDataSet&) { ++scrolls; };
  }
  void DataSetChanged() override { ++changes; }
  TDataSource source;
  int changes = 0;
  int scrolls = 0;
};

class ClientDataSetIndexTest : public ::testing::Test {
 protected:
  void Load(const std::vector<DictRow>& rows) {
    file_ = std::make_unique<TempFile>(Encode(DictionaryModel(rows)));
    ds_.SetFileName(file_->Path());
  }
  // Headwords (with Index) of every visible record, in order, from the top.
  std::vector<std::string> Rows() {
    std::vector<std::string> out;
    ds_.GoFirst();
    while (!ds_.IsEmpty()) {
      out.push_back(ds_.FieldByName("KSZOVEG")->AsString() + ds_.FieldByName("Index")->AsString());
      ds_.GoNext();
      if (ds_.AtEnd()) break;
    }
    return out;
  }
  std::string Error(const std::function<void()>& f) {
    try {
      f();
    } catch (const EDatabaseError& e) {
      return e.what();
    }
    return "";
  }

  std::unique_ptr<TempFile> file_;
  TClientDataSet ds_{"tblAdat"};
};

using V = std::vector<std::string>;

TEST_F(ClientDataSetIndexTest, HeadwordsOrderedOnOpenAndEqualOnesByIndex) {
  Load(HeadwordRows({"C", "A", "B", "A"}));
  ds_.SetIndexFieldNames("KSZOVEG");
  ds_.Open();
  EXPECT_EQ(Rows(), (V{"A2", "A4", "B3", "C1"}));
  EXPECT_EQ(ds_.IndexFieldCount(), 1);
  EXPECT_EQ(ds_.IndexKeyLength(), 41u);
  EXPECT_TRUE(ds_.IsIndexField(ds_.FieldByName("KSZOVEG")));
  EXPECT_FALSE(ds_.IsIndexField(ds_.FieldByName("Index")));
  ds_.Close();
  EXPECT_EQ(ds_.IndexFieldNames(), "KSZOVEG");
  EXPECT_EQ(ds_.IndexFieldCount(), 0);

  // Names are found ignoring case and trimmed; equal headwords by Index.
  std::vector<DictRow> rows = HeadwordRows({"A", "B", "A", "A"});
  rows[0].index = 30;
  rows[2].index = 10;
  rows[3].index = 20;
  Load(rows);
  ds_.SetIndexFieldNames(" kszoveg ;\tINDEX;");
  ds_.Open();
  EXPECT_EQ(Rows(), (V{"A10", "A20", "A30", "B2"}));
  EXPECT_EQ(ds_.IndexFieldCount(), 2);
}

TEST_F(ClientDataSetIndexTest, ChangingTheOrderWhileOpenKeepsTheRecordWithoutScrolling) {
  Load(HeadwordRows({"C", "A", "B"}));
  ds_.Open();
  Observer seen(ds_);
  ds_.GoNext();  // record 2, "A"
  seen.changes = seen.scrolls = 0;

  ds_.SetIndexFieldNames("KSZOVEG");
  EXPECT_EQ(ds_.FieldByName("KSZOVEG")->AsString(), "A");
  EXPECT_EQ(ds_.RecNo(), 1);
  EXPECT_EQ(seen.changes, 1);
  EXPECT_EQ(seen.scrolls, 0);

  // The same text again: nothing at all.
  ds_.SetIndexFieldNames("KSZOVEG");
  EXPECT_EQ(seen.changes, 1);
  // A leading part of the active keys keeps the index and the order.
  ds_.SetIndexFieldNames("KSZOVEG;Index");
  ds_.SetIndexFieldNames("KSZOVEG");
  EXPECT_EQ(ds_.IndexFieldCount(), 2);
  EXPECT_EQ(ds_.IndexFieldNames(), "KSZOVEG");
  EXPECT_EQ(seen.scrolls, 0);

  // Back to the default order.
  ds_.SetIndexFieldNames("");
  EXPECT_EQ(ds_.IndexFieldCount(), 0);
  EXPECT_EQ(ds_.RecNo(), 2);
  EXPECT_EQ(Rows(), (V{"C1", "A2", "B3"}));
}

TEST_F(ClientDataSetIndexTest, RefusedOrdersKeepTheStoredTextAndTheOrder) {
  Load(HeadwordRows({"B", "A"}));
  ds_.Open();
  ds_.SetIndexFieldNames("KSZOVEG");
  EXPECT_EQ(Error([&] { ds_.SetIndexFieldNames("SZOVMAGY"); }), "Invalid field type.");
  EXPECT_EQ(Error([&] { ds_.SetIndexFieldNames("KSZOVEG;GRAPHIC"); }), "Invalid field type.");
  EXPECT_EQ(Error([&] { ds_.SetIndexFieldNames("NOPE"); }), "tblAdat: Field 'NOPE' not found");
  EXPECT_EQ(Error([&] { ds_.SetIndexFieldNames("KSZOVEG;;Index"); }),
            "tblAdat: Field '' not found");
  EXPECT_EQ(ds_.IndexFieldNames(), "KSZOVEG");
  EXPECT_EQ(Rows(), (V{"A2", "B1"}));
  ds_.Close();

  // Applied on open, the refusal leaves the dataset closed.
  ds_.SetIndexFieldNames("SZOVMAGY");
  EXPECT_EQ(Error([&] { ds_.Open(); }), "Invalid field type.");
  EXPECT_FALSE(ds_.Active());
}

TEST_F(ClientDataSetIndexTest, AFieldWithoutAColumnCannotOrder) {
  Load(HeadwordRows({"B", "A"}));
  TStringField kszoveg("KSZOVEG", 40), calc("CALC", 10);
  TIntegerField index("Index");
  calc.SetFieldKind(fkCalculated);
  for (TField* f :
       {static_cast<TField*>(&kszoveg), static_cast<TField*>(&index), static_cast<TField*>(&calc)})
    f->SetDataSet(&ds_);
  ds_.Open();
  EXPECT_EQ(Error([&] { ds_.SetIndexFieldNames("CALC"); }), "tblAdat: Field index out of range");
}

TEST_F(ClientDataSetIndexTest, NamedIndexesComeFromTheEngineOrFromIndexDefs) {
  Load(HeadwordRows({"B", "A", "C"}));
  TIndexDef byIndex{"BYINDEX", "Index", "", "", {ixDescending}, 0};
  ds_.IndexDefs().Add(byIndex);
  ds_.IndexDefs().Add({"BAD", "KSZOVEG", "Index", "", {}, 0});
  ds_.IndexDefs().Add({"MIXED", "KSZOVEG;Index", "Index", "kszoveg", {ixUnique}, 0});

  // The last choice set while closed wins.
  ds_.SetIndexFieldNames("KSZOVEG");
  ds_.SetIndexName("BYINDEX");
  EXPECT_EQ(ds_.IndexFieldNames(), "");
  ds_.Open();
  EXPECT_EQ(Rows(), (V{"C3", "A2", "B1"}));
  EXPECT_EQ(ds_.IndexName(), "BYINDEX");

  EXPECT_EQ(Error([&] { ds_.SetIndexName("NONE"); }), "tblAdat: Index 'NONE' not found");
  EXPECT_EQ(Error([&] { ds_.SetIndexName("BAD"); }), "tblAdat: Cannot access index field 'Index'");
  ds_.SetIndexName("MIXED");
  EXPECT_EQ(Rows(), (V{"A2", "B1", "C3"}));
  ds_.SetIndexName("");
  EXPECT_EQ(Rows(), (V{"B1", "A2", "C3"}));

  // Read back from the engine: options and per-field lists.
  ds_.UpdateIndexDefs();
  ASSERT_EQ(ds_.IndexDefs().Count(), 4);  // DEFAULT_ORDER, CHANGEINDEX, BYINDEX, MIXED
  const TIndexDef* back = ds_.IndexDefs().Find("byindex");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->fields, "Index");
  EXPECT_EQ(back->options, (TIndexOptions{ixDescending}));
  EXPECT_EQ(back->descFields, "");
  const TIndexDef* mixed = ds_.IndexDefs().Find("MIXED");
  ASSERT_NE(mixed, nullptr);
  EXPECT_EQ(mixed->fields, "KSZOVEG;Index");
  EXPECT_EQ(mixed->options, (TIndexOptions{ixUnique}));
  EXPECT_EQ(mixed->descFields, "Index");
  EXPECT_EQ(mixed->caseInsFields, "KSZOVEG");
  EXPECT_EQ(ds_.IndexDefs().Find("BAD"), nullptr);
}

}  // namespace
}  // namespace dorvem
