// The persistent fields of a dataset that holds a dictionary: one field
// object per declared column (table_declaration.h), of the declared type
// and size, named after the dataset and the column ("tblAdatKSZOVEG") and
// added to the dataset, which binds them by name to the packet's columns on
// every open. A packet that lacks a column, or holds it in another type,
// then fails to open with the dataset's error for that field.
#pragma once

#include <array>
#include <memory>
#include <optional>

#include "dataset/host/client_dataset.h"
#include "dataset/host/fields.h"
#include "dictionary/table_declaration.h"

namespace dorvem {

// A field object of the declared column, not yet added to a dataset.
std::unique_ptr<TField> MakeDictionaryField(const TColumnDeclaration& column);

class TDictionaryFields {
 public:
  // Adds the fields of all five columns to `dataSet` (closed), in the
  // declared order; with `only`, the field of that column alone.
  explicit TDictionaryFields(TClientDataSet& dataSet,
                             std::optional<TColumnRole> only = std::nullopt);
  TDictionaryFields(const TDictionaryFields&) = delete;
  TDictionaryFields& operator=(const TDictionaryFields&) = delete;

  // The field of `role`; it must have been made.
  TField& operator[](TColumnRole role) const { return *fields_[static_cast<int>(role)]; }
  // The picture's and the explanation's fields as blobs.
  TBlobField& Blob(TColumnRole role) const { return static_cast<TBlobField&>((*this)[role]); }

 private:
  std::array<std::unique_ptr<TField>, kDictionaryColumnCount> fields_;
};

}  // namespace dorvem
