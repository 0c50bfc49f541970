#include "dictionary/everything_index.h"

#include <algorithm>
#include <cstring>

namespace dorvem {

namespace {

void PutVarint(std::vector<std::uint8_t>& out, std::uint64_t v) {
  while (v >= 0x80) {
    out.push_back(static_cast<std::uint8_t>(v | 0x80));
    v >>= 7;
  }
  out.push_back(static_cast<std::uint8_t>(v));
}

std::uint64_t GetVarint(const std::uint8_t*& p) {
  std::uint64_t v = 0;
  int shift = 0;
  while (*p & 0x80) {
    v |= static_cast<std::uint64_t>(*p++ & 0x7F) << shift;
    shift += 7;
  }
  v |= static_cast<std::uint64_t>(*p++) << shift;
  return v;
}

std::size_t BitWords(std::uint32_t records) {
  return (static_cast<std::size_t>(records) + 63) / 64;
}

// Mixes the bits of `x` so that any of them may pick a slot (a 64-bit
// finaliser: every input bit reaches every output bit).
std::uint64_t Mix(std::uint64_t x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdULL;
  x ^= x >> 33;
  x *= 0xc4ceb9fe1a85ec53ULL;
  return x ^ (x >> 33);
}

// The bytes of `word` from `at` on, at most eight, as a number (zero-padded).
std::uint64_t Packed(std::string_view word, std::size_t at) {
  std::uint64_t v = 0;
  std::memcpy(&v, word.data() + at, std::min<std::size_t>(8, word.size() - at));
  return v;
}

// The key of a word longer than eight bytes: a hash of all of them.
std::uint64_t LongKey(std::string_view word) {
  std::uint64_t h = word.size();
  for (std::size_t at = 0; at < word.size(); at += 8) h = Mix(h ^ Packed(word, at));
  return h;
}

// The first eight bytes of `word` as a number that orders like the bytes.
std::uint64_t Head(std::string_view word) {
  std::uint64_t head = 0;
  for (std::size_t i = 0; i < 8; ++i)
    head = (head << 8) | (i < word.size() ? static_cast<unsigned char>(word[i]) : 0u);
  return head;
}

}  // namespace

// --- Reading --------------------------------------------------------------

std::size_t TEverythingIndex::MemoryBytes() const {
  return stream_.capacity() + blocks_.capacity() * sizeof(std::uint32_t) +
         bitSets_.capacity() * sizeof(std::uint64_t);
}

std::string_view TEverythingIndex::BlockFirstWord(std::uint32_t block) const {
  const std::uint8_t* p = stream_.data() + blocks_[block];
  (void)GetVarint(p);  // 0: nothing shared at a block's start
  const auto length = static_cast<std::size_t>(GetVarint(p));
  return {reinterpret_cast<const char*>(p), length};
}

const std::uint8_t* TEverythingIndex::MarkRecords(const std::uint8_t* p, TRecordBits& bits) const {
  const std::uint64_t head = GetVarint(p);
  if (head & 1) {
    const std::size_t words = BitWords(recordCount_);
    const std::uint64_t* set = bitSets_.data() + (head >> 1) * words;
    for (std::size_t w = 0; w < words; ++w) bits[w] |= set[w];
    return p;
  }
  std::uint64_t record = 0;
  for (std::uint64_t n = head >> 1; n > 0; --n) {
    record += GetVarint(p);
    bits[(record - 1) >> 6] |= std::uint64_t{1} << ((record - 1) & 63);
  }
  return p;
}

TRecordBits TEverythingIndex::MatchesPrefix(std::string_view prefix) const {
  TRecordBits bits(BitWords(recordCount_), 0);
  if (blocks_.empty() || prefix.empty()) return bits;
  // The first block whose first word is not below the prefix; the words
  // that begin with it start in the block before, or in that block.
  std::uint32_t lo = 0;
  auto hi = static_cast<std::uint32_t>(blocks_.size());
  while (lo < hi) {
    const std::uint32_t mid = lo + (hi - lo) / 2;
    if (BlockFirstWord(mid) < prefix)
      lo = mid + 1;
    else
      hi = mid;
  }
  const std::uint8_t* p = stream_.data() + blocks_[lo == 0 ? 0 : lo - 1];
  const std::uint8_t* const end = stream_.data() + stream_.size();
  TRecordBits skipped(bits.size(), 0);
  std::string word;
  while (p < end) {
    const auto shared = static_cast<std::size_t>(GetVarint(p));
    const auto rest = static_cast<std::size_t>(GetVarint(p));
    word.resize(shared);
    word.append(reinterpret_cast<const char*>(p), rest);
    p += rest;
    if (std::string_view(word).starts_with(prefix)) {
      p = MarkRecords(p, bits);
    } else if (word < prefix) {
      // Below the prefix: read past its records.
      const std::uint64_t head = GetVarint(p);
      if ((head & 1) == 0)
        for (std::uint64_t n = head >> 1; n > 0; --n) (void)GetVarint(p);
    } else {
      break;
    }
  }
  return bits;
}

TRecordBits TEverythingIndex::Matches(const std::vector<std::string>& prefixes) const {
  if (prefixes.empty()) return TRecordBits(BitWords(recordCount_), 0);
  TRecordBits result = MatchesPrefix(prefixes.front());
  for (std::size_t i = 1; i < prefixes.size(); ++i) {
    const TRecordBits more = MatchesPrefix(prefixes[i]);
    bool any = false;
    for (std::size_t w = 0; w < result.size(); ++w) {
      result[w] &= more[w];
      any = any || result[w] != 0;
    }
    if (!any) break;
  }
  return result;
}

// --- Building -------------------------------------------------------------

TEverythingIndexBuilder::TEverythingIndexBuilder(std::uint32_t recordCount)
    : recordCount_(recordCount) {
  wordStart_.push_back(0);
  // Room for about a new word a record without growing (a dictionary's
  // explanations bring new words at about that rate); at least 1024 slots.
  std::size_t slots = 1024;
  while (slots < std::size_t{recordCount} * 2) slots *= 2;
  slots_.resize(slots);
  recordEnd_.assign(static_cast<std::size_t>(recordCount) + 1, 0);
}

void TEverythingIndexBuilder::Rehash() {
  Large<Slot> slots(slots_.size() * 2);
  const std::size_t mask = slots.size() - 1;
  for (const Slot& slot : slots_) {
    if (slot.id == 0) continue;
    std::size_t s = Mix(slot.key) & mask;
    while (slots[s].id != 0) s = (s + 1) & mask;
    slots[s] = slot;
  }
  slots_ = std::move(slots);
}

TEverythingIndexBuilder::Slot& TEverythingIndexBuilder::Find(std::string_view word,
                                                             std::uint64_t key, bool isLong) {
  const std::size_t mask = slots_.size() - 1;
  const std::uint32_t longBit = isLong ? kLongWord : 0;
  std::size_t s = Mix(key) & mask;
  for (; slots_[s].id != 0; s = (s + 1) & mask) {
    const Slot& slot = slots_[s];
    if (slot.key == key && (slot.id & kLongWord) == longBit &&
        (!isLong || Word((slot.id & ~kLongWord) - 1) == word))
      return slots_[s];
  }
  const auto id = static_cast<std::uint32_t>(wordStart_.size() - 1);
  arena_.insert(arena_.end(), word.begin(), word.end());
  wordStart_.push_back(static_cast<std::uint32_t>(arena_.size()));
  heads_.push_back(Head(word));
  slots_[s] = Slot{key, (id + 1) | longBit, 0};
  if ((static_cast<std::size_t>(id) + 1) * 2 <= slots_.size()) return slots_[s];
  Rehash();
  return Find(word, key, isLong);
}

void TEverythingIndexBuilder::Count(std::uint32_t record, Slot& slot) {
  if (slot.lastRecord == record) return;
  slot.lastRecord = record;
  occurrences_.push_back((slot.id & ~kLongWord) - 1);
  recordEnd_[record] = static_cast<std::uint32_t>(occurrences_.size());
}

void TEverythingIndexBuilder::Add(std::uint32_t record, std::string_view word) {
  AddWords(record, std::span<const std::string_view>(&word, 1));
}

void TEverythingIndexBuilder::AddWords(std::uint32_t record,
                                       std::span<const std::string_view> words) {
  if (record == 0 || record > recordCount_) return;
  // A word's slot is most often a miss in every cache: ask for all of them
  // first, so that the misses overlap instead of following one another.
  constexpr std::size_t kAhead = 32;
  std::uint64_t keys[kAhead];
  for (std::size_t from = 0; from < words.size(); from += kAhead) {
    const std::size_t n = std::min(kAhead, words.size() - from);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = 0; i < n; ++i) {
      const std::string_view word = words[from + i];
      keys[i] = word.size() > 8 ? LongKey(word) : Packed(word, 0);
      __builtin_prefetch(&slots_[Mix(keys[i]) & mask]);
    }
    for (std::size_t i = 0; i < n; ++i) {
      const std::string_view word = words[from + i];
      if (!word.empty()) Count(record, Find(word, keys[i], word.size() > 8));
    }
  }
}

TEverythingIndex TEverythingIndexBuilder::Finish() {
  TEverythingIndex index;
  index.recordCount_ = recordCount_;
  const auto words = static_cast<std::uint32_t>(wordStart_.size() - 1);
  index.wordCount_ = words;
  slots_ = {};

  // The words in byte order: by their first eight bytes, then in full where
  // those are equal.
  // A word of at most eight bytes is all in its head, so that writing the
  // words in order reads the arena only for the longer ones.
  struct Key {
    std::uint64_t head;
    std::uint32_t id;
    std::uint32_t length;
  };
  Large<Key> keys(words);
  for (std::uint32_t id = 0; id < words; ++id)
    keys[id] = {heads_[id], id, wordStart_[id + 1] - wordStart_[id]};
  heads_ = {};
  std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) { return a.head < b.head; });
  for (std::size_t i = 0; i < keys.size();) {
    std::size_t j = i + 1;
    while (j < keys.size() && keys[j].head == keys[i].head) ++j;
    if (j - i > 1)
      std::sort(keys.begin() + static_cast<std::ptrdiff_t>(i),
                keys.begin() + static_cast<std::ptrdiff_t>(j),
                [this](const Key& a, const Key& b) { return Word(a.id) < Word(b.id); });
    i = j;
  }
  Large<std::uint32_t> rankOf(words);
  for (std::uint32_t k = 0; k < words; ++k) rankOf[keys[k].id] = k;

  // Each word's records, ascending, word after word in byte order.
  Large<std::uint32_t> start(static_cast<std::size_t>(words) + 1, 0);
  for (const std::uint32_t id : occurrences_) ++start[rankOf[id] + 1];
  for (std::uint32_t k = 0; k < words; ++k) start[k + 1] += start[k];
  Large<std::uint32_t> records(occurrences_.size());
  {
    Large<std::uint32_t> next(start.begin(), start.end() - 1);
    std::uint32_t from = 0;
    for (std::uint32_t r = 1; r <= recordCount_; ++r) {
      // A record without words keeps the end of the one before.
      const std::uint32_t to = std::max(from, recordEnd_[r]);
      for (std::uint32_t i = from; i < to; ++i) records[next[rankOf[occurrences_[i]]]++] = r;
      from = to;
    }
  }
  occurrences_ = {};
  recordEnd_ = {};

  // About what the entries take: each word's text and length bytes, and a
  // byte or two for each of its records.
  index.stream_.reserve(arena_.size() + 3 * static_cast<std::size_t>(words) + 2 * records.size());
  const std::size_t setWords = BitWords(recordCount_);
  std::string previous;
  std::string word;
  for (std::uint32_t k = 0; k < words; ++k) {
    if (keys[k].length <= 8) {
      word.resize(keys[k].length);
      for (std::uint32_t i = 0; i < keys[k].length; ++i)
        word[i] = static_cast<char>(keys[k].head >> (56 - 8 * i));
    } else {
      word = Word(keys[k].id);
    }
    std::size_t shared = 0;
    if (k % TEverythingIndex::kBlockWords == 0) {
      index.blocks_.push_back(static_cast<std::uint32_t>(index.stream_.size()));
    } else {
      const std::size_t most = std::min(word.size(), previous.size());
      while (shared < most && word[shared] == previous[shared]) ++shared;
    }
    PutVarint(index.stream_, shared);
    PutVarint(index.stream_, word.size() - shared);
    index.stream_.insert(index.stream_.end(), word.begin() + static_cast<std::ptrdiff_t>(shared),
                         word.end());
    const std::uint32_t count = start[k + 1] - start[k];
    if (static_cast<std::uint64_t>(count) * 8 >= recordCount_ && recordCount_ >= 64) {
      const std::size_t set = index.bitSets_.size() / setWords;
      index.bitSets_.resize(index.bitSets_.size() + setWords, 0);
      std::uint64_t* bits = index.bitSets_.data() + set * setWords;
      for (std::uint32_t i = start[k]; i < start[k + 1]; ++i)
        bits[(records[i] - 1) >> 6] |= std::uint64_t{1} << ((records[i] - 1) & 63);
      PutVarint(index.stream_, (static_cast<std::uint64_t>(set) << 1) | 1);
    } else {
      PutVarint(index.stream_, static_cast<std::uint64_t>(count) << 1);
      std::uint32_t last = 0;
      for (std::uint32_t i = start[k]; i < start[k + 1]; ++i) {
        PutVarint(index.stream_, records[i] - last);
        last = records[i];
      }
    }
    previous.swap(word);
  }
  index.stream_.shrink_to_fit();
  index.blocks_.shrink_to_fit();
  index.bitSets_.shrink_to_fit();
  arena_ = {};
  wordStart_ = {0};
  return index;
}

}  // namespace dorvem
