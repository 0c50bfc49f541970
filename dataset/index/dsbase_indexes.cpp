// The table's side of indexing: the indexes made while loading, indexes
// created by descriptor, and the list and look-up of named indexes.
#include <cstring>
#include <new>

#include "dataset/index/dsidx.h"
#include "dataset/locale/locale_services.h"
#include "dataset/store/dsbase.h"

namespace dorvem {

namespace {

bool Named(const DSIDX& index) {
  return !index.Temporary() && index.Kind() != IndexKind::kFiltered;
}

}  // namespace

DBResult DSBASE::CreateLoadIndexes() {
  // "DEFAULT_ORDER" lists the records in load order unless the packet gave
  // its key fields; then it orders them stably by those.
  IndexDescriptor defaultOrder;
  SetIndexName(&defaultOrder, "DEFAULT_ORDER");
  for (const IndexDescriptor& d : packetIndexes_)
    if (std::strcmp(d.name, "DEFAULT_ORDER") == 0) defaultOrder = d;
  auto* index = new (std::nothrow) DSIDX(this, IndexKind::kPlain);
  if (index == nullptr) return dbr::kOutOfMemory;
  if (DBResult r = index->Define(defaultOrder)) {
    delete index;
    return r;
  }
  Register(index);
  defaultOrder_ = index;
  if (DBResult r = index->Build()) return r;

  // The packet's unique indexes.
  for (const IndexDescriptor& d : packetIndexes_)
    if (std::strcmp(d.name, "DEFAULT_ORDER") != 0)
      if (DBResult r = CreateIndex(d)) return r;

  if (delta_) return dbr::kOk;
  IndexDescriptor changes;
  SetIndexName(&changes, "CHANGEINDEX");
  auto* log = new (std::nothrow) DSIDXCHG(this);
  if (log == nullptr) return dbr::kOutOfMemory;
  if (DBResult r = log->Define(changes)) {
    delete log;
    return r;
  }
  Register(log);
  return log->Build();
}

DBResult DSBASE::CreateIndex(const IndexDescriptor& d) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  IndexDescriptor named = d;
  named.name[sizeof named.name - 1] = 0;
  if (named.name[0] == 0 || FindNamedIndex(named.name) != nullptr) return dbr::kInvalidParameter;
  auto* index = new (std::nothrow) DSIDX(this, IndexKind::kPlain);
  if (index == nullptr) return dbr::kOutOfMemory;
  DBResult r = index->Define(named);
  if (r == dbr::kOk) r = index->Build();
  if (r != dbr::kOk) {
    delete index;
    return r;
  }
  Register(index);
  return dbr::kOk;
}

DBResult DSBASE::GetIndexDescs(std::vector<IndexDescriptor>* descs) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  descs->clear();
  try {
    for (const DSIDX* index : indexes_)
      if (Named(*index)) descs->push_back(index->Descriptor());
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
  return dbr::kOk;
}

DSIDX* DSBASE::FindNamedIndex(const char* name) const {
  for (DSIDX* index : indexes_)
    if (Named(*index) &&
        locale::CompareStringA(lcid_, 0, index->Descriptor().name, -1, name, -1) == locale::kEqual)
      return index;
  return nullptr;
}

}  // namespace dorvem
