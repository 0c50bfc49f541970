// A data file truncated or rewritten in place under an open dataset: its
// memos and pictures lie in the mapped file and are read later, so every
// read must survive the change (no SIGBUS), say so once with its own error,
// and give no bytes after that. A file replaced by a rename leaves the open
// dataset's values as they were. A file truncated while it is being loaded
// fails the load with its own error, and nothing of it is kept.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dataset/core/mapped_file.h"
#include "dataset/core/messages.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "dataset/host/fields.h"
#include "dataset/index/index_list.h"
#include "dataset/store/blob_read_ahead.h"
#include "dataset/store/blob_store.h"
#include "dataset/store/table.h"
#include "tests/dataset/test_packets.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::DictRow;
using testing::Encode;
using testing::TempFile;

std::vector<DictRow> Rows(char fill) {
  std::vector<DictRow> rows;
  for (int i = 0; i < 40; ++i)
    rows.push_back({"h" + std::to_string(i) + ".mp3", "SZO" + std::to_string(i),
                    std::string(3000 + i, fill), std::string(5000 + i, fill), i});
  return rows;
}

struct Reads {
  std::vector<std::string> values;  // every field of every record, in order
  std::vector<std::string> errors;  // the messages raised meanwhile
};

// Moves through every record and reads every value of it, as the views do.
Reads ReadEverything(TClientDataSet& ds) {
  Reads out;
  ds.GoFirst();
  while (!ds.IsEmpty()) {
    for (TField* f : ds.Fields()) {
      try {
        out.values.push_back(f->AsString());
      } catch (const EDatabaseError& e) {
        out.errors.push_back(e.what());
        out.values.push_back("<error>");
      }
    }
    ds.GoNext();
    if (ds.AtEnd()) break;
  }
  return out;
}

std::vector<std::string> Expected(char fill) {
  std::vector<std::string> out;
  for (const DictRow& r : Rows(fill)) {
    out.push_back(*r.fajlnev);
    out.push_back(*r.kszoveg);
    out.push_back(*r.szovmagy);
    out.push_back(*r.graphic);
    out.push_back(std::to_string(*r.index));
  }
  return out;
}

class DataFileChangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = std::make_unique<TempFile>(Encode(DictionaryModel(Rows('a'))));
    ds_.SetFileName(file_->Path());
    ds_.Open();
    ASSERT_EQ(ReadEverything(ds_).values, Expected('a'));
  }
  // The values as they must read after a change in place: blobs empty, the
  // rest (copied at load) as loaded; the error once, at the first blob.
  void ExpectChangeReportedOnce(const Reads& reads) {
    const std::string message(MessageOf(dbr::kDataFileChanged));
    EXPECT_EQ(reads.errors, std::vector<std::string>{message});
    std::vector<std::string> expected = Expected('a');
    for (std::size_t i = 0; i < expected.size(); ++i)
      if (i % 5 == 2 || i % 5 == 3) expected[i] = i == 2 ? "<error>" : "";
    EXPECT_EQ(reads.values, expected);
  }

  std::unique_ptr<TempFile> file_;
  TClientDataSet ds_{"tblAdat"};
};

TEST_F(DataFileChangeTest, TruncatedInPlace) {
  ASSERT_EQ(::truncate(file_->Path().c_str(), 100), 0);
  ExpectChangeReportedOnce(ReadEverything(ds_));
  // Emptied altogether, and moved through again: nothing more is said.
  ASSERT_EQ(::truncate(file_->Path().c_str(), 0), 0);
  const Reads again = ReadEverything(ds_);
  EXPECT_TRUE(again.errors.empty());
}

TEST_F(DataFileChangeTest, RewrittenInPlace) {
  // As "cp other.cds Data/dorvem1.cds" does: truncated, then written anew.
  file_->Rewrite(Encode(DictionaryModel(Rows('b'))));
  ExpectChangeReportedOnce(ReadEverything(ds_));
}

TEST_F(DataFileChangeTest, ReplacedByARenameKeepsWhatWasLoaded) {
  const std::string other = file_->Path() + ".new";
  {
    TempFile replacement(Encode(DictionaryModel(Rows('b'))));
    std::filesystem::copy_file(replacement.Path(), other);
  }
  std::filesystem::rename(other, file_->Path());
  const Reads reads = ReadEverything(ds_);
  EXPECT_TRUE(reads.errors.empty());
  EXPECT_EQ(reads.values, Expected('a'));
}

// The mapping is read while the table is loaded: a file truncated in place
// between its mapping and the end of the load reads as zeros past its new
// end instead of killing the process, and the load is refused. Nothing is
// kept for the next start, which loads the file as it then is.
TEST(DataFileChangeWhileLoadingTest, ATruncatedFileFailsTheLoadAndIsLoadedAgainWhole) {
  const std::vector<std::uint8_t> bytes = Encode(DictionaryModel(Rows('a')));
  TempFile file(bytes);
  const std::string cache = std::filesystem::path(file.Path()).parent_path() / "cache";
  std::filesystem::create_directory(cache);

  {  // The mapping itself: the bytes before the cut stay, those past it are 0.
    const int fd = ::open(file.Path().c_str(), O_RDONLY | O_CLOEXEC);
    MappedFile mapped;
    ASSERT_TRUE(mapped.Map(fd, bytes.size()));
    ::close(fd);
    ASSERT_EQ(::truncate(file.Path().c_str(), 4096), 0);
    EXPECT_FALSE(mapped.Faulted());
    EXPECT_EQ(mapped.data()[100], bytes[100]);
    EXPECT_EQ(mapped.data()[bytes.size() - 1], 0);
    EXPECT_EQ(mapped.data()[8192], 0);
    EXPECT_TRUE(mapped.Faulted());
    file.Rewrite(bytes);
  }

  const int fd = ::open(file.Path().c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  ASSERT_EQ(::fstat(fd, &st), 0);
  MappedFile mapped;
  ASSERT_TRUE(mapped.Map(fd, bytes.size()));
  ::close(fd);
  ASSERT_EQ(::truncate(file.Path().c_str(), static_cast<off_t>(bytes.size() / 2)), 0);
  PacketSource source{file.Path(),
                      bytes.size(),
                      1,
                      cache,
                      static_cast<std::uint64_t>(st.st_dev),
                      static_cast<std::uint64_t>(st.st_ino),
                      1};
  TDSBASE* raw = nullptr;
  ASSERT_EQ(DSBASE_Factory(&raw), dbr::kOk);
  EngineRef<DSBASE> table(static_cast<DSBASE*>(raw));
  EXPECT_EQ(table->AppendData(PacketBytes(std::move(mapped), std::move(source)), true),
            dbr::kDataFileChangedWhileLoading);
  EXPECT_TRUE(std::filesystem::is_empty(cache));

  file.Rewrite(bytes);
  TClientDataSet ds("tblAdat");
  ds.SetFileName(file.Path());
  ds.SetCacheFolder(cache);
  ds.Open();
  EXPECT_EQ(ReadEverything(ds).values, Expected('a'));
}

// A pass over every value through BlobReadAhead reads what BlobStore::Read
// does, in file order and against it, values across and larger than its
// window included; after a change in place it says so once, together with
// the store.
TEST(BlobReadAheadTest, ReadsAsTheStoreDoesAndReportsAChangeOnce) {
  std::vector<DictRow> rows;
  for (int i = 0; i < 12; ++i)
    rows.push_back({"h.mp3", "SZO" + std::to_string(i),
                    std::string(150000 + 7 * i, static_cast<char>('a' + i)),
                    std::string(i == 5 ? 1500000 : 10 + i, static_cast<char>('A' + i)), i});
  TempFile file(Encode(DictionaryModel(rows)));
  TClientDataSet ds("tblAdat");
  ds.SetFileName(file.Path());
  ds.Open();
  const BlobStore& store = *static_cast<DSBASE*>(ds.Table())->Blobs();
  ASSERT_EQ(store.EntryCount(), 24u);
  std::vector<std::string> expected;
  for (std::uint32_t h = 1; h <= store.EntryCount(); ++h) {
    std::uint32_t length = 0, copied = 0;
    ASSERT_EQ(store.Length(h, &length), dbr::kOk);
    std::string value(length, '\0');
    ASSERT_EQ(store.Read(h, 0, length, value.data(), &copied), dbr::kOk);
    expected.push_back(value);
  }
  EXPECT_TRUE(expected[11] == std::string(1500000, 'F'));  // record 5's picture
  std::string value;
  BlobReadAhead forward(store);
  for (std::uint32_t h = 1; h <= store.EntryCount(); ++h) {
    ASSERT_EQ(forward.Read(h, value), dbr::kOk);
    EXPECT_TRUE(value == expected[h - 1]) << h;
  }
  BlobReadAhead backward(store);
  for (std::uint32_t h = store.EntryCount(); h >= 1; --h) {
    ASSERT_EQ(backward.Read(h, value), dbr::kOk);
    EXPECT_TRUE(value == expected[h - 1]) << h;
  }
  EXPECT_EQ(forward.Read(0, value), dbr::kInvalidBlobHandle);
  EXPECT_EQ(forward.Read(kBlobNotFetchedBit | 1, value), dbr::kBlobNotFetched);

  ASSERT_EQ(::truncate(file.Path().c_str(), 100), 0);
  BlobReadAhead after(store);
  EXPECT_EQ(after.Read(1, value), dbr::kDataFileChanged);
  EXPECT_EQ(after.Read(2, value), dbr::kOk);
  EXPECT_EQ(value, "");
  std::uint32_t copied = 0;
  char byte = 0;
  EXPECT_EQ(store.Read(3, 0, 1, &byte, &copied), dbr::kOk);
  EXPECT_EQ(copied, 0u);
}

}  // namespace
}  // namespace dorvem
