#include "tools/cdstool/text_out.h"

#include <cstdio>

#include "dataset/host/dataset.h"
#include "dataset/locale/locale_services.h"

namespace cdstool {

using namespace dorvem;

std::string EscapeTsv(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

ValueKind FieldValue(const TField& field, std::uint32_t codePage, std::string* out) {
  out->clear();
  if (field.IsNull()) return ValueKind::kNull;
  const TFieldType type = field.DataType();
  if (IsStringFieldType(type) || type == ftMemo || type == ftFmtMemo) {
    *out = locale::ToUtf8(field.AsString(), codePage);
    return ValueKind::kText;
  }
  if (type == ftSmallint || type == ftInteger || type == ftWord || type == ftAutoInc ||
      type == ftLargeint) {
    *out = field.AsString();
    return ValueKind::kInteger;
  }
  if (IsBlobFieldType(type)) {
    const auto& blob = static_cast<const TBlobField&>(field);
    *out = "<blob " + std::to_string(blob.BlobSize()) + " bytes>";
    return ValueKind::kOther;
  }
  *out = locale::ToUtf8(field.AsString(), codePage);
  return ValueKind::kOther;
}

}  // namespace cdstool
