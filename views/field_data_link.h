// TFieldDataLink: the link of a view that shows one field of the current
// record. It names the field (DataField) and resolves it to the dataset's
// field object while the dataset is open; while it is closed there is none.
//
// It turns the dataset's notices into one data change notice each
// (OnDataChange): every re-read of the record window, every slide of it (a
// move, also one of distance 0), and every change of the field object (the
// dataset opening or closing, a new field name). The view reloads its field
// there; what that raises goes on to the dataset operation that sent the
// notice.
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
  // Names the field; resolves it at once when the dataset is open (a data
  // change notice when the field object changes).
  void SetFieldName(std::string name);
  // The field object while the dataset is open and has the field, else null.
  TField* Field() const { return field_; }

  // The data change notice; may raise.
  std::function<void()> OnDataChange;

 protected:
  void ActiveChanged() override { UpdateField(); }
  void DataSetChanged() override { RecordChanged(); }
  void DataSetScrolled(int distance) override {
    (void)distance;
    RecordChanged();
  }

 private:
  void UpdateField();
  void RecordChanged();

  std::string fieldName_;
  TField* field_ = nullptr;
};

}  // namespace dorvem
