// FieldLookup: what the filter parser asks of the dataset whose records a
// filter will test, namely the fields a filter text may name.
//
// The parser looks each field name up once, while it builds the parse tree,
// and keeps the answer (FilterField) in the field's node; it never holds a
// field object. The dataset (TDataSet) implements the lookup and must
// outlive the parser that uses it.
#pragma once

#include <string>
#include <string_view>

#include "dataset/core/field_type.h"

namespace dorvem {

// A field as the parser sees it.
struct FilterField {
  std::string name;  // the field's own name
  int fieldNo = 0;   // 1-based engine field number while bound, 0 otherwise
  TFieldType dataType = ftUnknown;
  int size = 0;
  TFieldKind kind = fkData;
};

class FieldLookup {
 public:
  // The field named `name` (compared as the dataset compares field names).
  // Raises EDatabaseError "<dataset>: Field '<name>' not found" when the
  // dataset has none.
  virtual FilterField FieldForFilter(std::string_view name) const = 0;

 protected:
  ~FieldLookup() = default;
};

}  // namespace dorvem
