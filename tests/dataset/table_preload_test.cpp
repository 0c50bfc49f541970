// A table preloaded on its own thread: the open it was made for takes it
// and shows what loading the file would show; any other open, and an open
// of a file that changed since, loads the file itself.
#include <gtest/gtest.h>

#include "dataset/host/client_dataset.h"
#include "dataset/host/table_preload.h"
#include "tests/dataset/index_support.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;

const char kFilter[] = "KSZOVEG='C*'";

TTablePreloadRequest RequestFor(const TempFile& file, const std::string& keys = "KSZOVEG") {
  return {file.Path(), "", keys, kFilter, {}};
}

// Headwords of the visible records, in order, of a dataset on `file`
// ordered by `keys` and filtered as the request says.
std::vector<std::string> OpenAndRead(const TempFile& file, const std::string& keys = "KSZOVEG") {
  TClientDataSet ds{"tblAdat"};
  ds.SetFileName(file.Path());
  ds.SetIndexFieldNames(keys);
  ds.SetFilter(kFilter);
  ds.SetFiltered(true);
  ds.Open();
  std::vector<std::string> out;
  for (ds.GoFirst(); !ds.AtEnd() && !ds.IsEmpty(); ds.GoNext())
    out.push_back(ds.FieldByName("KSZOVEG")->AsString());
  return out;
}

bool Take(const TempFile& file, const std::string& keys = "KSZOVEG") {
  EngineRef<TDSBASE> table;
  EngineRef<TDSCursor> cursor;
  return TakePreloadedTable(file.Path(), "", keys, &table, &cursor);
}

const std::vector<std::optional<std::string>> kWords = {"DAL", "CUKOR", "CSAK", "ALMA", "CZ"};

TEST(TablePreloadTest, TheOpenItWasMadeForTakesItOnceAndSeesTheFile) {
  const TempFile file(Encode(DictionaryModel(HeadwordRows(kWords))));
  // In Hungarian order, where CS is a letter after C: C* only.
  const std::vector<std::string> expected = {"CUKOR", "CZ", "CSAK"};
  ASSERT_EQ(OpenAndRead(file), expected);  // without a preload

  {
    TTablePreload preload(RequestFor(file));
    EXPECT_FALSE(Take(file, ""));  // other key fields: not for this open
    EXPECT_EQ(OpenAndRead(file), expected);
    EXPECT_FALSE(Take(file));  // taken by that open
  }
  {
    // An open in record order does not take a table ordered by headword.
    TTablePreload preload(RequestFor(file));
    EXPECT_EQ(OpenAndRead(file, ""), (std::vector<std::string>{"CUKOR", "CSAK", "CZ"}));
    EXPECT_TRUE(Take(file));
  }
}

TEST(TablePreloadTest, AFileChangedAfterThePreloadIsReadAnew) {
  const TempFile file(Encode(DictionaryModel(HeadwordRows(kWords))));
  TTablePreload preload(RequestFor(file));
  preload.Wait();
  file.Rewrite(Encode(DictionaryModel(HeadwordRows({"CIPO", "DAL", "CSAK"}))));
  EXPECT_EQ(OpenAndRead(file), (std::vector<std::string>{"CIPO", "CSAK"}));
  EXPECT_FALSE(Take(file));
}

}  // namespace
}  // namespace dorvem
