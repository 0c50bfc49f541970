// TFieldDataLink: the link of a view that shows one field of the current
// record. It names the field (DataField) and resolves it to the dataset's
// field object while the dataset is open; while it is closed there is none.
//
// Data change notice: every DataSetChanged and DataSetScrolled of the
// dataset (also a scroll of distance 0), and every change between open and
// closed, becomes one call of OnDataChange, after which the view reloads
// its field. The call runs inside the dataset operation that caused it, so
// what it raises ends that operation.
//
// Owned by its view; it does not own the data source, the dataset or the
// field.
#pragma once

#include <functional>
#include <string>

#include "dataset/host/data_source.h"

namespace dorvem {

class TField;

class TFieldDataLink : public TDataLink {
 public:
  const std::string& FieldName() const { return fieldName_; }
  // Names the field; resolves it at once when the dataset is open.
  void SetFieldName(std::string name);
  // The field object while the dataset is open and has the field, else null.
  TField* Field() const { return field_; }

  // The view's handler of the data change notice (may be empty).
  std::function<void()> OnDataChange;

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override { RecordChanged(); }
  void DataSetScrolled(int) override { RecordChanged(); }

 private:
  void UpdateField();
  void RecordChanged() {
    if (OnDataChange) OnDataChange();
  }

  std::string fieldName_;
  TField* field_ = nullptr;
};

}  // namespace dorvem
