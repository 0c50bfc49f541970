// Field objects: how the program reads the current record.
//
// A field object names a column of a dataset and answers, for the dataset's
// active record, the null test, the value as text and as integer, and (for
// blobs) the bytes. Persistent field objects are created by their owner (the
// main window) and added to a dataset, which binds them to its field
// definitions on every open and unbinds them on close. A dataset without
// persistent fields creates one field object per definition on open and
// destroys them on close.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dataset/host/component.h"
#include "dataset/host/field_types.h"

namespace dorvem {

class TDataSet;
class TClientBlobStream;

class TField : public TComponent {
 public:
  TField(TFieldType type, std::string fieldName, int size = 0);
  ~TField() override;

  const std::string& FieldName() const { return fieldName_; }
  const std::string& DisplayName() const { return fieldName_; }
  TFieldType DataType() const { return dataType_; }
  int Size() const { return size_; }
  void SetSize(int size) { size_ = size; }
  TFieldKind FieldKind() const { return kind_; }
  void SetFieldKind(TFieldKind kind) { kind_ = kind; }
  // 1-based engine field number while bound, 0 otherwise.
  int FieldNo() const { return fieldNo_; }
  TDataSet* DataSet() const { return dataSet_; }
  // Type of the definition the field is bound to (ftUnknown when unbound).
  TFieldType BoundType() const { return boundType_; }

  // Adds the field to `dataSet`'s fields (removing it from its previous
  // one). The dataset must be closed.
  void SetDataSet(TDataSet* dataSet);

  // Reads the field of the active record into `buffer` (the field's whole
  // record length); true when it has a value. With no buffer only tests.
  bool GetData(void* buffer) const;
  bool IsNull() const { return !GetData(nullptr); }

  // The value as text in the data's single-byte code page; "" when null.
  virtual std::string AsString() const;
  // The value as integer; 0 when null. Types without an integer meaning
  // raise EDatabaseError.
  virtual std::int32_t AsInteger() const;

 protected:
  // Copies the engine value into a local buffer; false when null.
  bool ReadValue(std::vector<std::uint8_t>& buffer) const;

 private:
  friend class TDataSet;
  friend class TCustomClientDataSet;
  std::string fieldName_;
  TFieldType dataType_;
  int size_;
  TFieldKind kind_ = fkData;
  int fieldNo_ = 0;
  TFieldType boundType_ = ftUnknown;
  std::uint32_t recordLength_ = 0;
  TDataSet* dataSet_ = nullptr;
};

class TStringField : public TField {
 public:
  explicit TStringField(std::string fieldName, int size = 20, TFieldType type = ftString)
      : TField(type, std::move(fieldName), size) {}
  std::string AsString() const override;
  std::int32_t AsInteger() const override;
};

class TWideStringField : public TField {
 public:
  explicit TWideStringField(std::string fieldName, int size = 20)
      : TField(ftWideString, std::move(fieldName), size) {}
  std::string AsString() const override;
};

class TIntegerField : public TField {
 public:
  explicit TIntegerField(std::string fieldName, TFieldType type = ftInteger)
      : TField(type, std::move(fieldName)) {}
  std::string AsString() const override;
  std::int32_t AsInteger() const override;
};
class TSmallintField : public TIntegerField {
 public:
  explicit TSmallintField(std::string n) : TIntegerField(std::move(n), ftSmallint) {}
};
class TWordField : public TIntegerField {
 public:
  explicit TWordField(std::string n) : TIntegerField(std::move(n), ftWord) {}
};
class TAutoIncField : public TIntegerField {
 public:
  explicit TAutoIncField(std::string n) : TIntegerField(std::move(n), ftAutoInc) {}
};

class TLargeintField : public TField {
 public:
  explicit TLargeintField(std::string n) : TField(ftLargeint, std::move(n)) {}
  std::string AsString() const override;
  std::int32_t AsInteger() const override;
};

class TBooleanField : public TField {
 public:
  explicit TBooleanField(std::string n) : TField(ftBoolean, std::move(n)) {}
  std::string AsString() const override;
  std::int32_t AsInteger() const override;
};

class TFloatField : public TField {
 public:
  explicit TFloatField(std::string n, TFieldType type = ftFloat) : TField(type, std::move(n)) {}
  std::string AsString() const override;
};
class TCurrencyField : public TFloatField {
 public:
  explicit TCurrencyField(std::string n) : TFloatField(std::move(n), ftCurrency) {}
};

// Packed decimal values (BCD and formatted BCD).
class TBCDField : public TField {
 public:
  explicit TBCDField(std::string n, int size = 4, TFieldType type = ftBCD)
      : TField(type, std::move(n), size) {}
  std::string AsString() const override;
};
class TFMTBCDField : public TBCDField {
 public:
  explicit TFMTBCDField(std::string n, int size = 8) : TBCDField(std::move(n), size, ftFMTBcd) {}
};

// Dates, times and date-times, shown as "YYYY-MM-DD", "HH:MM:SS" and both.
class TDateTimeField : public TField {
 public:
  explicit TDateTimeField(std::string n, TFieldType type = ftDateTime)
      : TField(type, std::move(n)) {}
  std::string AsString() const override;
};
class TDateField : public TDateTimeField {
 public:
  explicit TDateField(std::string n) : TDateTimeField(std::move(n), ftDate) {}
};
class TTimeField : public TDateTimeField {
 public:
  explicit TTimeField(std::string n) : TDateTimeField(std::move(n), ftTime) {}
};
class TSQLTimeStampField : public TDateTimeField {
 public:
  explicit TSQLTimeStampField(std::string n) : TDateTimeField(std::move(n), ftTimeStamp) {}
};

// Fixed and varying byte values, shown as hexadecimal digits.
class TBytesField : public TField {
 public:
  explicit TBytesField(std::string n, int size = 16, TFieldType type = ftBytes)
      : TField(type, std::move(n), size) {}
  std::string AsString() const override;
};
class TVarBytesField : public TBytesField {
 public:
  explicit TVarBytesField(std::string n, int size = 16)
      : TBytesField(std::move(n), size, ftVarBytes) {}
};

// Blob fields: the value is read whole through a TClientBlobStream.
class TBlobField : public TField {
 public:
  explicit TBlobField(std::string n, TFieldType type = ftBlob) : TField(type, std::move(n)) {}
  // A stream holding a copy of the active record's value (empty when null).
  std::unique_ptr<TClientBlobStream> CreateBlobStream() const;
  // The whole value as a string of that many bytes (zero bytes included).
  std::string AsString() const override;
  std::int32_t AsInteger() const override;
  // Copies all bytes of the value to `out`.
  void SaveToBytes(std::vector<std::uint8_t>* out) const;
  std::int64_t BlobSize() const;
};
class TMemoField : public TBlobField {
 public:
  explicit TMemoField(std::string n) : TBlobField(std::move(n), ftMemo) {}
};
class TGraphicField : public TBlobField {
 public:
  explicit TGraphicField(std::string n) : TBlobField(std::move(n), ftGraphic) {}
};

// Creates the field object a dataset without persistent fields makes for a
// definition of this type; null for types that get none.
std::unique_ptr<TField> CreateFieldForType(TFieldType type, const std::string& name, int size);

}  // namespace dorvem
