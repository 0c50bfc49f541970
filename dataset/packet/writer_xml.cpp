// DSDATAPACKET: writing the XML text form.
//
// The document is UTF-8 with a declaration; single-byte strings are
// converted from the packet's code page (the ANSI code page of its LCID
// parameter, windows-1250 when there is none or it is not a valid locale).
// A column's row attribute is its name when that is a usable XML name, else
// "F" and its number with the real name in `fieldname`. Parameters are
// written as attributes when reading the attribute back gives the same type
// word and value; from the first one that would not, the rest of the list
// is written as PARAM elements (keeping their order). A bytes column with
// subtype "Text" (a memo) holds its values as text, each but the empty one
// followed by a zero byte, since the engine drops one trailing zero from a
// memo it loads from text; other bytes values are Base64.
// Not-changed values cannot be written as text and are left out (they read
// back as blank).
#include <algorithm>
#include <cstring>

#include "dataset/locale/code_page.h"
#include "dataset/locale/locale_services.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/text_values.h"
#include "dataset/packet/writer.h"
#include "dataset/packet/xml_text.h"

namespace dorvem {
namespace {

using namespace packet;
using packet::ValueKind;

bool NameStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool NameChar(unsigned char c) {
  return NameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
}
bool IsXmlName(std::string_view s) {
  if (s.empty() || !NameStart(static_cast<unsigned char>(s[0]))) return false;
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return NameChar(static_cast<unsigned char>(c)); });
}

bool IsReservedFieldAttribute(std::string_view name) {
  for (std::string_view n : {"attrname", "tagname", "fieldname", "fieldtype", "readonly",
                             "required", "hidden", "linkfield"})
    if (name == n) return true;
  return false;
}

std::string_view Bytes(const std::vector<std::uint8_t>& v) {
  return {reinterpret_cast<const char*>(v.data()), v.size()};
}

// Writes value texts and parameters in one code page.
class XmlOut {
 public:
  explicit XmlOut(std::uint32_t codePage) : codePage_(codePage) {}

  std::string text;

  void Attribute(std::string_view name, std::string_view utf8Value) {
    text += ' ';
    text += name;
    text += "=\"";
    packet::AppendEscaped(utf8Value, &text);
    text += '"';
  }

  // UTF-8 text of a value of kind `kind` and type word `word`.
  DBResult ValueText(ValueKind kind, std::uint32_t word, const std::uint8_t* value,
                     std::size_t size, std::string* out) const {
    switch (kind) {
      case ValueKind::kString:
        *out =
            locale::ToUtf8(std::string_view(reinterpret_cast<const char*>(value), size), codePage_);
        return dbr::kOk;
      case ValueKind::kUnicode:
        packet::Utf16leToUtf8(value, size, out);
        return dbr::kOk;
      case ValueKind::kBytes:
        packet::AppendBase64(value, size, out);
        return dbr::kOk;
      case ValueKind::kScalar:
        return packet::FormatScalar(word, value, size, out);
      default:
        return dbr::kInvalidFieldType;
    }
  }

  // Writes a parameter list: attributes of the open tag while they read back
  // the same, and returns the PARAM elements of the rest in *elements.
  DBResult Params(const std::vector<DSDATAPACKET::Param>& params, bool field,
                  std::string* elements) {
    bool asElements = false;
    for (const auto& p : params) {
      const ValueKind kind = packet::KindOf(p.typeWord);
      std::string value;
      std::string_view codePageText;  // the text as the reader will see it
      if (kind == ValueKind::kString) {
        codePageText = Bytes(p.value);
        if (ParamCodeOf(p.name) == kParamSubtype)
          codePageText = codePageText.substr(0, strnlen(codePageText.data(), codePageText.size()));
        value = locale::ToUtf8(codePageText, codePage_);
      } else if (DBResult r = ValueText(kind, p.typeWord, p.value.data(), p.value.size(), &value)) {
        return r;
      } else {
        codePageText = value;
      }
      if (!asElements && !(p.typeWord & kRoundTrip) && IsXmlName(p.name) &&
          !(field && IsReservedFieldAttribute(p.name)) &&
          (kind == ValueKind::kString || kind == ValueKind::kScalar) &&
          packet::AttributeParamTypeWord(p.name, codePageText) == p.typeWord) {
        std::vector<std::uint8_t> back;
        packet::AttributeParamValue(p.name, p.typeWord, codePageText, &back);
        if (back == p.value) {
          Attribute(p.name, value);
          continue;
        }
      }
      asElements = true;
      if (kind == ValueKind::kString) {
        value = locale::ToUtf8(Bytes(p.value), codePage_);
      }
      const std::string_view type = packet::NameOfTypeWord(p.typeWord);
      if (type.empty()) return dbr::kInvalidFieldType;
      std::swap(text, *elements);
      text += "<PARAM";
      Attribute("Name", locale::ToUtf8(p.name, codePage_));
      Attribute("Value", value);
      Attribute("Type", type);
      if (p.typeWord & kRoundTrip) Attribute("Roundtrip", "True");
      text += "/>";
      std::swap(text, *elements);
    }
    return dbr::kOk;
  }

 private:
  std::uint32_t codePage_;
};

ValueKind ColumnKind(const DSDATAPACKET::Column& c) {
  ValueKind kind = packet::KindOf(c.desc.typeWord);
  if (kind != ValueKind::kBytes) return kind;
  for (const auto& p : c.params) {
    if (ParamCodeOf(p.name) != kParamSubtype) continue;
    const auto* s = reinterpret_cast<const char*>(p.value.data());
    if (SubtypeCodeOf(std::string_view(s, strnlen(s, p.value.size()))) == kSubtypeText)
      return ValueKind::kString;
  }
  return kind;
}

std::uint32_t CodePageOf(const std::vector<DSDATAPACKET::Param>& tableParams) {
  for (const auto& p : tableParams) {
    if (ParamCodeOf(p.name) != kParamLcid) continue;
    std::uint32_t lcid = 0;
    if (p.value.size() == 2) lcid = LoadU16(p.value.data());
    if (p.value.size() >= 4) lcid = LoadU32(p.value.data());
    if (locale::IsValidLocale(lcid)) return locale::AnsiCodePageOf(lcid);
  }
  return locale::kDefaultCodePage;
}

}  // namespace

DBResult DSDATAPACKET::WriteXml(const Table& table, std::vector<std::uint8_t>* out) const {
  const std::uint32_t codePage = CodePageOf(table.tableParams);
  XmlOut x(codePage);
  const std::size_t n = table.columns.size();
  x.text = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
  x.text += "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
  std::vector<std::string> attrNames(n);
  std::vector<ValueKind> kinds(n);
  std::vector<char> memo(n);
  for (std::size_t c = 0; c < n; ++c) {
    const Column& col = table.columns[c];
    const std::string name = locale::ToUtf8(col.desc.name, codePage);
    std::string attr = name;
    auto taken = [&](const std::string& a) {
      return a == "RowState" ||
             std::find(attrNames.begin(), attrNames.begin() + static_cast<std::ptrdiff_t>(c), a) !=
                 attrNames.begin() + static_cast<std::ptrdiff_t>(c);
    };
    for (std::size_t k = c + 1; !IsXmlName(attr) || taken(attr); ++k)
      attr = "F" + std::to_string(k);
    attrNames[c] = attr;
    kinds[c] = ColumnKind(col);
    memo[c] = kinds[c] == ValueKind::kString && TypeCode(col.desc.typeWord) != kTcString;
    const std::string_view type = packet::NameOfTypeWord(col.desc.typeWord);
    if (type.empty()) return dbr::kInvalidFieldType;
    x.text += "<FIELD";
    x.Attribute("attrname", attr);
    if (attr != name) x.Attribute("fieldname", name);
    x.Attribute("fieldtype", type);
    static constexpr std::pair<const char*, std::uint16_t> kFlags[] = {
        {"readonly", kAttrReadOnly},
        {"required", kAttrRequired},
        {"hidden", kAttrHidden},
        {"linkfield", kAttrLinkField}};
    for (const auto& [flag, bit] : kFlags)
      if (col.desc.attributes & bit) x.Attribute(flag, "true");
    std::string elements;
    if (DBResult r = x.Params(col.params, true, &elements)) return r;
    const std::uint32_t code = TypeCode(col.desc.typeWord);
    const bool fixed = !(col.desc.typeWord & kVarying) &&
                       (code == kTcString || code == kTcBytes || code == kTcBytes2);
    if (fixed && std::none_of(col.params.begin(), col.params.end(),
                              [](const Param& p) { return ParamCodeOf(p.name) == kParamWidth; }))
      x.Attribute("WIDTH", std::to_string(TypeSize(col.desc.typeWord)));
    x.text += elements.empty() ? "/>" : ">" + elements + "</FIELD>";
  }
  x.text += "</FIELDS><PARAMS";
  std::string elements;
  if (DBResult r = x.Params(table.tableParams, false, &elements)) return r;
  x.text += elements.empty() ? "/>" : ">" + elements + "</PARAMS>";
  x.text += "</METADATA><ROWDATA>";

  std::string value;
  const std::size_t rows = rowStatus_.size();
  for (std::size_t r = 0; r < rows; ++r) {
    x.text += "<ROW";
    if (rowStatus_[r]) x.Attribute("RowState", std::to_string(rowStatus_[r]));
    for (std::size_t c = 0; c < n; ++c) {
      const Value& v = values_[r * n + c];
      if (v.status != kFieldHasValue) continue;
      value.clear();
      const std::uint8_t* bytes = v.size ? &arena_[v.offset] : nullptr;
      if (DBResult e = x.ValueText(kinds[c], table.columns[c].desc.typeWord, bytes, v.size, &value))
        return e;
      if (memo[c] && v.size) value.push_back('\0');
      x.Attribute(attrNames[c], value);
    }
    x.text += "/>";
  }
  x.text += "</ROWDATA></DATAPACKET>";
  out->assign(x.text.begin(), x.text.end());
  return dbr::kOk;
}

}  // namespace dorvem
