#include "dictionary/dictionary_fields.h"

namespace dorvem {

std::unique_ptr<TField> MakeDictionaryField(const TColumnDeclaration& column) {
  switch (column.fieldType) {
    case ftString:
      return std::make_unique<TStringField>(column.name, column.size);
    case ftMemo: {
      auto memo = std::make_unique<TMemoField>(column.name);
      memo->SetSize(column.size);
      return memo;
    }
    case ftBlob:
      return std::make_unique<TBlobField>(column.name);
    default:
      break;
  }
  return std::make_unique<TIntegerField>(column.name);
}

TDictionaryFields::TDictionaryFields(TClientDataSet& dataSet, std::optional<TColumnRole> only) {
  for (const TColumnDeclaration& column : kDictionaryColumns) {
    if (only && *only != column.role) continue;
    std::unique_ptr<TField>& field = fields_[static_cast<int>(column.role)];
    field = MakeDictionaryField(column);
    field->SetName(dataSet.Name() + field->FieldName());
    field->SetDataSet(&dataSet);
  }
}

}  // namespace dorvem
