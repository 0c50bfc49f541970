// The stored rows kept in the cache folder: a table opened again from the
// same data file takes its rows from there and holds exactly what storing
// the packet gives; a changed data file, a damaged, cut or forged cache
// file, a text packet and a folder that cannot be written all mean the rows
// are stored from the packet, with the same result.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "dataset/core/byte_layout.h"
#include "dataset/core/mapped_file.h"
#include "dataset/index/index_list.h"
#include "dataset/packet/packet_bytes.h"
#include "dataset/store/logical_types.h"
#include "dataset/store/rank_cache.h"
#include "dataset/store/table.h"
#include "tests/dataset/cache_file_bytes.h"
#include "tests/dataset/test_packets.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;
namespace fs = std::filesystem;

std::int64_t Ns(const timespec& t) {
  return t.tv_sec * 1000000000LL + t.tv_nsec;
}

// A table loaded as the dataset loads a file: mapped, with its whole
// identity and the cache folder.
EngineRef<DSBASE> LoadFile(const std::string& path, const std::string& cacheFolder) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  EXPECT_EQ(::fstat(fd, &st), 0);
  MappedFile mapped;
  EXPECT_TRUE(mapped.Map(fd, static_cast<std::size_t>(st.st_size)));
  ::close(fd);
  PacketSource source{
      path,          static_cast<std::uint64_t>(st.st_size), Ns(st.st_mtim),
      cacheFolder,   static_cast<std::uint64_t>(st.st_dev),  static_cast<std::uint64_t>(st.st_ino),
      Ns(st.st_ctim)};
  TDSBASE* raw = nullptr;
  EXPECT_EQ(DSBASE_Factory(&raw), 0);
  EngineRef<DSBASE> table(static_cast<DSBASE*>(raw));
  EXPECT_EQ(table->AppendData(PacketBytes(std::move(mapped), std::move(source)), true), 0);
  return table;
}

// Everything a reader of the table can see: counts, and per record its
// status, each field's flag and slot, and each blob's bytes.
std::string Snapshot(DSBASE& table) {
  DSProps props{};
  EXPECT_EQ(table.GetProps(&props), 0);
  std::string out = std::to_string(props.recordCount) + "/" + std::to_string(props.visibleCount);
  std::vector<std::uint8_t> slot(256);
  for (std::uint32_t r = 1; r <= table.RecordCount(); ++r) {
    out += "|" + std::to_string(table.RecordStatus(r));
    for (std::uint32_t f = 1; f <= table.FieldCount(); ++f) {
      std::uint8_t flag = 0;
      EXPECT_EQ(table.GetFieldValue(r, f, slot.data(), &flag), 0);
      out += ";" + std::to_string(flag) + ":";
      out.append(reinterpret_cast<const char*>(slot.data()), table.Field(f).recordLength);
      if (table.Field(f).logicalType == kLtBlob && flag == kNullFlagValue) {
        const std::uint32_t handle = LoadU32(slot.data());
        std::uint32_t length = 0, copied = 0;
        EXPECT_EQ(table.Blobs()->Length(handle, &length), 0);
        std::string bytes(length, '\0');
        EXPECT_EQ(table.Blobs()->Read(handle, 0, length, bytes.data(), &copied), 0);
        out += "=" + bytes;
      }
    }
  }
  return out;
}

std::vector<DictRow> Rows(const std::string& first = "ADAGIO") {
  return {{"Sounds\\adagio.wav", first, "{\\rtf1 lass\\'fa}", "BM\x01\x02", 1},
          {"pp.mid", "PIANISSIMO", "nagyon halkan", std::nullopt, 2},
          {std::nullopt, "CSELLO", std::nullopt, "BMxyz", 3},
          {"", "", "", "", std::nullopt},
          {"x.avi", "ZENE", "a zene", "BM", 5}};
}

class StoredRowsTest : public ::testing::Test {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/dorvem-stored-rows-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    data_ = std::make_unique<TempFile>(Encode(DictionaryModel(Rows())));
    expected_ = Snapshot(*LoadFile(data_->Path(), ""));
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Folder() const { return dir_ + "/cache"; }
  std::vector<fs::path> StoreFiles() const {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(Folder(), ec))
      if (e.path().filename().string().rfind("store-", 0) == 0) out.push_back(e.path());
    return out;
  }
  // Opens the data file with the cache folder: "cache" or "packet" by
  // where the rows came from, and "!" after it when the table does not
  // hold `expected`.
  std::string Open(const std::string& expected) {
    auto table = LoadFile(data_->Path(), Folder());
    return std::string(table->RowsRestored() ? "cache" : "packet") +
           (Snapshot(*table) == expected ? "" : "!");
  }
  std::string Open() { return Open(expected_); }

  std::string dir_;
  std::unique_ptr<TempFile> data_;
  std::string expected_;
};

TEST_F(StoredRowsTest, SecondOpenTakesTheRowsFromTheCacheAndSeesTheSame) {
  EXPECT_EQ(Open(), "packet");
  ASSERT_EQ(StoreFiles().size(), 1u);
  EXPECT_EQ(Open(), "cache");
  // A table whose rows came from the cache is written like any other, and
  // its values are no longer the file's.
  auto table = LoadFile(data_->Path(), Folder());
  ASSERT_TRUE(table->RowsRestored());
  ASSERT_TRUE(table->RowsAsLoaded());
  const char name[] = "ALLEGRO";
  std::vector<std::uint8_t> slot(table->Field(2).recordLength, 0);
  std::memcpy(slot.data(), name, sizeof name);
  ASSERT_EQ(table->PutFieldValue(1, 2, slot.data()), 0);
  EXPECT_FALSE(table->RowsAsLoaded());
  EXPECT_STREQ(reinterpret_cast<const char*>(table->ValuePtr(1, 2)), "ALLEGRO");
  EXPECT_STREQ(reinterpret_cast<const char*>(table->ValuePtr(2, 2)), "PIANISSIMO");
}

TEST_F(StoredRowsTest, ATableWithoutRowsIsKeptToo) {
  data_->Rewrite(Encode(DictionaryModel({})));
  const std::string empty = Snapshot(*LoadFile(data_->Path(), ""));
  ASSERT_EQ(empty, "0/0");
  EXPECT_EQ(Open(empty), "packet");
  EXPECT_EQ(Open(empty), "cache");
}

TEST_F(StoredRowsTest, AChangedDataFileIsStoredAnew) {
  ASSERT_EQ(Open(), "packet");
  // The same size and modification time, other bytes: only the change
  // time tells.
  struct stat before {};
  ASSERT_EQ(::stat(data_->Path().c_str(), &before), 0);
  const auto changed = Encode(DictionaryModel(Rows("ADAGIA")));
  ASSERT_EQ(changed.size(), static_cast<std::size_t>(before.st_size));
  data_->Rewrite(changed);
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, data_->Path().c_str(), times, 0), 0);
  const std::string fresh = Snapshot(*LoadFile(data_->Path(), ""));
  ASSERT_NE(fresh, expected_);
  EXPECT_EQ(Open(fresh), "packet");
  EXPECT_EQ(Open(fresh), "cache");
}

TEST_F(StoredRowsTest, DamagedCutOrForgedFilesAreNotUsed) {
  ASSERT_EQ(Open(), "packet");
  ASSERT_EQ(StoreFiles().size(), 1u);
  const fs::path file = StoreFiles()[0];
  const std::vector<std::uint8_t> good = ReadBytes(file);
  // Where things lie, from the layout: the header, 16 bytes, 5 fields of
  // 16, the 5 statuses and 25 flags, then FAJLNEV's image (16 bytes, one
  // base, five offsets of two bytes, its values).
  const std::size_t body = rank_cache::kHeaderSize;
  const std::size_t names = body + 16 + 5 * 16 + 5 + 25;
  const std::size_t nameOffsets = names + 16 + 8;
  ASSERT_EQ(LoadU16(good.data() + nameOffsets), 0u);
  ASSERT_EQ(LoadU16(good.data() + nameOffsets + 2), 18u);  // after "Sounds\adagio.wav"
  // The body ends in the last blob entry: its offset (u64), its size (u32).
  const std::size_t lastBlobSize = good.size() - rank_cache::kChecksumSize - 4;
  const std::size_t lastBlobOffset = lastBlobSize - 8;

  const std::vector<std::pair<const char*, std::function<void(std::vector<std::uint8_t>*)>>>
      forgeries = {
          {"a flipped byte", [](auto* b) { (*b)[b->size() / 2] ^= 4; }},
          {"more records", [](auto* b) { StoreU32(b->data() + rank_cache::kCountAt, 6); }},
          {"a field of another width", [&](auto* b) { StoreU32(b->data() + body + 16, 254); }},
          {"a value that overlaps the one before",
           [&](auto* b) { StoreU16(b->data() + nameOffsets + 2, 17); }},
          {"a gap between values", [&](auto* b) { StoreU16(b->data() + nameOffsets + 2, 19); }},
          {"blocks of another size", [&](auto* b) { StoreU32(b->data() + names + 12, 16); }},
          {"more used bytes than values",
           [&](auto* b) { StoreU64(b->data() + names, LoadU64(b->data() + names) + 1); }},
          {"a blob reaching past the data file",
           [&](auto* b) { StoreU32(b->data() + lastBlobSize, 1u << 20); }},
          {"a blob starting past the data file",
           [&](auto* b) { StoreU64(b->data() + lastBlobOffset, 1u << 20); }},
          {"more visible records than records", [&](auto* b) { StoreU32(b->data() + body, 6); }},
          {"a visible count the statuses do not give",
           [&](auto* b) { StoreU32(b->data() + body, 4); }},
      };
  // Refusing a file leaves no descriptor of it open.
  const auto openDescriptors = [] {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
  };
  const auto descriptorsBefore = openDescriptors();
  for (const auto& [what, forge] : forgeries) {
    SCOPED_TRACE(what);
    std::vector<std::uint8_t> bytes = good;
    forge(&bytes);
    if (std::string(what) != "a flipped byte") Reseal(&bytes);
    WriteBytes(file, bytes);
    EXPECT_EQ(Open(), "packet");
    // Stored anew, the file serves again.
    EXPECT_EQ(ReadBytes(file), good);
  }
  EXPECT_EQ(openDescriptors(), descriptorsBefore);
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    SCOPED_TRACE(cut);
    WriteBytes(file, std::vector<std::uint8_t>(good.begin(), good.begin() + cut));
    ASSERT_EQ(Open(), "packet");
  }
}

// Blob entries stay in the cache file and are read from it a block at a
// time: values across blocks read right, and a cache file cut or forged in
// place after the open is reported once as a changed file, never read past.
TEST_F(StoredRowsTest, KeptBlobEntriesAreReadFromTheFileAndSurviveItsChange) {
  std::vector<DictRow> rows;
  for (int i = 1; i <= 300; ++i)
    rows.push_back({std::nullopt, "W" + std::to_string(i), "memo " + std::to_string(i),
                    "BM" + std::to_string(i * 7), i});
  data_->Rewrite(Encode(DictionaryModel(rows)));
  const std::string expected = Snapshot(*LoadFile(data_->Path(), ""));
  ASSERT_EQ(Open(expected), "packet");
  ASSERT_EQ(Open(expected), "cache");
  const fs::path file = StoreFiles().at(0);
  const std::vector<std::uint8_t> good = ReadBytes(file);
  // Each row's memo and picture, in record order: entries 2i - 1 and 2i.
  const auto value = [](DSBASE& table, std::uint32_t handle) {
    std::uint32_t copied = 0;
    std::string bytes(64, '\0');
    const DBResult r = table.Blobs()->Read(handle, 0, 64, bytes.data(), &copied);
    return std::to_string(r) + ":" + bytes.substr(0, copied);
  };
  {
    auto table = LoadFile(data_->Path(), Folder());
    ASSERT_TRUE(table->RowsRestored());
    EXPECT_EQ(value(*table, 600), "0:BM2100");
    // Entry 599 (row 300's memo) is made to reach past the data file.
    std::vector<std::uint8_t> forged = good;
    const std::size_t entry599 = good.size() - rank_cache::kChecksumSize - 2 * 12;
    StoreU32(forged.data() + entry599 + 8, 1u << 30);
    WriteBytes(file, forged);
    EXPECT_EQ(value(*table, 1), "0:memo 1");  // another block, read afresh
    std::uint32_t length = 7;
    EXPECT_EQ(table->Blobs()->Length(599, &length), dbr::kDataFileChanged);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(value(*table, 599), "0:");
  }
  WriteBytes(file, good);
  auto table = LoadFile(data_->Path(), Folder());
  ASSERT_TRUE(table->RowsRestored());
  ASSERT_EQ(::truncate(file.c_str(), rank_cache::kHeaderSize), 0);
  EXPECT_EQ(value(*table, 300), std::to_string(dbr::kDataFileChanged) + ":");
  EXPECT_EQ(value(*table, 2), "0:");
}

TEST_F(StoredRowsTest, NothingIsKeptWhereItCannotBeOrNeedNotBe) {
  // A folder that cannot be made: the rows are stored, nothing is kept.
  WriteBytes(Folder(), {'x'});
  EXPECT_EQ(Open(), "packet");
  EXPECT_EQ(Open(), "packet");
  fs::remove(Folder());
  // A text packet holds its values in the table's own memory.
  data_->Rewrite(Encode(DictionaryModel(Rows()), /*xml=*/true));
  EXPECT_EQ(Open(), "packet");
  EXPECT_TRUE(StoreFiles().empty());
}

}  // namespace
}  // namespace dorvem
