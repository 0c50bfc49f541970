// TFieldDataLink: the link of a view that shows one field of the current
// record. It names the field (DataField) and resolves it to the dataset's
// field object while the dataset is open; while it is closed there is none.
//
// Owned by its view; it does not own the data source, the dataset or the
// field.
#pragma once

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

 protected:
  void ActiveChanged() override { UpdateField(); }

 private:
  void UpdateField();

  std::string fieldName_;
  TField* field_ = nullptr;
};

}  // namespace dorvem
