#include "dataset/host/client_dataset.h"

#include <algorithm>

#include "dataset/host/db_errors.h"
#include "dataset/host/host_messages.h"
#include "dataset/host/open_steps.h"
#include "dataset/host/packet_file.h"
#include "dataset/host/table_preload.h"
#include "dataset/index/index_list.h"
#include "dataset/locale/locale_services.h"

namespace dorvem {

TCustomClientDataSet::TCustomClientDataSet(std::string name) : TDataSet(std::move(name)) {}

TCustomClientDataSet::~TCustomClientDataSet() {
  // Closing here, not in the base, so that the engine objects go while this
  // object still exists; no events are sent while the owner is destroyed.
  BeforeClose = nullptr;
  AfterClose = nullptr;
  if (Active()) Close();
}

// --- Reading the file ------------------------------------------------------

PacketBytes TCustomClientDataSet::ReadPacketFile() const {
  return ReadPacketFileOf(fileName_, cacheFolder_, Name());
}

// --- Opening and closing -------------------------------------------------

void TCustomClientDataSet::InternalOpen() {
  // A table preloaded for this very open comes with its cursor, already in
  // the order ApplyStoredIndex asks for (table_preload.h).
  if (!TakePreloadedTable(fileName_, cacheFolder_, IndexFieldNames(), &table_, &cursor_)) {
    PacketBytes packet = ReadPacketFile();
    OpenStepDone("read");
    Check(DSBASE_Factory(table_.Receive()));
    Check(table_->AppendData(std::move(packet), true));
    OpenStepDone("store");
    Check(DSCursor_Factory(cursor_.Receive()));
    Check(cursor_->InitCursor(table_.get()));
  } else {
    OpenStepDone("read");
    OpenStepDone("store");
  }

  DSProps props;
  Check(cursor_->GetCursorProps(&props));
  recordSize_ = props.recordSize;
  lcid_ = props.lcid;
  codePage_ = locale::AnsiCodePageOf(lcid_);
  descs_.assign(props.fieldCount, DSFLDDesc{});
  Check(cursor_->GetFieldDescs(descs_.data()));
  fieldDefs_.Build(descs_);

  if (Fields().empty()) CreateFields();
  BindFields();
  Check(cursor_->ToBeforeFirst());
  OpenStepDone("fields");
  ApplyStoredIndex();
  OpenStepDone("order");
  if (filtered_) ActivateFilters();
  OpenStepDone("filter");
}

void TCustomClientDataSet::InternalClose() {
  DeactivateFilters();
  ForgetIndexDescriptor();
  UnbindFields();
  DestroyOwnFields();
  fieldDefs_.Clear();
  descs_.clear();
  cursor_.Reset();
  table_.Reset();
  recordSize_ = 0;
}

void TCustomClientDataSet::CreateFields() {
  for (int i = 0; i < fieldDefs_.Count(); ++i) {
    const TFieldDef& def = fieldDefs_[i];
    if (auto field = CreateFieldForType(def.dataType, def.name, def.size)) {
      field->SetName(Name() + def.name);
      AdoptField(std::move(field));
    }
  }
}

void TCustomClientDataSet::BindFields() {
  for (TField* field : Fields()) {
    if (field->FieldKind() != fkData && field->FieldKind() != fkInternalCalc) continue;
    const TFieldDef* def = fieldDefs_.Find(field->FieldName());
    if (!def) DatabaseError(msg::Fmt(msg::kFieldNotFound, {field->DisplayName()}), Name());
    if (CompatibilityClass(field->DataType()) != CompatibilityClass(def->dataType))
      DatabaseError(
          msg::Fmt(msg::kFieldTypeMismatch, {field->DisplayName(), FieldTypeName(field->DataType()),
                                             FieldTypeName(def->dataType)}),
          Name());
    const TFieldType t = field->DataType();
    if ((t == ftBCD || t == ftBytes || t == ftVarBytes || t == ftReference) &&
        field->Size() != def->size)
      DatabaseError(
          msg::Fmt(msg::kFieldSizeMismatch, {field->DisplayName(), std::to_string(field->Size()),
                                             std::to_string(def->size)}),
          Name());
    if (IsBlobFieldType(t)) field->SetSize(def->size);
    field->fieldNo_ = def->fieldNo;
    field->boundType_ = def->dataType;
    field->recordLength_ = descs_[def->fieldNo - 1].recordLength;
  }
}

void TCustomClientDataSet::UnbindFields() {
  for (TField* field : Fields()) {
    field->fieldNo_ = 0;
    field->boundType_ = ftUnknown;
    field->recordLength_ = 0;
  }
}

// --- Records ---------------------------------------------------------------

int TCustomClientDataSet::RecordCount() {
  if (!cursor_) return 0;
  std::uint32_t count = 0;
  Check(cursor_->GetRecordCount(&count));
  return static_cast<int>(count);
}

TGetResult TCustomClientDataSet::GetRecord(RecordBuffer& buffer, TGetMode mode, bool check) {
  // One engine call moves and reads the record with all a window row keeps.
  const std::int32_t move = mode == TGetMode::kNext ? 1 : mode == TGetMode::kPrior ? -1 : 0;
  RecordInfo info;
  const DBResult r = cursor_->ReadRecord(move, buffer.image.data(), &info);
  if (r == dbr::kOk) {
    buffer.sequence = info.sequence;
    buffer.status = info.status;
    buffer.bookmark = info.bookmark;
    buffer.bookmarkFlag = 0;
    return TGetResult::kOk;
  }
  if (r == dbr::kAtBeginning) return TGetResult::kBOF;
  if (r == dbr::kAtEnd) return TGetResult::kEOF;
  if (check) Check(r);
  return TGetResult::kError;
}

void TCustomClientDataSet::InternalFirst() {
  Check(cursor_->ToBeforeFirst());
}

void TCustomClientDataSet::InternalLast() {
  Check(cursor_->ToAfterLast());
}

void TCustomClientDataSet::InternalSetToRecord(const RecordBuffer& buffer) {
  Check(cursor_->GoToPosition(buffer.bookmark));
}

DBResult TCustomClientDataSet::InternalMoveToSeqNo(int k) {
  return cursor_->MoveToSeqNo(k < 0 ? 0 : static_cast<std::uint32_t>(k));
}

const std::uint8_t* TCustomClientDataSet::ActiveImage() const {
  if (State() == dsFilter) return filterImage_;
  if (State() != dsBrowse || ActiveSlot() >= WindowRecordCount()) return nullptr;
  return Buffer(ActiveSlot()).image.data();
}

bool TCustomClientDataSet::GetFieldData(const TField* field, void* buffer) {
  const std::uint8_t* image = ActiveImage();
  if (!image || !cursor_) return false;
  std::uint8_t flag = kNullFlagBlank;
  Check(cursor_->GetField(image, static_cast<std::uint32_t>(field->FieldNo()), buffer, &flag));
  return flag == kNullFlagValue;
}

void TCustomClientDataSet::GetBlobBytes(const TField* field, std::vector<std::uint8_t>* out) {
  out->clear();
  const std::uint8_t* image = ActiveImage();
  if (!image || !cursor_) return;
  const auto fieldNo = static_cast<std::uint32_t>(field->FieldNo());
  std::uint32_t length = 0;
  Check(cursor_->GetBlobLen(image, fieldNo, &length));
  if (length == 0) return;
  out->resize(length);
  std::uint32_t count = length;
  const DBResult r = cursor_->GetBlob(image, fieldNo, 0, &count, out->data());
  if (r == dbr::kFieldIsBlank) {
    out->clear();
    return;
  }
  Check(r);
  out->resize(count);
}

std::size_t TCustomClientDataSet::ReadBlobPart(const TField* field, std::size_t offset,
                                               std::size_t count, std::uint8_t* out,
                                               std::size_t* size) {
  *size = 0;
  const std::uint8_t* image = ActiveImage();
  if (!image || !cursor_) return 0;
  const auto fieldNo = static_cast<std::uint32_t>(field->FieldNo());
  std::uint32_t length = 0;
  Check(cursor_->GetBlobLen(image, fieldNo, &length));
  *size = length;
  if (offset >= length || count == 0) return 0;
  std::uint32_t read = static_cast<std::uint32_t>(std::min<std::size_t>(count, length - offset));
  const DBResult r =
      cursor_->GetBlob(image, fieldNo, static_cast<std::uint32_t>(offset), &read, out);
  if (r == dbr::kFieldIsBlank) {
    *size = 0;
    return 0;
  }
  Check(r);
  return read;
}

}  // namespace dorvem
