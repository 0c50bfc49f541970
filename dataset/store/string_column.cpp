#include "dataset/store/string_column.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "dataset/core/byte_layout.h"

namespace dorvem {

const std::uint8_t* StringColumn::Zeros() {
  static const std::uint8_t zeros[kTail] = {};
  return zeros;
}

namespace {

// The largest block (as a power of two) whose values of `maxLength` bytes
// and their zeros fit 65536 bytes, so that the last value of a full block
// starts below 65536 - maxLength.
unsigned BlockShiftFor(std::uint32_t maxLength) {
  unsigned shift = 16;
  while (shift > 0 && (std::uint64_t{maxLength} + 1) << shift > 65536) --shift;
  return shift;
}

}  // namespace

StringColumn::StringColumn(std::uint32_t maxLength)
    : maxLength_(std::min<std::uint32_t>(maxLength, kTail - 5)),
      blockShift_(BlockShiftFor(maxLength_)) {}

bool StringColumn::ReserveRecords(std::uint32_t records) {
  if (records <= reserved_) return true;
  if (!offsets_.Resize(static_cast<std::size_t>(records) * sizeof(std::uint16_t))) return false;
  reserved_ = records;
  return true;
}

std::uint32_t StringColumn::Length(std::uint32_t record) const {
  if (record == 0 || record > count_) return 0;
  const std::uint64_t end = record < count_ ? Start(record + 1) : used_;
  return static_cast<std::uint32_t>(end - Start(record) - 1);
}

bool StringColumn::Store(std::uint32_t record, const std::uint8_t* bytes, std::uint32_t length) {
  // Only the last value may be stored again: an earlier one would cut the
  // column short.
  if (record == 0 || (record != count_ && record != count_ + 1) || length > maxLength_)
    return false;
  if (record > reserved_ && !ReserveRecords(record)) return false;
  // Storing the last value again: its bytes go, and zeros take their place
  // so that the tail stays zero.
  const std::uint64_t start = record == count_ ? Start(record) : used_;
  const std::uint64_t end = start + length + 1;
  if (end + kTail > bytes_.size()) {
    const std::uint64_t want = std::max<std::uint64_t>(end + kTail, bytes_.size() * 3 / 2);
    if (!bytes_.Resize(static_cast<std::size_t>(want))) return false;
  }
  const std::uint32_t block = (record - 1) >> blockShift_;
  if (block == bases_.size()) {
    try {
      bases_.push_back(start);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  if (record == count_ && used_ > start) std::memset(bytes_.data() + start, 0, used_ - start);
  Offsets()[record - 1] = static_cast<std::uint16_t>(start - bases_[block]);
  if (length) std::memcpy(bytes_.data() + start, bytes, length);
  bytes_.data()[start + length] = 0;
  used_ = end;
  count_ = record;
  return true;
}

void StringColumn::CopySlot(std::uint32_t record, std::uint8_t* slot, std::uint32_t width) const {
  const std::uint32_t n = std::min(Length(record), width);
  if (n) std::memcpy(slot, Value(record), n);
  std::memset(slot + n, 0, width - n);
}

bool StringColumn::Save(const Write& write) const {
  static_assert(std::endian::native == std::endian::little, "images are written as they lie");
  std::uint8_t head[16] = {};
  StoreU64(head, used_);
  StoreU32(head + 8, static_cast<std::uint32_t>(bases_.size()));
  StoreU32(head + 12, blockShift_);
  return write(head, sizeof head) && write(bases_.data(), bases_.size() * sizeof(std::uint64_t)) &&
         write(offsets_.data(), std::size_t{count_} * sizeof(std::uint16_t)) &&
         write(bytes_.data(), static_cast<std::size_t>(used_));
}

bool StringColumn::Restore(std::uint32_t count, std::uint32_t reserve, const Read& read) {
  const std::uint32_t maxLength = maxLength_;
  if (count_ != 0 || reserve < count) return false;
  std::uint8_t head[16];
  if (!read(head, sizeof head)) return false;
  const std::uint64_t used = LoadU64(head);
  const std::uint64_t blocks = LoadU32(head + 8);
  const auto fail = [this] {
    Clear();
    return false;
  };
  // Each value holds at most maxLength bytes and its zero.
  if (LoadU32(head + 12) != blockShift_ ||
      blocks != (std::uint64_t{count} + (1u << blockShift_) - 1) >> blockShift_ ||
      used > std::uint64_t{count} * (std::uint64_t{maxLength} + 1) || (count == 0) != (used == 0) ||
      !ReserveRecords(reserve))
    return false;
  try {
    bases_.resize(static_cast<std::size_t>(blocks));
  } catch (const std::bad_alloc&) {
    return fail();
  }
  if (!read(bases_.data(), bases_.size() * sizeof(std::uint64_t)) ||
      !read(offsets_.data(), std::size_t{count} * sizeof(std::uint16_t)) ||
      !bytes_.Resize(static_cast<std::size_t>(used + kTail)) ||
      !read(bytes_.data(), static_cast<std::size_t>(used)))
    return fail();
  // The values lie one after another from the arena's start, each ending in
  // its zero; the last one ends the used bytes.
  for (const std::uint64_t base : bases_)
    if (base > used) return fail();
  const std::uint8_t* arena = bytes_.data();
  const std::uint16_t* offsets = Offsets();
  std::uint64_t previous = 0;  // start of the value before
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t start = bases_[i >> blockShift_] + offsets[i];
    if (i == 0 ? start != 0
               : start <= previous || start - previous - 1 > maxLength || arena[start - 1] != 0)
      return fail();
    previous = start;
  }
  if (count > 0 && (used <= previous || used - previous - 1 > maxLength || arena[used - 1] != 0))
    return fail();
  used_ = used;
  count_ = count;
  return true;
}

void StringColumn::Clear() {
  bytes_.Free();
  bases_.clear();
  used_ = count_ = 0;
}

void StringColumn::ShrinkToFit() {
  bytes_.Resize(static_cast<std::size_t>(used_ + kTail));
  bytes_.ShrinkToFit();
}

}  // namespace dorvem
