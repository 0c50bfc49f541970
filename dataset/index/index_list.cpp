// The table's side of indexing: the indexes made while loading, indexes
// created by descriptor, and the list and look-up of named indexes.
#include "dataset/index/index_list.h"

#include <cstring>
#include <new>

#include "dataset/core/alloc_guard.h"
#include "dataset/index/dsidx.h"
#include "dataset/locale/locale_services.h"

namespace dorvem {

namespace {

bool Named(const DSIDX& index) {
  return !index.Temporary() && index.Kind() != IndexKind::kFiltered;
}

}  // namespace

DBResult DSBASE_Factory(TDSBASE** out) {
  auto* table = new (std::nothrow) DSBASE();
  if (table == nullptr) return *out = nullptr, dbr::kOutOfMemory;
  auto* list = new (std::nothrow) IndexList(table);
  if (list == nullptr) {
    table->Release();
    return *out = nullptr, dbr::kOutOfMemory;
  }
  table->SetIndexes(std::unique_ptr<TableIndexes>(list));
  *out = table;
  return dbr::kOk;
}

IndexList& IndexesOf(const DSBASE& table) {
  // DSBASE_Factory gives every table an IndexList and nothing replaces it.
  return *static_cast<IndexList*>(table.Indexes());
}

IndexList::~IndexList() {
  Clear();
}

void IndexList::Clear() {
  // The list holds one reference to each index the table keeps; deleting
  // one unlinks it from indexes_.
  while (!indexes_.empty()) {
    DSIDX* index = indexes_.back();
    indexes_.pop_back();
    delete index;
  }
  defaultOrder_ = nullptr;
}

DBResult IndexList::CreateLoadIndexes() {
  // The default order lists the records in load order unless the packet
  // gave its key fields; then it orders them stably by those.
  IndexDescriptor defaultOrder;
  SetIndexName(&defaultOrder, kDefaultOrderName);
  for (const IndexDescriptor& d : table_->PacketIndexes())
    if (IsDefaultOrder(d)) defaultOrder = d;
  auto* index = new (std::nothrow) DSIDX(table_, IndexKind::kPlain);
  if (index == nullptr) return dbr::kOutOfMemory;
  if (DBResult r = index->Define(defaultOrder)) {
    delete index;
    return r;
  }
  Register(index);
  defaultOrder_ = index;
  if (DBResult r = index->Build()) return r;

  // The packet's unique indexes.
  for (const IndexDescriptor& d : table_->PacketIndexes())
    if (!IsDefaultOrder(d))
      if (DBResult r = CreateIndex(d)) return r;

  if (table_->IsDelta()) return dbr::kOk;
  IndexDescriptor changes;
  SetIndexName(&changes, kChangeIndexName);
  auto* log = new (std::nothrow) DSIDXCHG(table_);
  if (log == nullptr) return dbr::kOutOfMemory;
  if (DBResult r = log->Define(changes)) {
    delete log;
    return r;
  }
  Register(log);
  return log->Build();
}

DBResult IndexList::RebuildAll() {
  for (DSIDX* index : indexes_)
    if (DBResult r = index->Build()) return r;
  return dbr::kOk;
}

DBResult IndexList::CreateIndex(const IndexDescriptor& d) {
  IndexDescriptor named = d;
  named.name[sizeof named.name - 1] = 0;
  if (named.name[0] == 0 || FindNamed(named.name) != nullptr) return dbr::kInvalidParameter;
  auto* index = new (std::nothrow) DSIDX(table_, IndexKind::kPlain);
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

DBResult IndexList::GetIndexDescs(std::vector<IndexDescriptor>* descs) const {
  descs->clear();
  return GuardAllocation([&] {
    for (const DSIDX* index : indexes_)
      if (Named(*index)) descs->push_back(index->Descriptor());
  });
}

void IndexList::Register(DSIDX* index) {
  index->SetSerial(nextSerial_++);
  indexes_.push_back(index);
}

void IndexList::Unlink(DSIDX* index) {
  for (auto it = indexes_.begin(); it != indexes_.end(); ++it) {
    if (*it == index) {
      indexes_.erase(it);
      break;
    }
  }
  if (defaultOrder_ == index) defaultOrder_ = nullptr;
}

DSIDX* IndexList::FindNamed(const char* name) const {
  for (DSIDX* index : indexes_)
    if (Named(*index) && locale::CompareStringA(table_->Lcid(), 0, index->Descriptor().name, -1,
                                                name, -1) == locale::kEqual)
      return index;
  return nullptr;
}

}  // namespace dorvem
