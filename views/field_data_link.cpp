#include "views/field_data_link.h"

#include "dataset/host/dataset.h"

namespace dorvem {

void TFieldDataLink::SetFieldName(std::string name) {
  fieldName_ = std::move(name);
  UpdateField();
}

void TFieldDataLink::UpdateField() {
  TDataSet* ds = DataSet();
  TField* field = (Active() && ds && !fieldName_.empty()) ? ds->FindField(fieldName_) : nullptr;
  if (field == field_) return;
  field_ = field;
  RecordChanged();
}

void TFieldDataLink::RecordChanged() {
  if (OnDataChange) OnDataChange();
}

}  // namespace dorvem
