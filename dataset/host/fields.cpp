#include "dataset/host/fields.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "dataset/core/byte_layout.h"
#include "dataset/core/day_number.h"
#include "dataset/host/blob_stream.h"
#include "dataset/host/dataset.h"
#include "dataset/host/db_errors.h"
#include "dataset/locale/locale_services.h"
#include "dataset/packet/xml_text.h"

namespace dorvem {

TField::TField(TFieldType type, std::string fieldName, int size)
    : fieldName_(std::move(fieldName)), dataType_(type), size_(size) {}

TField::~TField() {
  if (dataSet_) dataSet_->RemoveField(this);
}

void TField::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) dataSet_->RemoveField(this);
  dataSet_ = dataSet;
  if (dataSet_) dataSet_->AddField(this);
}

bool TField::GetData(void* buffer) const {
  if (!dataSet_ || !dataSet_->Active() || fieldNo_ <= 0) return false;
  return dataSet_->GetFieldData(this, buffer);
}

bool TField::ReadValue(std::vector<std::uint8_t>& buffer) const {
  // The engine copies the field's whole record length; one spare zero byte
  // keeps every string terminated.
  buffer.assign(static_cast<std::size_t>(recordLength_) + 1, 0);
  return GetData(buffer.data());
}

std::string TField::AsString() const {
  return {};
}

std::int32_t TField::AsInteger() const {
  DatabaseError("Field '" + fieldName_ + "' cannot be read as an integer", {});
}

// --- Strings -------------------------------------------------------------

std::string TStringField::AsString() const {
  std::vector<std::uint8_t> buffer;
  if (!ReadValue(buffer)) return {};
  const char* s = reinterpret_cast<const char*>(buffer.data());
  return std::string(s, strnlen(s, buffer.size()));
}

std::int32_t TStringField::AsInteger() const {
  const std::string s = AsString();
  if (s.empty()) return 0;
  char* end = nullptr;
  const long v = std::strtol(s.c_str(), &end, 10);
  if (*end != 0) DatabaseError("'" + s + "' is not a valid integer value", {});
  return static_cast<std::int32_t>(v);
}

std::string TWideStringField::AsString() const {
  std::vector<std::uint8_t> buffer;
  if (!ReadValue(buffer) || buffer.size() < 3) return {};
  std::size_t bytes = LoadU16(buffer.data());
  if (bytes > buffer.size() - 3) bytes = buffer.size() - 3;
  // UTF-16LE to UTF-8, then to the data's code page.
  std::string utf8;
  packet::Utf16leToUtf8(buffer.data() + 2, bytes, &utf8);
  return locale::FromUtf8(utf8, DataSet()->TextCodePage());
}

// --- Numbers -------------------------------------------------------------

std::int32_t TIntegerField::AsInteger() const {
  std::vector<std::uint8_t> buffer;
  if (!ReadValue(buffer)) return 0;
  buffer.resize(std::max<std::size_t>(buffer.size(), 4));
  switch (BoundType()) {
    case ftSmallint:
      return static_cast<std::int16_t>(LoadU16(buffer.data()));
    case ftWord:
      return LoadU16(buffer.data());
    default:
      return static_cast<std::int32_t>(LoadU32(buffer.data()));
  }
}

std::string TIntegerField::AsString() const {
  if (IsNull()) return {};
  return std::to_string(AsInteger());
}

std::string TLargeintField::AsString() const {
  std::vector<std::uint8_t> buffer;
  if (!ReadValue(buffer)) return {};
  buffer.resize(std::max<std::size_t>(buffer.size(), 8));
  return std::to_string(static_cast<std::int64_t>(LoadU64(buffer.data())));
}

std::int32_t TLargeintField::AsInteger() const {
  std::vector<std::uint8_t> buffer;
  if (!ReadValue(buffer)) return 0;
  buffer.resize(std::max<std::size_t>(buffer.size(), 8));
  return static_cast<std::int32_t>(LoadU64(buffer.data()));
}

std::string TBooleanField::AsString() const {
  if (IsNull()) return {};
  return AsInteger() ? "True" : "False";
}

std::int32_t TBooleanField::AsInteger() const {
  std::vector<std::uint8_t> buffer;
  if (!ReadValue(buffer)) return 0;
  buffer.resize(std::max<std::size_t>(buffer.size(), 2));
  return LoadU16(buffer.data()) != 0 ? 1 : 0;
}

std::string TFloatField::AsString() const {
  std::vector<std::uint8_t> buffer;
  if (!ReadValue(buffer)) return {};
  buffer.resize(std::max<std::size_t>(buffer.size(), 8));
  double v;
  std::memcpy(&v, buffer.data(), sizeof v);
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", v);
  return text;
}

std::string TBCDField::AsString() const {
  std::vector<std::uint8_t> buffer;
  if (!ReadValue(buffer) || buffer.size() < 3) return {};
  // Precision byte, sign-and-scale byte, then one digit per nibble.
  const int precision = std::min<int>(buffer[0], static_cast<int>(buffer.size() - 3) * 2);
  const bool negative = (buffer[1] & 0x80) != 0;
  const int scale = buffer[1] & 0x3F;
  std::string digits;
  for (int i = 0; i < precision; ++i) {
    const std::uint8_t b = buffer[2 + i / 2];
    digits += static_cast<char>('0' + ((i % 2 == 0 ? b >> 4 : b & 0xF) % 10));
  }
  while (static_cast<int>(digits.size()) <= scale) digits.insert(digits.begin(), '0');
  std::string whole = digits.substr(0, digits.size() - scale);
  std::string frac = digits.substr(digits.size() - scale);
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  std::string text = (negative ? "-" : "") + whole;
  if (!frac.empty()) text += "." + frac;
  return text;
}

// --- Dates and times -----------------------------------------------------

namespace {

// Day number 1 is 0001-01-01.
std::string DateText(std::int64_t dayNumber) {
  int y, m, d;
  DateOfDayNumber(dayNumber, &y, &m, &d);
  char text[24];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
  return text;
}

std::string TimeText(std::int64_t ms) {
  char text[24];
  ms %= 86400000;
  if (ms < 0) ms += 86400000;
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(ms / 3600000),
                static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60));
  return text;
}

}  // namespace

std::string TDateTimeField::AsString() const {
  std::vector<std::uint8_t> buffer;
  if (!ReadValue(buffer)) return {};
  buffer.resize(std::max<std::size_t>(buffer.size(), 16));
  switch (BoundType()) {
    case ftDate:
      return DateText(static_cast<std::int32_t>(LoadU32(buffer.data())));
    case ftTime:
      return TimeText(LoadU32(buffer.data()));
    case ftTimeStamp: {
      char text[48];
      std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d",
                    static_cast<std::int16_t>(LoadU16(buffer.data())), LoadU16(buffer.data() + 2),
                    LoadU16(buffer.data() + 4), LoadU16(buffer.data() + 6),
                    LoadU16(buffer.data() + 8), LoadU16(buffer.data() + 10));
      return text;
    }
    default: {
      double v;
      std::memcpy(&v, buffer.data(), sizeof v);
      if (!std::isfinite(v) || std::fabs(v) > 9.0e17) return {};
      const auto total = static_cast<std::int64_t>(v);
      const std::int64_t day = total / 86400000;
      return DateText(day) + " " + TimeText(total % 86400000);
    }
  }
}

// --- Bytes ---------------------------------------------------------------

std::string TBytesField::AsString() const {
  std::vector<std::uint8_t> buffer;
  if (!ReadValue(buffer)) return {};
  std::size_t from = 0, n = buffer.size() - 1;
  if (BoundType() == ftVarBytes && n >= 2) {
    from = 2;
    n = std::min<std::size_t>(LoadU16(buffer.data()), n - 2);
  }
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < n; ++i) {
    text += kHex[buffer[from + i] >> 4];
    text += kHex[buffer[from + i] & 0xF];
  }
  return text;
}

// --- Blobs ---------------------------------------------------------------

std::unique_ptr<TClientBlobStream> TBlobField::CreateBlobStream() const {
  std::vector<std::uint8_t> bytes;
  if (DataSet() && DataSet()->Active() && FieldNo() > 0) DataSet()->GetBlobBytes(this, &bytes);
  return std::make_unique<TClientBlobStream>(std::move(bytes));
}

std::string TBlobField::AsString() const {
  auto stream = CreateBlobStream();
  const auto& b = stream->Bytes();
  return std::string(b.begin(), b.end());
}

std::int32_t TBlobField::AsInteger() const {
  return TField::AsInteger();
}

void TBlobField::SaveToBytes(std::vector<std::uint8_t>* out) const {
  *out = CreateBlobStream()->Bytes();
}

std::int64_t TBlobField::BlobSize() const {
  return CreateBlobStream()->Size();
}

// --- Creation by type ------------------------------------------------------

std::unique_ptr<TField> CreateFieldForType(TFieldType type, const std::string& name, int size) {
  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftGuid:
      return std::make_unique<TStringField>(name, size, type);
    case ftWideString:
      return std::make_unique<TWideStringField>(name, size);
    case ftSmallint:
      return std::make_unique<TSmallintField>(name);
    case ftInteger:
      return std::make_unique<TIntegerField>(name);
    case ftWord:
      return std::make_unique<TWordField>(name);
    case ftAutoInc:
      return std::make_unique<TAutoIncField>(name);
    case ftLargeint:
      return std::make_unique<TLargeintField>(name);
    case ftBoolean:
      return std::make_unique<TBooleanField>(name);
    case ftFloat:
      return std::make_unique<TFloatField>(name);
    case ftCurrency:
      return std::make_unique<TCurrencyField>(name);
    case ftBCD:
      return std::make_unique<TBCDField>(name, size);
    case ftFMTBcd:
      return std::make_unique<TFMTBCDField>(name, size);
    case ftDate:
      return std::make_unique<TDateField>(name);
    case ftTime:
      return std::make_unique<TTimeField>(name);
    case ftDateTime:
      return std::make_unique<TDateTimeField>(name);
    case ftTimeStamp:
      return std::make_unique<TSQLTimeStampField>(name);
    case ftBytes:
      return std::make_unique<TBytesField>(name, size);
    case ftVarBytes:
      return std::make_unique<TVarBytesField>(name, size);
    case ftMemo:
    case ftOraClob:
      return std::make_unique<TMemoField>(name);
    case ftGraphic:
      return std::make_unique<TGraphicField>(name);
    case ftBlob:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
      return std::make_unique<TBlobField>(name, type);
    default:
      return nullptr;
  }
}

}  // namespace dorvem
