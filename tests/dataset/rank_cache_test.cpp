// The rank cache: ranks of a table loaded from a file are kept in the cache
// folder and read back only while everything that decides them is as it
// was; anything else (a changed file, locale, collation flag or collator, a
// damaged or missing cache file, a folder that cannot be written) means the
// ranks are computed, and the answer is the same either way.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "dataset/core/byte_layout.h"
#include "dataset/core/mapped_file.h"
#include "dataset/locale/locale_services.h"
#include "dataset/packet/packet_bytes.h"
#include "dataset/store/rank_cache.h"
#include "tests/dataset/cache_file_bytes.h"
#include "tests/dataset/index_support.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;
namespace fs = std::filesystem;

// Hungarian order: C < CZ < CS (a letter of its own) < D; absent is rank 0.
const std::vector<std::optional<std::string>> kWords = {"CUKOR", "CSAK", "CZ", "DAL", std::nullopt};
const std::vector<std::uint32_t> kRanks = {1, 3, 2, 4, 0};
// By bytes: CSAK < CUKOR < CZ < DAL; the null is left out.
const std::vector<std::uint32_t> kByteOrder = {2, 1, 3, 4};

// A table loaded as the dataset loads a file: mapped, with its identity and
// the cache folder `cacheFolder`.
EngineRef<DSBASE> LoadFile(const std::string& path, const std::string& cacheFolder) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_GE(fd, 0);
  struct stat st {};
  EXPECT_EQ(::fstat(fd, &st), 0);
  MappedFile mapped;
  EXPECT_TRUE(mapped.Map(fd, static_cast<std::size_t>(st.st_size)));
  ::close(fd);
  PacketSource source{path, static_cast<std::uint64_t>(st.st_size),
                      st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec, cacheFolder};
  TDSBASE* raw = nullptr;
  EXPECT_EQ(DSBASE_Factory(&raw), 0);
  EngineRef<DSBASE> table(static_cast<DSBASE*>(raw));
  EXPECT_EQ(table->AppendData(PacketBytes(std::move(mapped), std::move(source)), true), 0);
  return table;
}

std::vector<std::uint32_t> RanksOf(DSBASE* table, locale::LCID lcid = 1038,
                                   std::uint32_t flags = 0) {
  const std::uint32_t* r = table->Ranks().Get(*table, kKszoveg, lcid, flags);
  if (r == nullptr) return {};
  return {r, r + table->RecordCount()};
}

class RankCacheTest : public ::testing::Test {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/dorvem-rank-cache-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    data_ = std::make_unique<TempFile>(Encode(DictionaryModel(HeadwordRows(kWords))));
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  // The cache files in the folder (whose names begin with `kind`).
  std::vector<fs::path> CacheFiles(const std::string& kind = "ranks") const {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(Folder(), ec))
      if (e.path().filename().string().rfind(kind, 0) == 0) out.push_back(e.path());
    return out;
  }
  // Opens the data file and asks for the headwords' byte order.
  struct OrderOutcome {
    std::vector<std::uint32_t> order;
    std::uint32_t loaded;
  };
  OrderOutcome OpenOrder() {
    auto table = LoadFile(data_->Path(), Folder());
    std::uint32_t count = 0;
    const std::uint32_t* o = table->Ranks().ByteOrder(*table, kKszoveg, &count);
    OrderOutcome out{o ? std::vector<std::uint32_t>(o, o + count) : std::vector<std::uint32_t>{},
                     table->Ranks().CacheLoads()};
    return out;
  }
  // Opens the data file, asks for the ranks and says how they came.
  struct Outcome {
    std::vector<std::uint32_t> ranks;
    std::uint32_t computed, loaded;
  };
  Outcome Open(locale::LCID lcid = 1038, std::uint32_t flags = 0) {
    auto table = LoadFile(data_->Path(), Folder());
    Outcome o{RanksOf(table.get(), lcid, flags), 0, 0};
    o.computed = table->Ranks().Computations();
    o.loaded = table->Ranks().CacheLoads();
    return o;
  }

  fs::path Folder() const { return dir_ / "cache" / "dorvem"; }

  fs::path dir_;
  std::unique_ptr<TempFile> data_;
};

TEST_F(RankCacheTest, RanksAreKeptAndReadBackWhileValid) {
  const Outcome first = Open();
  EXPECT_EQ(first.ranks, kRanks);
  EXPECT_EQ(first.computed, 1u);
  EXPECT_EQ(first.loaded, 0u);
  const std::vector<fs::path> files = CacheFiles();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(fs::file_size(files[0]), rank_cache::kHeaderSize + 4 * kRanks.size() + 8);

  for (int run = 0; run < 2; ++run) {
    const Outcome again = Open();
    EXPECT_EQ(again.ranks, kRanks);
    EXPECT_EQ(again.computed, 0u);
    EXPECT_EQ(again.loaded, 1u);
  }
  // The data file was never written.
  EXPECT_EQ(ReadBytes(data_->Path()), Encode(DictionaryModel(HeadwordRows(kWords))));
}

// An index on the column orders the records the same whether its ranks
// were computed or read back (the check of kept ranks hands the first
// ascending index the records in rank order): descending first, then
// ascending twice on the same table.
TEST_F(RankCacheTest, AnIndexOnKeptRanksOrdersAsOnComputedOnes) {
  PacketModel model =
      DictionaryModel(HeadwordRows({"DAL", "CSAK", std::nullopt, "DAL", "CUKOR", "CZ"}));
  model.rows[5].status = 0x01;  // a hidden row: ranked, never listed
  data_->Rewrite(Encode(model));
  // Absent first when ascending, last when descending; ties by record.
  const std::vector<std::uint32_t> ascending = {3, 5, 2, 1, 4}, descending = {1, 4, 2, 5, 3};
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    auto table = LoadFile(data_->Path(), Folder());
    for (const bool down : {true, false, false}) {
      IndexDescriptor d = KeyOn("KSZOVEG", {kKszoveg});
      d.descending[0] = down ? 1 : 0;
      BuiltIndex idx;
      BuildIndex(table.get(), d, &idx);
      ASSERT_EQ(idx.status, 0);
      EXPECT_EQ(EntriesOf(*idx.index), down ? descending : ascending);
    }
    EXPECT_EQ(table->Ranks().CacheLoads(), run == 0 ? 0u : 1u);
  }
}

TEST_F(RankCacheTest, ComputedAgainWhenAnythingThatDecidesThemChanged) {
  struct Case {
    const char* what;
    std::function<void(RankCacheTest*)> change;
    locale::LCID lcid;
    std::uint32_t flags;
    std::vector<std::uint32_t> expected;
  };
  const std::vector<Case> cases = {
      // Same size and time, other contents: "DAL" becomes "CAL" (now first).
      {"contents",
       [](RankCacheTest* t) {
         struct stat st {};
         ::stat(t->data_->Path().c_str(), &st);
         t->data_->Rewrite(
             Encode(DictionaryModel(HeadwordRows({"CUKOR", "CSAK", "CZ", "CAL", std::nullopt}))));
         const timespec times[2] = {st.st_atim, st.st_mtim};
         ::utimensat(AT_FDCWD, t->data_->Path().c_str(), times, 0);
       },
       1038,
       0,
       {2, 4, 3, 1, 0}},
      {"modification time",
       [](RankCacheTest* t) {
         const timespec times[2] = {{1000, 0}, {1000, 0}};
         ::utimensat(AT_FDCWD, t->data_->Path().c_str(), times, 0);
       },
       1038, 0, kRanks},
      // English: CS is C followed by S, so CSAK < CUKOR < CZ.
      {"locale", [](RankCacheTest*) {}, 1033, 0, {2, 1, 3, 4, 0}},
      {"collation flags", [](RankCacheTest*) {}, 1038, locale::kIgnoreCase, kRanks},
      {"collator version",
       [](RankCacheTest* t) {
         const fs::path file = t->CacheFiles().at(0);
         std::vector<std::uint8_t> bytes = ReadBytes(file);
         bytes[rank_cache::kCollatorVersionAt] ^= 0x40;
         Reseal(&bytes);
         WriteBytes(file, bytes);
       },
       1038, 0, kRanks},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    data_->Rewrite(Encode(DictionaryModel(HeadwordRows(kWords))));
    ASSERT_EQ(Open().ranks, kRanks);  // computed or read, the cache now holds them
    c.change(this);
    const Outcome changed = Open(c.lcid, c.flags);
    EXPECT_EQ(changed.ranks, c.expected);
    EXPECT_EQ(changed.computed, 1u);
    EXPECT_EQ(changed.loaded, 0u);
    // Kept anew: the next run reads them.
    const Outcome next = Open(c.lcid, c.flags);
    EXPECT_EQ(next.ranks, c.expected);
    EXPECT_EQ(next.loaded, 1u);
  }
}

TEST_F(RankCacheTest, DamagedCacheFileIsIgnored) {
  struct Case {
    const char* what;
    std::function<void(std::vector<std::uint8_t>*)> damage;
  };
  const std::vector<Case> cases = {
      {"a rank byte flipped", [](auto* b) { (*b)[rank_cache::kHeaderSize + 5] ^= 1; }},
      {"the checksum flipped", [](auto* b) { b->back() ^= 0x80; }},
      {"cut short", [](auto* b) { b->resize(b->size() - 3); }},
      {"longer", [](auto* b) { b->push_back(0); }},
      {"empty", [](auto* b) { b->clear(); }},
      {"magic", [](auto* b) { (*b)[0] = 'X'; }},
      // Resealed, so only the ranks themselves can tell.
      {"a present value ranked 0",
       [](auto* b) {
         StoreU32(b->data() + rank_cache::kHeaderSize, 0);
         Reseal(b);
       }},
      {"a rank beyond the records",
       [](auto* b) {
         StoreU32(b->data() + rank_cache::kHeaderSize + 4, 99);
         Reseal(b);
       }},
      {"an absent value ranked",
       [](auto* b) {
         StoreU32(b->data() + rank_cache::kHeaderSize + 16, 1);
         Reseal(b);
       }},
      // Plausible numbers in another order: only the values can tell.
      {"the order reversed",
       [](auto* b) {
         for (std::uint32_t i = 0; i < 4; ++i)
           StoreU32(b->data() + rank_cache::kHeaderSize + 4 * i, 4 - kRanks[i] + 1);
         Reseal(b);
       }},
      {"two values ranked equal",
       [](auto* b) {
         StoreU32(b->data() + rank_cache::kHeaderSize + 12, 3);
         Reseal(b);
       }},
      {"a rank skipped",
       [](auto* b) {
         StoreU32(b->data() + rank_cache::kHeaderSize + 12, 5);
         Reseal(b);
       }},
  };
  ASSERT_EQ(Open().computed, 1u);
  const fs::path file = CacheFiles().at(0);
  const std::vector<std::uint8_t> good = ReadBytes(file);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> bytes = good;
    c.damage(&bytes);
    WriteBytes(file, bytes);
    const Outcome o = Open();
    EXPECT_EQ(o.ranks, kRanks);
    EXPECT_EQ(o.computed, 1u);
    EXPECT_EQ(o.loaded, 0u);
    EXPECT_EQ(ReadBytes(file), good);  // written anew
  }
}

TEST_F(RankCacheTest, FolderThatCannotBeWrittenOnlyCostsTheComputation) {
  // The cache home is a plain file: no folder can be made under it.
  WriteBytes(dir_ / "cache", {'x'});
  for (int run = 0; run < 2; ++run) {
    const Outcome o = Open();
    EXPECT_EQ(o.ranks, kRanks);
    EXPECT_EQ(o.computed, 1u);
    EXPECT_EQ(o.loaded, 0u);
  }
  EXPECT_EQ(ReadBytes(dir_ / "cache"), std::vector<std::uint8_t>{'x'});
}

TEST_F(RankCacheTest, ByteOrderIsKeptReadBackAndIgnoredWhenDamagedOrStale) {
  OrderOutcome o = OpenOrder();
  EXPECT_EQ(o.order, kByteOrder);
  EXPECT_EQ(o.loaded, 0u);
  ASSERT_EQ(CacheFiles("order").size(), 1u);
  const fs::path file = CacheFiles("order")[0];
  EXPECT_EQ(fs::file_size(file), rank_cache::kHeaderSize + 4 * kByteOrder.size() + 8);
  o = OpenOrder();
  EXPECT_EQ(o.order, kByteOrder);
  EXPECT_EQ(o.loaded, 1u);

  const std::vector<std::uint8_t> good = ReadBytes(file);
  struct Case {
    const char* what;
    std::function<void(std::vector<std::uint8_t>*)> damage;
  };
  const std::vector<Case> cases = {
      {"a byte flipped", [](auto* b) { (*b)[rank_cache::kHeaderSize + 1] ^= 1; }},
      // Resealed, so only the records listed can tell.
      {"a record twice",
       [](auto* b) {
         StoreU32(b->data() + rank_cache::kHeaderSize + 4, 2);
         Reseal(b);
       }},
      {"the null record",
       [](auto* b) {
         StoreU32(b->data() + rank_cache::kHeaderSize + 12, 5);
         Reseal(b);
       }},
      {"one left out",
       [](auto* b) {
         b->erase(b->begin() + rank_cache::kHeaderSize + 12,
                  b->begin() + rank_cache::kHeaderSize + 16);
         StoreU32(b->data() + rank_cache::kCountAt, 3);
         Reseal(b);
       }},
      {"a ranks file in its place", [this](auto* b) { *b = ReadBytes(CacheFiles("ranks").at(0)); }},
      // Every record once, so only the values can tell.
      {"the order reversed",
       [](auto* b) {
         for (std::uint32_t i = 0; i < 4; ++i)
           StoreU32(b->data() + rank_cache::kHeaderSize + 4 * i, kByteOrder[3 - i]);
         Reseal(b);
       }},
      {"two neighbours swapped",
       [](auto* b) {
         StoreU32(b->data() + rank_cache::kHeaderSize, 1);
         StoreU32(b->data() + rank_cache::kHeaderSize + 4, 2);
         Reseal(b);
       }},
  };
  ASSERT_EQ(Open().ranks, kRanks);  // a ranks file to put in its place
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> bytes = good;
    c.damage(&bytes);
    WriteBytes(file, bytes);
    o = OpenOrder();
    EXPECT_EQ(o.order, kByteOrder);
    EXPECT_EQ(o.loaded, 0u);
    EXPECT_EQ(ReadBytes(file), good);  // written anew
  }

  // Other contents of the same size and time: computed anew.
  struct stat st {};
  ::stat(data_->Path().c_str(), &st);
  data_->Rewrite(
      Encode(DictionaryModel(HeadwordRows({"CUKOR", "CSAK", "CZ", "CAL", std::nullopt}))));
  const timespec times[2] = {st.st_atim, st.st_mtim};
  ::utimensat(AT_FDCWD, data_->Path().c_str(), times, 0);
  o = OpenOrder();
  EXPECT_EQ(o.order, (std::vector<std::uint32_t>{4, 2, 1, 3}));
  EXPECT_EQ(o.loaded, 0u);
}

TEST_F(RankCacheTest, TableNotReadFromAFileKeepsNothing) {
  auto table = LoadTable(HeadwordRows(kWords));
  EXPECT_EQ(RanksOf(table.get()), kRanks);
  EXPECT_EQ(table->Ranks().Computations(), 1u);
  std::uint32_t count = 0;
  ASSERT_NE(table->Ranks().ByteOrder(*table, kKszoveg, &count), nullptr);
  EXPECT_EQ(count, 4u);
  EXPECT_TRUE(CacheFiles("").empty());
}

TEST_F(RankCacheTest, OnlyARegularFileIsReadAndNothingIsWrittenThroughALink) {
  ASSERT_EQ(Open().computed, 1u);
  const fs::path file = CacheFiles().at(0);
  const std::vector<std::uint8_t> good = ReadBytes(file);
  WriteBytes(dir_ / "copy.bin", good);
  WriteBytes(dir_ / "victim", {'k', 'e', 'e', 'p'});
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  struct Case {
    const char* what;
    std::function<void()> plant;
  };
  const std::vector<Case> cases = {
      {"a FIFO", [&] { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); }},
      {"a link to a FIFO", [&] { fs::create_symlink(dir_ / "fifo", file); }},
      // A good cache file, but behind a link: not followed.
      {"a link to a good copy", [&] { fs::create_symlink(dir_ / "copy.bin", file); }},
      {"a link to another file", [&] { fs::create_symlink(dir_ / "victim", file); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(file);
    c.plant();
    ::alarm(20);  // a blocked open ends the test program instead of hanging
    const Outcome o = Open();
    ::alarm(0);
    EXPECT_EQ(o.ranks, kRanks);
    EXPECT_EQ(o.computed, 1u);
    EXPECT_EQ(o.loaded, 0u);
    // Replaced by a file of our own; what the link led to is unchanged.
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file)));
    EXPECT_EQ(ReadBytes(file), good);
  }
  EXPECT_EQ(ReadBytes(dir_ / "copy.bin"), good);
  EXPECT_EQ(ReadBytes(dir_ / "victim"), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
  EXPECT_TRUE(fs::is_fifo(dir_ / "fifo"));

  // A cache folder that is itself a link is neither read nor written.
  fs::rename(Folder(), dir_ / "elsewhere");
  fs::create_symlink(dir_ / "elsewhere", Folder());
  const Outcome o = Open();
  EXPECT_EQ(o.computed, 1u);
  EXPECT_EQ(o.loaded, 0u);
  EXPECT_EQ(ReadBytes(dir_ / "elsewhere" / file.filename()), good);
}

TEST_F(RankCacheTest, ALargeColumnsKeptOrdersServeAndReversedOnesAreComputedAgain) {
  // More values than one part of the work and than the checks compare pair
  // by pair: the kept ranks are taken in order by several parts, and a
  // reversed order fails any pair compared. Record i + 1 holds value
  // i * 7919 mod n, so both orders are a shuffle of the records.
  constexpr std::uint32_t n = 70000;
  std::vector<std::optional<std::string>> words;
  std::vector<std::uint32_t> ranks(n), order(n);
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::uint32_t value = static_cast<std::uint32_t>(std::uint64_t{i} * 7919 % n);
    char word[16];
    std::snprintf(word, sizeof word, "W%06u", value);
    words.push_back(std::string(word));
    ranks[i] = value + 1;  // by collation and by bytes alike
    order[value] = i + 1;
  }
  data_->Rewrite(Encode(DictionaryModel(HeadwordRows(words))));
  const auto reverse = [](const fs::path& file) {
    std::vector<std::uint8_t> bytes = ReadBytes(file);
    for (std::uint32_t i = 0; i < n; ++i)
      StoreU32(bytes.data() + rank_cache::kHeaderSize + 4 * i, n - i);
    Reseal(&bytes);
    WriteBytes(file, bytes);
  };
  ASSERT_EQ(Open().ranks, ranks);
  {
    auto table = LoadFile(data_->Path(), Folder());
    BuiltIndex idx;
    BuildIndex(table.get(), KeyOn("KSZOVEG", {kKszoveg}), &idx);
    ASSERT_EQ(idx.status, 0);
    EXPECT_EQ(EntriesOf(*idx.index), order);
    EXPECT_EQ(table->Ranks().CacheLoads(), 1u);
  }
  reverse(CacheFiles().at(0));
  Outcome o = Open();
  EXPECT_EQ(o.ranks, ranks);
  EXPECT_EQ(o.computed, 1u);
  EXPECT_EQ(o.loaded, 0u);

  ASSERT_EQ(OpenOrder().order, order);
  EXPECT_EQ(OpenOrder().loaded, 1u);
  reverse(CacheFiles("order").at(0));
  const OrderOutcome reversed = OpenOrder();
  EXPECT_EQ(reversed.order, order);
  EXPECT_EQ(reversed.loaded, 0u);
}

// The folder after a write: the data file's files of another version of it,
// temporary files of killed writers and, over the limit, the oldest files of
// other data files are gone; anything not named as a cache file stays.
TEST_F(RankCacheTest, AKeptFileServesOnlyTheLocaleAndFlagsItWasWrittenFor) {
  RankCacheKey key;
  key.folder = Folder();
  key.path = "/x/szotar.cds";
  key.fileSize = 1000;
  key.mtimeNs = 1;
  key.fieldId = 2;
  key.records = 3;
  key.lcid = 1038;
  const LargeVector<std::uint32_t> ranks = {3, 1, 2};
  ASSERT_TRUE(rank_cache::Store(key, rank_cache::Kind::kRanks, ranks));
  LargeVector<std::uint32_t> read;
  EXPECT_TRUE(rank_cache::Load(key, rank_cache::Kind::kRanks, &read));
  EXPECT_EQ(read, ranks);
  RankCacheKey english = key;
  english.lcid = 1033;
  EXPECT_FALSE(rank_cache::Load(english, rank_cache::Kind::kRanks, &read));
  EXPECT_TRUE(read.empty());
  RankCacheKey caseless = key;
  caseless.flags = locale::kIgnoreCase;
  EXPECT_FALSE(rank_cache::Load(caseless, rank_cache::Kind::kRanks, &read));
}

TEST_F(RankCacheTest, TidyingKeepsTheCurrentFilesWithinTheLimit) {
  constexpr std::int64_t kNow = std::int64_t{2000000000} * 1000000000;
  constexpr std::int64_t kMinute = std::int64_t{60} * 1000000000;
  const auto setMtime = [](const fs::path& p, std::int64_t ns) {
    const timespec t{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    const timespec times[2] = {t, t};
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
  };
  const auto keyFor = [this](const std::string& path, std::uint32_t field, std::int64_t mtime) {
    RankCacheKey key;
    key.folder = Folder();
    key.path = path;
    key.fileSize = 1000;
    key.mtimeNs = mtime;
    key.fieldId = field;
    key.records = 20;
    return key;
  };
  const LargeVector<std::uint32_t> five = {1, 2, 3, 4, 5};  // a file of 100 bytes
  const LargeVector<std::uint32_t> twenty(20, 1);           // a file of 160 bytes
  const std::string data = "/x/szotar.cds";
  // The data file's files of an earlier version, and those of three others.
  ASSERT_TRUE(rank_cache::Store(keyFor(data, 7, 1), rank_cache::Kind::kRanks, five));
  ASSERT_TRUE(rank_cache::Store(keyFor(data, 2, 1), rank_cache::Kind::kByteOrder, five));
  std::vector<fs::path> others;
  for (const char* other : {"/x/a.cds", "/x/b.cds", "/x/c.cds"}) {
    const RankCacheKey key = keyFor(other, 2, 1);
    ASSERT_TRUE(rank_cache::Store(key, rank_cache::Kind::kRanks, twenty));
    others.push_back(rank_cache::FileFor(key, rank_cache::Kind::kRanks));
    setMtime(others.back(), kNow - (4 - static_cast<std::int64_t>(others.size())) * 60 * kMinute);
  }
  // The new version's files.
  const RankCacheKey current = keyFor(data, 2, 2);
  ASSERT_TRUE(rank_cache::Store(current, rank_cache::Kind::kRanks, five));
  ASSERT_TRUE(rank_cache::Store(keyFor(data, 3, 2), rank_cache::Kind::kRanks, five));
  const fs::path currentFile = rank_cache::FileFor(current, rank_cache::Kind::kRanks);
  setMtime(currentFile, kNow - 600 * kMinute);  // the oldest, but current
  // Writers killed before their rename, long ago and just now; a stranger.
  const fs::path killed = currentFile.string() + ".Ab12Cd";
  const fs::path writing = currentFile.string() + ".xY34zW";
  const fs::path notes = Folder() / "notes.txt";
  // Not a name of ours: a backup some tool made beside a cache file.
  const fs::path backup = currentFile.string() + "~Ab12Cd";
  for (const fs::path& p : {killed, writing, notes, backup}) WriteBytes(p, {});
  setMtime(killed, kNow - 11 * kMinute);
  setMtime(writing, kNow - 1 * kMinute);
  setMtime(notes, kNow - 6000 * kMinute);
  setMtime(backup, kNow - 6000 * kMinute);

  const auto names = [this] {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(Folder())) out.insert(e.path().filename());
    return out;
  };
  const auto name = [](const fs::path& p) { return p.filename().string(); };
  const std::string current3 =
      name(rank_cache::FileFor(keyFor(data, 3, 2), rank_cache::Kind::kRanks));
  // 200 bytes of current files and 480 of others, more than 500: the two
  // oldest others go.
  rank_cache::Tidy(current, kNow, rank_cache::Limits{500, 10 * kMinute});
  const std::set<std::string> kept = {name(currentFile), current3,    name(others[2]),
                                      name(writing),     "notes.txt", name(backup)};
  EXPECT_EQ(names(), kept);
  // Twice the current files' size (400) is more than the limit: that is
  // the limit then, and the 360 bytes left fit.
  rank_cache::Tidy(current, kNow, rank_cache::Limits{50, 10 * kMinute});
  EXPECT_EQ(names(), kept);
}

}  // namespace
}  // namespace dorvem
