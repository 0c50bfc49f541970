#include "dataset/store/string_column.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace dorvem {

const std::uint8_t* StringColumn::Zeros() {
  static const std::uint8_t zeros[kTail] = {};
  return zeros;
}

bool StringColumn::ReserveRecords(std::uint32_t records) {
  if (records <= reserved_) return true;
  if (!offsets_.Resize(static_cast<std::size_t>(records) * sizeof(std::uint32_t))) return false;
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
  if (record == 0 || (record != count_ && record != count_ + 1)) return false;
  if (record > reserved_ && !ReserveRecords(record)) return false;
  // Storing the last value again: its bytes go, and zeros take their place
  // so that the tail stays zero.
  const std::uint64_t start = record == count_ ? Start(record) : used_;
  const std::uint64_t end = start + length + 1;
  if (end + kTail > bytes_.size()) {
    const std::uint64_t want = std::max<std::uint64_t>(end + kTail, bytes_.size() * 3 / 2);
    if (!bytes_.Resize(static_cast<std::size_t>(want))) return false;
  }
  const std::uint32_t block = (record - 1) >> kBlockShift;
  if (block == bases_.size()) {
    try {
      bases_.push_back(start);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  if (record == count_ && used_ > start) std::memset(bytes_.data() + start, 0, used_ - start);
  Offsets()[record - 1] = static_cast<std::uint32_t>(start - bases_[block]);
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

void StringColumn::ShrinkToFit() {
  bytes_.Resize(static_cast<std::size_t>(used_ + kTail));
  bytes_.ShrinkToFit();
}

}  // namespace dorvem
