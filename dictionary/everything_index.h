// TEverythingIndex: which records have a word that begins with each word
// of a search, for the everything search.
//
// The index holds every distinct folded word (word_fold.h) of the records
// with the records it occurs in. The words are kept sorted and front-coded
// in blocks of kBlockWords (each word stored as the length it shares with
// the word before and the rest), each word followed by its records: the
// gaps between record numbers as variable-length integers, or, for a word
// in at least one record in eight, a bit set of the table's records. A
// search finds the first word not below the prefix by a binary search over
// the blocks' first words and reads on while the words begin with it.
//
// TEverythingIndexBuilder takes the words record by record and builds the
// index once; the built index is read-only and may be shared by readers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dataset/core/large_allocator.h"

namespace dorvem {

// A set of records of a table: bit r - 1 for record r.
using TRecordBits = std::vector<std::uint64_t>;

class TEverythingIndex {
 public:
  TEverythingIndex() = default;

  // The records that, for every word of `prefixes` (folded words), have a
  // word beginning with it; `recordCount` bits (rounded up to whole words).
  // No prefixes: no records.
  TRecordBits Matches(const std::vector<std::string>& prefixes) const;
  // The records with a word that begins with `prefix` (a folded word).
  TRecordBits MatchesPrefix(std::string_view prefix) const;

  std::uint32_t RecordCount() const { return recordCount_; }
  std::uint32_t WordCount() const { return wordCount_; }
  // Heap memory the index holds.
  std::size_t MemoryBytes() const;

  static constexpr std::uint32_t kBlockWords = 16;

 private:
  friend class TEverythingIndexBuilder;

  // Calls into `bits` every record of the word whose entry starts at `p`
  // (just after its text); returns the position after the entry.
  const std::uint8_t* MarkRecords(const std::uint8_t* p, TRecordBits& bits) const;
  // The first word of block `block`.
  std::string_view BlockFirstWord(std::uint32_t block) const;

  std::uint32_t recordCount_ = 0;
  std::uint32_t wordCount_ = 0;
  std::vector<std::uint8_t> stream_;    // the entries
  std::vector<std::uint32_t> blocks_;   // start of each block in stream_
  std::vector<std::uint64_t> bitSets_;  // the dense words' record sets
};

class TEverythingIndexBuilder {
 public:
  // For a table of `recordCount` records.
  explicit TEverythingIndexBuilder(std::uint32_t recordCount);

  // Adds a folded word (not empty) of record `record` (1 .. recordCount).
  // Records come in ascending order, all words of a record together; a
  // word repeated in the same record counts once.
  void Add(std::uint32_t record, std::string_view word);
  // Adds the words of record `record` as Add does, all at once: their
  // places in the word table are fetched together, not one after another.
  void AddWords(std::uint32_t record, std::span<const std::string_view> words);
  // The index of every word added; leaves the builder empty.
  TEverythingIndex Finish();

 private:
  // A hash table slot. A word of at most eight bytes is its own key (its
  // bytes, zero-padded: folded words hold no zero byte), so finding it
  // touches the slot alone; a longer word's key is its hash, and its text
  // in the arena settles a match. Each slot also keeps the last record the
  // word was added for, so a record's repeated words cost no more.
  struct Slot {
    std::uint64_t key = 0;
    std::uint32_t id = 0;  // word id + 1 (0: empty), kLongWord set for a long word
    std::uint32_t lastRecord = 0;
  };
  static constexpr std::uint32_t kLongWord = 0x80000000u;

  // The slot of `word` (key `key`), a new word's taken for it.
  Slot& Find(std::string_view word, std::uint64_t key, bool isLong);
  // Counts `slot`'s word for `record` once.
  void Count(std::uint32_t record, Slot& slot);
  void Rehash();
  std::string_view Word(std::uint32_t id) const {
    return {arena_.data() + wordStart_[id], wordStart_[id + 1] - wordStart_[id]};
  }
  template <class T>
  using Large = std::vector<T, LargeAllocator<T>>;

  std::uint32_t recordCount_;
  Large<char> arena_;                 // the distinct words, one after the other
  Large<std::uint32_t> wordStart_;    // id -> start in arena_ (one more at the end)
  Large<std::uint64_t> heads_;        // id -> the word's first eight bytes, in byte order
  Large<Slot> slots_;                 // open addressing, a power of two, at most half full
  Large<std::uint32_t> occurrences_;  // the word ids, record after record
  Large<std::uint32_t> recordEnd_;    // record -> end of its ids in occurrences_
};

}  // namespace dorvem
