#include "views/field_data_link.h"

#include "dataset/host/dataset.h"

namespace dorvem {

void TFieldDataLink::SetFieldName(std::string name) {
  fieldName_ = std::move(name);
  TField* const before = field_;
  UpdateField();
  if (field_ != before) RecordChanged();
}

void TFieldDataLink::ActiveChanged() {
  UpdateField();
  RecordChanged();
}

void TFieldDataLink::UpdateField() {
  TDataSet* ds = DataSet();
  field_ = (Active() && ds && !fieldName_.empty()) ? ds->FindField(fieldName_) : nullptr;
}

}  // namespace dorvem
