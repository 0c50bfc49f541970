#include "dataset/eval/filter_list.h"

#include "dataset/eval/prefix_search.h"

#include <algorithm>
#include <new>

#include "dataset/store/table.h"

namespace dorvem {

DBResult FilterList::AddExpression(const std::uint8_t* buffer, std::size_t size,
                                   std::uint32_t* handle) {
  try {
    Entry entry;
    entry.buffer.assign(buffer, buffer + size);
    if (DBResult r = eval::Program::Compile(entry.buffer.data(), entry.buffer.size(), table_,
                                            &entry.program))
      return r;
    entry.handle = nextHandle_;
    if (const eval::PrefixTest* test = entry.program->SolePrefixTest()) entry.prefix = *test;
    entries_.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
  *handle = nextHandle_++;
  return dbr::kOk;
}

DBResult FilterList::AddCallback(void* userData, FilterCallback callback, std::uint32_t* handle) {
  if (callback == nullptr) return dbr::kInvalidParameter;
  try {
    Entry entry;
    entry.handle = nextHandle_;
    entry.userData = userData;
    entry.callback = callback;
    entries_.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
  *handle = nextHandle_++;
  return dbr::kOk;
}

DBResult FilterList::AddRecordSet(const std::uint64_t* words, std::uint32_t wordCount,
                                  std::uint32_t* handle) {
  try {
    Entry entry;
    entry.handle = nextHandle_;
    entry.recordSet = true;
    entry.records.assign(words, words + wordCount);
    entries_.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
  *handle = nextHandle_++;
  return dbr::kOk;
}

DBResult FilterList::Remove(std::uint32_t handle) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->handle == handle) {
      entries_.erase(it);
      return dbr::kOk;
    }
  }
  return dbr::kObjectNotFound;
}

bool FilterList::Accepts(std::uint32_t record) {
  for (Entry& e : entries_) {
    if (e.prefix.matcher) {
      if (!e.prefix.Passes(table_, record)) return false;
      continue;
    }
    if (e.program) {
      if (!e.program->Passes(record)) return false;
      continue;
    }
    if (e.recordSet) {
      const std::size_t word = (record - 1) >> 6;
      if (word >= e.records.size() || ((e.records[word] >> ((record - 1) & 63)) & 1) == 0)
        return false;
      continue;
    }
    if (image_.size() != table_.RecordSize()) image_.assign(table_.RecordSize(), 0);
    table_.CopyRecordImage(record, image_.data());
    if (e.callback(e.userData, image_.data()) == 0) return false;
  }
  return true;
}

bool FilterList::AcceptedAtOnce(std::vector<std::uint64_t>* accepted) {
  if (entries_.size() == 1 && entries_[0].recordSet) {
    const std::size_t words = (static_cast<std::size_t>(table_.RecordCount()) + 63) / 64;
    accepted->assign(words, 0);
    const std::size_t n = std::min(words, entries_[0].records.size());
    std::copy_n(entries_[0].records.begin(), n, accepted->begin());
    // Bits past the last record stay clear.
    if (n == words && words > 0 && table_.RecordCount() % 64 != 0)
      accepted->back() &= (std::uint64_t{1} << (table_.RecordCount() % 64)) - 1;
    return true;
  }
  if (entries_.size() != 1 || entries_[0].prefix.matcher == nullptr || !entries_[0].prefix.equal)
    return false;
  const eval::PrefixTest& test = entries_[0].prefix;
  // Below this many records asking each costs less than the byte order.
  constexpr std::uint32_t kSmallTable = 20000;
  if (table_.RecordCount() < kSmallTable) return false;
  std::uint32_t count = 0;
  std::uint32_t* firstByteStarts = nullptr;
  const std::uint32_t* order =
      table_.Ranks().ByteOrder(table_, test.fieldId, &count, &firstByteStarts);
  if (order == nullptr) return false;
  // A walk that visits more runs than a small part of the values would cost
  // more than asking each record.
  const std::uint32_t budget = count / 16 + 64;
  return eval::FindPrefixMatches(*test.matcher, table_, test.fieldId, order, count, budget,
                                 accepted, firstByteStarts);
}

}  // namespace dorvem
