// IndexDescriptor: the fixed record in which the host and the engine
// describe an index (its name, key fields, uniqueness and per-field flags),
// and the names of the indexes every table has.
#pragma once

#include <cstdint>

namespace dorvem {

inline constexpr int kMaxIndexFields = 16;

// The order a table is loaded in (or the packet's default order), present in
// every loaded table; a cursor opens on it.
inline constexpr const char* kDefaultOrderName = "DEFAULT_ORDER";
// The change log's index.
inline constexpr const char* kChangeIndexName = "CHANGEINDEX";
// The packet's keys.
inline constexpr const char* kPrimaryKeyName = "PRIMARY_KEY";
inline constexpr const char* kUniqueKeyName = "UNIQUE_KEY";

enum IndexUniqueness : std::uint32_t {
  kIndexDuplicates = 0,
  kIndexUnique = 1,
  kIndexPrimary = 2,  // a primary key, also unique
};

struct IndexDescriptor {
  char name[32] = {};                         // at most 31 bytes and a zero
  std::int32_t fieldCount = 0;                // 0 to 16 key fields
  std::int32_t fields[kMaxIndexFields] = {};  // 1-based column numbers
  std::uint32_t keyLength = 0;                // sum of key widths, set by the engine
  std::uint32_t uniqueness = kIndexDuplicates;
  std::int32_t descending[kMaxIndexFields] = {};       // nonzero: descending
  std::int32_t caseInsensitive[kMaxIndexFields] = {};  // nonzero: strings ignore case
};

// Sets the name (cut to 31 bytes).
void SetIndexName(IndexDescriptor* d, const char* name);

// True when the first `count` key fields of `a` and `b` agree in column,
// descending flag and case flag (position by position).
bool LeadingKeysEqual(const IndexDescriptor& a, const IndexDescriptor& b, int count);

// True when the descriptor's name is kDefaultOrderName.
bool IsDefaultOrder(const IndexDescriptor& d);

}  // namespace dorvem
