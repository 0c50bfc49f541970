// StringColumn: the values of one string field of a table, stored compactly.
//
// A fixed-width slot per record spends the field's whole width on every
// value: a media file name column of width 255 over a million records takes
// 256 MB, nearly all of it zeros. Here each record's value is kept as its
// bytes followed by one terminating zero, one after another in record
// order, in one growable arena. A record finds its value through a 16-bit
// offset from the base of its block of records. A block holds as many
// records (a power of two, at most 65536) as fit values of the column's
// largest length and their zeros in 65536 bytes, so every offset within a
// block fits 16 bits: a headword column of width 60 has blocks of 1024
// records and spends a little over two bytes per record on finding it.
//
// Seen from outside, a value is the slot a fixed-width column would hold:
// Value() points at its bytes and terminating zero, and CopySlot writes the
// bytes followed by zeros up to the field's record length. The arena keeps
// kTail zero bytes after its last value, so reading a whole record length
// from any Value() stays inside it. A record without a stored value (beyond
// Count()) reads as all zeros.
//
// Values are appended in record order. The last one may be stored again (a
// row whose storing failed half-way is stored anew). The column belongs to
// its table (DSBASE), which calls it under its lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "dataset/core/large_buffer.h"

namespace dorvem {

class StringColumn {
 public:
  // Bytes of zeros kept after the last value: more than any record length.
  static constexpr std::size_t kTail = 65536;

  // A column of values of at most `maxLength` bytes (at most 65531).
  explicit StringColumn(std::uint32_t maxLength);
  StringColumn(const StringColumn&) = delete;
  StringColumn& operator=(const StringColumn&) = delete;

  // Makes room for the offsets of `records` values. False when memory
  // cannot be had (nothing changes).
  bool ReserveRecords(std::uint32_t records);

  // Stores the value of record `record` (its `length` <= MaxLength() bytes;
  // `bytes` may be null when `length` is 0): record Count() + 1 is
  // appended, record Count() replaces the last value. False (nothing
  // changes) when memory cannot be had, the value is longer or the record
  // is neither.
  bool Store(std::uint32_t record, const std::uint8_t* bytes, std::uint32_t length);

  // Number of records with a stored value.
  std::uint32_t Count() const { return count_; }
  std::uint32_t MaxLength() const { return maxLength_; }

  // The value of record `record` (1-based): its bytes and a terminating
  // zero; all zeros for a record beyond Count().
  const std::uint8_t* Value(std::uint32_t record) const {
    if (record == 0 || record > count_) return Zeros();
    return bytes_.data() + Start(record);
  }
  // Number of bytes of the value (without the terminating zero).
  std::uint32_t Length(std::uint32_t record) const;

  // Writes the value as a record-image slot of `width` bytes: its bytes (at
  // most width), then zeros.
  void CopySlot(std::uint32_t record, std::uint8_t* slot, std::uint32_t width) const;

  // Forgets every value (the room reserved for offsets stays).
  void Clear();

  // Gives back arena room reserved beyond the values and the tail.
  void ShrinkToFit();

  // Writes the column's image through `write` (false from it ends the
  // write): the arena's used byte count (u64), the block count (u32) and
  // the records per block as a power of two (u32), the blocks' bases (u64
  // each), the Count() offsets (u16 each), then the used bytes of the
  // arena; numbers little-endian. False when a write failed.
  using Write = std::function<bool(const void*, std::size_t)>;
  bool Save(const Write& write) const;
  // Replaces an empty column by the image of `count` values that Save
  // wrote, read through `read`, with room for `reserve` >= count records.
  // The image is checked as it would be had from anyone: its blocks are
  // this column's, values follow each other without a gap, each ends in a
  // zero and holds at most MaxLength() bytes. False, with the column empty
  // again, when it cannot be read, is not such an image, or memory cannot
  // be had.
  using Read = std::function<bool(void*, std::size_t)>;
  bool Restore(std::uint32_t count, std::uint32_t reserve, const Read& read);

  // The arena's used bytes, for content hashes.
  const std::uint8_t* ArenaData() const { return bytes_.data(); }
  std::size_t ArenaSize() const { return used_; }

 private:
  static const std::uint8_t* Zeros();

  std::uint64_t Start(std::uint32_t record) const {
    const std::uint32_t i = record - 1;
    return bases_[i >> blockShift_] + Offsets()[i];
  }
  const std::uint16_t* Offsets() const {
    return reinterpret_cast<const std::uint16_t*>(offsets_.data());
  }
  std::uint16_t* Offsets() { return reinterpret_cast<std::uint16_t*>(offsets_.data()); }

  std::uint32_t maxLength_;
  unsigned blockShift_;               // records per block: 1 << blockShift_
  LargeBuffer bytes_;                 // values and their zeros, then the zero tail
  LargeBuffer offsets_;               // one u16 per record: its value's start in its block
  std::vector<std::uint64_t> bases_;  // arena offset of each block's first value
  std::uint64_t used_ = 0;            // arena bytes holding values
  std::uint32_t count_ = 0;
  std::uint32_t reserved_ = 0;  // records the offsets have room for
};

}  // namespace dorvem
