#include "dataset/store/index_descriptor.h"

#include <cstring>

namespace dorvem {

void SetIndexName(IndexDescriptor* d, const char* name) {
  std::memset(d->name, 0, sizeof d->name);
  std::strncpy(d->name, name, sizeof d->name - 1);
}

bool LeadingKeysEqual(const IndexDescriptor& a, const IndexDescriptor& b, int count) {
  if (count > a.fieldCount || count > b.fieldCount) return false;
  for (int i = 0; i < count; ++i) {
    if (a.fields[i] != b.fields[i]) return false;
    if ((a.descending[i] != 0) != (b.descending[i] != 0)) return false;
    if ((a.caseInsensitive[i] != 0) != (b.caseInsensitive[i] != 0)) return false;
  }
  return true;
}

bool IsDefaultOrder(const IndexDescriptor& d) {
  return std::strcmp(d.name, kDefaultOrderName) == 0;
}

}  // namespace dorvem
