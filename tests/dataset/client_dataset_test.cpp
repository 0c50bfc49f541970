// Opening packets through the client dataset and reading fields back.
#include <gtest/gtest.h>

#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "dataset/store/table.h"
#include "tests/dataset/test_packets.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::DictRow;
using testing::Encode;
using testing::TempFile;

// The main window's five persistent fields, in its order.
struct DictionaryFields {
  explicit DictionaryFields(TDataSet& ds) {
    for (TField* f : {static_cast<TField*>(&fajlnev), static_cast<TField*>(&kszoveg),
                      static_cast<TField*>(&szovmagy), static_cast<TField*>(&graphic),
                      static_cast<TField*>(&index)})
      f->SetDataSet(&ds);
  }
  TStringField fajlnev{"FAJLNEV", 255};
  TStringField kszoveg{"KSZOVEG", 40};
  TMemoField szovmagy{"SZOVMAGY"};
  TBlobField graphic{"GRAPHIC"};
  TIntegerField index{"Index"};
};

std::string OpenError(const std::string& path) {
  TClientDataSet ds("tblAdat");
  ds.SetFileName(path);
  try {
    ds.Open();
  } catch (const EDatabaseError& e) {
    EXPECT_FALSE(ds.Active());
    return e.what();
  }
  return "";
}

TEST(ClientDataSetTest, ReadsBackEveryKindOfValueInBothForms) {
  std::string memo(100000, 'x');
  memo[10] = '\0';
  memo[99999] = '\0';
  const std::vector<DictRow> rows = {
      {"a.mp3", "ABC  ", memo, std::string("\x01\x02", 2), 7},
      {"", "", std::nullopt, std::string(), std::nullopt},
      {std::nullopt, std::nullopt, "", std::nullopt, -5},
  };
  for (bool xml : {false, true}) {
    SCOPED_TRACE(xml ? "xml" : "binary");
    TempFile file(Encode(DictionaryModel(rows), xml));
    TClientDataSet ds("tblAdat");
    DictionaryFields f(ds);
    ds.SetFileName(file.Path());
    ds.Open();
    ASSERT_TRUE(ds.Active());
    EXPECT_EQ(ds.RecordCount(), 3);

    // Trailing blanks kept; memo with zero bytes whole; a blob of bytes.
    EXPECT_EQ(f.kszoveg.AsString(), "ABC  ");
    EXPECT_EQ(f.fajlnev.AsString(), "a.mp3");
    EXPECT_EQ(f.szovmagy.AsString(), memo);
    EXPECT_EQ(f.graphic.BlobSize(), 2);
    EXPECT_EQ(f.index.AsInteger(), 7);
    EXPECT_EQ(f.index.AsString(), "7");

    // Empty strings are values; an empty blob is blank; a blank integer is 0.
    ds.GoNext();
    EXPECT_FALSE(f.fajlnev.IsNull());
    EXPECT_EQ(f.fajlnev.AsString(), "");
    EXPECT_FALSE(f.kszoveg.IsNull());
    EXPECT_TRUE(f.szovmagy.IsNull());
    EXPECT_TRUE(f.graphic.IsNull());
    EXPECT_EQ(f.graphic.BlobSize(), 0);
    EXPECT_TRUE(f.index.IsNull());
    EXPECT_EQ(f.index.AsInteger(), 0);
    EXPECT_EQ(f.index.AsString(), "");

    ds.GoNext();
    EXPECT_TRUE(f.fajlnev.IsNull());
    EXPECT_EQ(f.fajlnev.AsString(), "");
    EXPECT_TRUE(f.kszoveg.IsNull());
    EXPECT_EQ(f.index.AsInteger(), -5);
    // An empty memo is blank too, like every empty blob.
    EXPECT_TRUE(f.szovmagy.IsNull());
  }
}

TEST(ClientDataSetTest, StringsAreCutToTheirWidth) {
  TempFile file(Encode(DictionaryModel({{std::nullopt, std::string(50, 'K'), {}, {}, 1}})));
  TClientDataSet ds("tblAdat");
  DictionaryFields f(ds);
  ds.SetFileName(file.Path());
  ds.Open();
  EXPECT_EQ(f.kszoveg.AsString(), std::string(40, 'K'));
}

TEST(ClientDataSetTest, NoVisibleRecordMeansEveryFieldIsNull) {
  TempFile file(Encode(DictionaryModel({})));
  TClientDataSet ds("tblAdat");
  DictionaryFields f(ds);
  ds.SetFileName(file.Path());
  ds.Open();
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_TRUE(f.kszoveg.IsNull());
  EXPECT_EQ(f.kszoveg.AsString(), "");
  EXPECT_TRUE(f.graphic.IsNull());
  EXPECT_EQ(f.index.AsInteger(), 0);
}

TEST(ClientDataSetTest, HiddenRowsAreStoredButNotVisible) {
  PacketModel m =
      DictionaryModel({{{}, "A", {}, {}, 1}, {{}, "B", {}, {}, 2}, {{}, "C", {}, {}, 3}});
  m.rows[1].status = 0x02;  // deleted
  TempFile file(Encode(m));
  TClientDataSet ds("tblAdat");
  DictionaryFields f(ds);
  ds.SetFileName(file.Path());
  ds.Open();
  EXPECT_EQ(ds.RecordCount(), 2);
  EXPECT_EQ(f.kszoveg.AsString(), "A");
  ds.GoNext();
  EXPECT_EQ(f.kszoveg.AsString(), "C");
}

TEST(ClientDataSetTest, BindingChecksNamesTypesAndSizes) {
  TempFile file(Encode(DictionaryModel({{{}, "A", "m", {}, 1}})));
  {
    TClientDataSet ds("tblAdat");
    TStringField missing("B", 10);
    missing.SetDataSet(&ds);
    ds.SetFileName(file.Path());
    try {
      ds.Open();
      FAIL() << "opened";
    } catch (const EDatabaseError& e) {
      EXPECT_STREQ(e.what(), "tblAdat: Field 'B' not found");
    }
    EXPECT_FALSE(ds.Active());
  }
  {
    TClientDataSet ds("tblAdat");
    TStringField memoAsString("SZOVMAGY", 50);
    memoAsString.SetDataSet(&ds);
    ds.SetFileName(file.Path());
    try {
      ds.Open();
      FAIL() << "opened";
    } catch (const EDatabaseError& e) {
      EXPECT_STREQ(e.what(),
                   "tblAdat: Type mismatch for field 'SZOVMAGY', expecting: String actual: Memo");
    }
  }
  {
    // A string object of size 255 binds to a width of 40; any blob binds to a
    // blob object; names are matched ignoring case.
    TClientDataSet ds("tblAdat");
    TStringField wide("kszoveg", 255);
    TBlobField memoAsBlob("SZOVMAGY");
    TGraphicField graphicAsGraphic("GRAPHIC");
    for (TField* f : {static_cast<TField*>(&wide), static_cast<TField*>(&memoAsBlob),
                      static_cast<TField*>(&graphicAsGraphic)})
      f->SetDataSet(&ds);
    ds.SetFileName(file.Path());
    ds.Open();
    EXPECT_EQ(wide.AsString(), "A");
    EXPECT_EQ(memoAsBlob.AsString(), "m");
  }
}

TEST(ClientDataSetTest, RepeatedColumnNamesGetNumberedDefinitions) {
  PacketModel m = DictionaryModel({{{}, "A", {}, {}, 1}});
  std::snprintf(m.columns[1].desc.name, sizeof m.columns[1].desc.name, "FAJLNEV");
  TempFile file(Encode(m));
  TClientDataSet ds("tblAdat");
  ds.SetFileName(file.Path());
  ds.Open();
  ASSERT_GE(ds.FieldDefs().Count(), 2);
  EXPECT_EQ(ds.FieldDefs()[0].name, "FAJLNEV");
  EXPECT_EQ(ds.FieldDefs()[1].name, "FAJLNEV_1");
  EXPECT_EQ(ds.FieldByName("FAJLNEV_1")->AsString(), "A");
}

TEST(ClientDataSetTest, MissingEmptyOrUnusableFilesAreReported) {
  EXPECT_EQ(OpenError("/nonexistent/dorvem1.cds"), "tblAdat: Missing data provider or data packet");
  EXPECT_EQ(OpenError(""), "tblAdat: Missing data provider or data packet");
  TempFile empty({});
  EXPECT_EQ(OpenError(empty.Path()), "tblAdat: Missing data provider or data packet");
  TempFile garbage({'n', 'o', 't', ' ', 'a', ' ', 'p', 'a', 'c', 'k', 'e', 't'});
  EXPECT_EQ(OpenError(garbage.Path()), "Mismatch in datapacket.");
}

TEST(ClientDataSetTest, CapacityIsRowCountPlus25) {
  std::vector<DictRow> rows(1000, DictRow{{}, "X", {}, {}, 1});
  TempFile file(Encode(DictionaryModel(rows)));
  TClientDataSet ds("tblAdat");
  ds.SetFileName(file.Path());
  ds.Open();
  EXPECT_EQ(static_cast<DSBASE*>(ds.Table())->Capacity(), 1025u);
  EXPECT_EQ(ds.RecordCount(), 1000);
}

TEST(ClientDataSetTest, ErrorReportAppendsAFullStopAfterLettersOnly) {
  EXPECT_EQ(ErrorReportText("tblAdat: Missing data provider or data packet"),
            "tblAdat: Missing data provider or data packet.");
  EXPECT_EQ(ErrorReportText("Mismatch in datapacket."), "Mismatch in datapacket.");
  EXPECT_EQ(ErrorReportText("Field 'B' not found (x)"), "Field 'B' not found (x)");
  EXPECT_EQ(ErrorReportText("Done!"), "Done!");
  EXPECT_EQ(ErrorReportText("Hibakód: 5"), "Hibakód: 5.");
  EXPECT_EQ(ErrorReportText(""), "");
}

}  // namespace
}  // namespace dorvem
