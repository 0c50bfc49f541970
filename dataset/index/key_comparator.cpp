#include "dataset/index/key_comparator.h"

#include <new>

#include "dataset/store/collation_ranks.h"
#include "dataset/store/table.h"

namespace dorvem {

DBResult KeyComparator::Define(const DSBASE& table, const IndexDescriptor& d,
                               std::uint32_t* keyLength) {
  if (d.fieldCount < 0 || d.fieldCount > kMaxIndexFields) return dbr::kInvalidParameter;
  std::vector<Key> keys;
  std::uint32_t length = 0;
  try {
    keys.reserve(static_cast<std::size_t>(d.fieldCount));
    for (int i = 0; i < d.fieldCount; ++i) {
      const std::int32_t column = d.fields[i];
      if (column < 1 || static_cast<std::uint32_t>(column) > table.FieldCount())
        return dbr::kInvalidParameter;
      const DSFLDDesc& field = table.Field(static_cast<std::uint32_t>(column));
      Key k{static_cast<std::uint32_t>(column), nullptr, nullptr};
      if (DBResult r = MakeFieldHandler(field, d.descending[i] != 0, d.caseInsensitive[i] != 0,
                                        table.Lcid(), &k.handler))
        return r;
      length += field.recordLength;
      keys.push_back(std::move(k));
    }
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
  table_ = &table;
  keys_ = std::move(keys);
  *keyLength = length;
  return dbr::kOk;
}

void KeyComparator::Prepare(DSBASE& table, bool compute) {
  for (Key& k : keys_) {
    k.ranks = nullptr;
    if (!k.handler->IsCollatedString()) continue;
    const std::uint32_t flags = k.handler->CaseInsensitive() ? locale::kIgnoreCase : 0;
    k.ranks = compute ? table.Ranks().Get(table, k.fieldId, k.handler->Lcid(), flags)
                      : table.Ranks().Find(table, k.fieldId, k.handler->Lcid(), flags);
  }
}

int KeyComparator::CompareByHandler(const Key& k, std::uint32_t a, std::uint32_t b) const {
  const std::uint8_t* va =
      table_->NullFlag(a, k.fieldId) == kNullFlagValue ? table_->ValuePtr(a, k.fieldId) : nullptr;
  const std::uint8_t* vb =
      table_->NullFlag(b, k.fieldId) == kNullFlagValue ? table_->ValuePtr(b, k.fieldId) : nullptr;
  return k.handler->Compare(va, vb);
}

}  // namespace dorvem
