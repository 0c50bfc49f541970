// The client dataset's order: IndexFieldNames, IndexName and IndexDefs,
// turned into the engine cursor's sort requests and named indexes.
#include <algorithm>

#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "dataset/host/host_messages.h"

namespace dorvem {

void TCustomClientDataSet::SetIndex(const std::string& text, bool byFields) {
  if (!Active()) {
    // Stored for the next opening; the last choice set wins.
    indexText_ = text;
    byFields_ = byFields;
    return;
  }
  EnsureBrowse();
  if (WindowRecordCount() > 0) CursorToSlot(ActiveSlot());
  if (text == indexText_ && byFields == byFields_) return;
  ApplyIndex(text, byFields);
  indexText_ = text;
  byFields_ = byFields;
  // The engine cursor stayed on the current record; the window is read
  // again around it, without scroll events.
  RefillWindow(false, false);
}

void TCustomClientDataSet::ApplyStoredIndex() {
  if (!indexText_.empty()) ApplyIndex(indexText_, byFields_);
  ReadIndexDescriptor();
}

void TCustomClientDataSet::ApplyIndex(const std::string& text, bool byFields) {
  if (byFields && !text.empty())
    SortByFieldNames(text, false, false);
  else
    UseNamedIndex(text);
  ReadIndexDescriptor();
}

void TCustomClientDataSet::SortByFieldNames(const std::string& names, bool descending,
                                            bool caseInsensitive) {
  std::vector<std::uint32_t> columns;
  for (const std::string& name : SplitFieldList(names)) {
    const TField* field = FieldByName(name);
    if (field->FieldNo() < 1) DatabaseError(msg::kFieldIndexError, Name());
    columns.push_back(static_cast<std::uint32_t>(field->FieldNo()));
  }
  // The request's two switches: every field descending, every field
  // case-insensitive, each a full array of set flags or none.
  const std::vector<std::int32_t> all(columns.size(), -1);
  Check(cursor_->SortByFields(static_cast<std::uint32_t>(columns.size()), columns.data(),
                              descending ? all.data() : nullptr,
                              caseInsensitive ? all.data() : nullptr));
}

namespace {

// Sets flag `flags[i]` of the key field each name of `names` denotes.
void MarkKeyFields(const TDataSet& ds, const std::string& names, const IndexDescriptor& d,
                   std::int32_t* flags) {
  for (const std::string& name : SplitFieldList(names)) {
    const TField* field = ds.FindField(name);
    const std::int32_t* end = d.fields + d.fieldCount;
    const std::int32_t* key =
        field == nullptr ? end
                         : std::find(d.fields, end, static_cast<std::int32_t>(field->FieldNo()));
    if (key == end) DatabaseError(msg::Fmt(msg::kIndexFieldNotFound, {name}), ds.Name());
    flags[key - d.fields] = 1;
  }
}

}  // namespace

void TCustomClientDataSet::UseNamedIndex(const std::string& name) {
  DBResult r = cursor_->UseIndex(name.c_str());
  if (r == dbr::kIndexNotFound) {
    // Not in the engine: made from the definition of that name.
    const TIndexDef* def = indexDefs_.Find(name);
    if (def == nullptr) DatabaseError(msg::Fmt(msg::kIndexNotFound, {name}), Name());
    IndexDescriptor d;
    dorvem::SetIndexName(&d, def->name.c_str());
    for (const std::string& fieldName : SplitFieldList(def->fields)) {
      if (d.fieldCount == kMaxIndexFields) break;
      d.fields[d.fieldCount++] = FieldByName(fieldName)->FieldNo();
    }
    d.uniqueness = def->options.Has(ixUnique) ? kIndexUnique : kIndexDuplicates;
    if (def->options.Has(ixDescending) && def->descFields.empty())
      std::fill(d.descending, d.descending + d.fieldCount, 1);
    if (def->options.Has(ixCaseInsensitive) && def->caseInsFields.empty())
      std::fill(d.caseInsensitive, d.caseInsensitive + d.fieldCount, 1);
    MarkKeyFields(*this, def->descFields, d, d.descending);
    MarkKeyFields(*this, def->caseInsFields, d, d.caseInsensitive);
    Check(table_->CreateIndex(d));
    r = cursor_->UseIndex(name.c_str());
  }
  Check(r);
}

void TCustomClientDataSet::ReadIndexDescriptor() {
  IndexDescriptor d;
  Check(cursor_->GetIndexDescriptor(&d));
  indexColumns_.assign(d.fields, d.fields + d.fieldCount);
  indexKeyLength_ = d.keyLength;
}

void TCustomClientDataSet::ForgetIndexDescriptor() {
  indexColumns_.clear();
  indexKeyLength_ = 0;
}

bool TCustomClientDataSet::IsIndexField(const TField* field) const {
  return field->FieldNo() > 0 && std::find(indexColumns_.begin(), indexColumns_.end(),
                                           field->FieldNo()) != indexColumns_.end();
}

void TCustomClientDataSet::UpdateIndexDefs() {
  if (!Active()) return;
  std::vector<IndexDescriptor> descs;
  Check(table_->GetIndexDescs(&descs));
  indexDefs_.Clear();
  for (const IndexDescriptor& d : descs) {
    TIndexDef def;
    def.name = d.name;
    // Names of the key fields whose flag is set (all of them: "*").
    auto join = [&](const std::int32_t* flags) {
      std::string names;
      int set = 0;
      for (int i = 0; i < d.fieldCount; ++i) {
        if (flags && !flags[i]) continue;
        if (!names.empty()) names += ';';
        names += descs_[static_cast<std::size_t>(d.fields[i]) - 1].name;
        ++set;
      }
      return std::pair{names, set > 0 && set == d.fieldCount};
    };
    def.fields = join(nullptr).first;
    if (d.uniqueness != kIndexDuplicates) def.options.Include(ixUnique);
    if (auto [names, every] = join(d.descending); every)
      def.options.Include(ixDescending);
    else
      def.descFields = names;
    if (auto [names, every] = join(d.caseInsensitive); every)
      def.options.Include(ixCaseInsensitive);
    else
      def.caseInsFields = names;
    indexDefs_.Add(std::move(def));
  }
}

}  // namespace dorvem
