// TextPacketReader: the document, the metadata and the binary metadata it
// translates to.
#include "dataset/packet/text_packet_reader.h"

#include <algorithm>
#include <cstring>

#include "dataset/core/ascii.h"
#include "dataset/locale/locale_services.h"
#include "dataset/packet/field_converters.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/xml_text.h"

namespace dorvem {

using namespace packet;
using packet::ValueKind;

namespace {

constexpr int kMaxElementDepth = 256;
// As many table levels as the binary reader accepts.
constexpr std::size_t kMaxTables = 63;

bool IsFieldAttribute(std::string_view name) {
  for (std::string_view n : {"attrname", "tagname", "fieldname", "fieldtype", "readonly",
                             "required", "hidden", "linkfield"})
    if (name == n) return true;
  return false;
}

// A varying type word's prefix made wide enough for `length` bytes.
std::uint32_t Widened(std::uint32_t word, std::size_t length) {
  if (!(word & kVarying) || (word & kArray)) return word;
  const std::uint32_t need = length <= 0xFF ? 1 : length <= 0xFFFF ? 2 : 4;
  return TypeSize(word) >= need && TypeSize(word) != 3 ? word : (word & ~kSizeMask) | need;
}

}  // namespace

std::string TextPacketReader::Text(std::string_view raw) const {
  if (packet::IsPlain(raw, utf8_)) return std::string(raw);
  std::string text;
  packet::AppendUnescaped(raw, utf8_, codePage_, &text);
  return utf8_ ? locale::FromUtf8(text, codePage_) : text;
}

// Reads the element whose start tag is the scanner's current token.
bool TextPacketReader::ReadElement(XmlScanner& s, Element* e, int depth) {
  if (depth > kMaxElementDepth) return false;
  e->name = s.Name();
  e->attributes = s.Attributes();
  if (s.SelfClosing()) return true;
  for (;;) {
    switch (s.Next()) {
      case XmlScanner::Token::kStartTag:
        e->children.emplace_back();
        if (!ReadElement(s, &e->children.back(), depth + 1)) return false;
        break;
      case XmlScanner::Token::kEndTag:
        return s.Name() == e->name;
      default:
        return false;
    }
  }
}

DBResult TextPacketReader::OpenDocument(XmlScanner& s, bool* wrapped) {
  bool utf8 = false;
  if (!s.ReadProlog(&utf8) || !s.AtTag()) return dbr::kPacketMismatch;
  utf8_ = utf8;
  if (s.Next() != XmlScanner::Token::kStartTag) return dbr::kPacketMismatch;
  *wrapped = s.Name() == "DATAPACKET";
  if (*wrapped) {
    if (s.SelfClosing() || s.Next() != XmlScanner::Token::kStartTag) return dbr::kPacketMismatch;
  }
  if (s.Name() != "METADATA" && s.Name() != "ROWDATA") return dbr::kPacketMismatch;
  return dbr::kOk;
}

DBResult TextPacketReader::ReadCodePage(const Element& metadata) {
  std::string_view lcid;
  bool found = false;
  auto fromParam = [&](const Element& p) {
    const XmlAttribute* name = p.Find("Name");
    const XmlAttribute* value = p.Find("Value");
    if (p.name == "PARAM" && name && value && ParamCodeOf(name->value) == kParamLcid) {
      lcid = value->value;
      found = true;
    }
  };
  for (const Element& e : metadata.children) {
    fromParam(e);
    if (e.name != "PARAMS") continue;
    for (const XmlAttribute& a : e.attributes) {
      if (ParamCodeOf(a.name) == kParamLcid) {
        lcid = a.value;
        found = true;
      }
    }
    for (const Element& p : e.children) fromParam(p);
  }
  codePage_ = kFallbackCodePage;
  std::vector<std::uint8_t> value;
  if (!found || packet::ParseScalar(MakeTypeWord(kTcUInt, 4), lcid, &value)) return dbr::kOk;
  const std::uint32_t id = LoadU32(value.data());
  if (locale::IsValidLocale(id)) codePage_ = locale::AnsiCodePageOf(id);
  return dbr::kOk;
}

DBResult TextPacketReader::AttributeParam(std::string_view name, std::string_view raw, Param* out) {
  out->name = Text(name);
  if (out->name.empty() || out->name.size() > kMaxParamNameLength) return dbr::kPacketMismatch;
  const std::string text = Text(raw);
  out->typeWord = packet::AttributeParamTypeWord(out->name, text);
  packet::AttributeParamValue(out->name, out->typeWord, text, &out->value);
  return dbr::kOk;
}

DBResult TextPacketReader::ReadParam(const Element& param, Param* out) {
  const XmlAttribute* name = param.Find("Name");
  const XmlAttribute* value = param.Find("Value");
  const XmlAttribute* type = param.Find("Type");
  const XmlAttribute* roundTrip = param.Find("Roundtrip");
  if (!name) return dbr::kPacketMismatch;
  out->name = Text(name->value);
  if (out->name.empty() || out->name.size() > kMaxParamNameLength) return dbr::kPacketMismatch;
  std::uint32_t word =
      type ? packet::TypeWordOfName(Text(type->value)) : MakeTypeWord(kTcString, 1, kVarying);
  const std::string_view raw = value ? value->value : std::string_view{};
  switch (packet::KindOf(word)) {
    case ValueKind::kScalar:
      if (packet::ParseScalar(word, Text(raw), &out->value)) return dbr::kPacketMismatch;
      break;
    case ValueKind::kString: {
      const std::string text = Text(raw);
      out->value.assign(text.begin(), text.end());
      break;
    }
    case ValueKind::kUnicode: {
      std::string utf8;
      packet::AppendUnescaped(raw, utf8_, codePage_, &utf8);
      if (!utf8_) utf8 = locale::ToUtf8(utf8, codePage_);
      packet::Utf8ToUtf16le(utf8, &out->value);
      break;
    }
    case ValueKind::kBytes:
      packet::DecodeBase64(Text(raw), &out->value);
      break;
    default:
      return dbr::kPacketMismatch;
  }
  word = Widened(word, out->value.size());
  if (roundTrip && EqualIgnoringAsciiCase(Text(roundTrip->value), "true")) word |= kRoundTrip;
  out->typeWord = word;
  return dbr::kOk;
}

DBResult TextPacketReader::BuildTable(const Element* fields,
                                      const std::vector<const Element*>& params,
                                      std::string rowName, int depth, int* index) {
  if (tables_.size() >= kMaxTables) return dbr::kNotApplicable;
  *index = static_cast<int>(tables_.size());
  tables_.emplace_back();
  tables_[*index].rowName = std::move(rowName);
  if (fields) {
    for (const Element& field : fields->children) {
      if (field.name != "FIELD") continue;
      std::size_t descendants = 0;
      if (DBResult r = AddColumn(*index, field, depth, &descendants)) return r;
    }
  }
  for (const Element* source : params) {
    if (source->name == "PARAM") {
      Param p;
      if (DBResult r = ReadParam(*source, &p)) return r;
      tables_[*index].params.push_back(std::move(p));
      continue;
    }
    for (const XmlAttribute& a : source->attributes) {
      Param p;
      if (DBResult r = AttributeParam(a.name, a.value, &p)) return r;
      tables_[*index].params.push_back(std::move(p));
    }
    for (const Element& child : source->children) {
      if (child.name != "PARAM") continue;
      Param p;
      if (DBResult r = ReadParam(child, &p)) return r;
      tables_[*index].params.push_back(std::move(p));
    }
  }
  Table& table = tables_[*index];
  if (table.params.size() > 0xFFFF) return dbr::kPacketMismatch;
  for (std::size_t j = 0; j < table.slots.size(); ++j) {
    const Column& c = table.columns[table.slots[j]];
    if (c.childTable >= 0) {
      table.slotOfNestedRow.emplace(tables_[c.childTable].rowName, j);
    } else {
      table.slotOfAttribute.emplace(c.attrName, j);
    }
  }
  const std::size_t slots = table.slots.size();
  table.raw.resize(slots);
  table.present.resize(slots);
  table.nestedCount.resize(slots);
  table.nestedRows.resize(slots);
  return dbr::kOk;
}

// Adds the column of `field` to table `tableIndex`, with the columns of a
// structure after it; *descendants grows by the descriptors added.
DBResult TextPacketReader::AddColumn(int tableIndex, const Element& field, int depth,
                                     std::size_t* descendants) {
  if (depth > kMaxElementDepth) return dbr::kPacketMismatch;
  Column c;
  const XmlAttribute* attr = field.Find("attrname");
  if (!attr) attr = field.Find("tagname");
  const XmlAttribute* fieldName = field.Find("fieldname");
  if (!attr && !fieldName) return dbr::kPacketMismatch;
  if (!attr) attr = fieldName;
  packet::AppendUnescaped(attr->value, utf8_, codePage_, &c.attrName);
  c.name = Text((fieldName ? fieldName : attr)->value);
  if (c.name.size() > 255) c.name.resize(255);
  std::memcpy(c.desc.name, c.name.data(), std::min<std::size_t>(c.name.size(), 31));
  const XmlAttribute* type = field.Find("fieldtype");
  std::uint32_t word =
      type ? packet::TypeWordOfName(Text(type->value)) : MakeTypeWord(kTcString, 1, kVarying);
  if (!word) return dbr::kPacketMismatch;
  static constexpr std::pair<std::string_view, std::uint16_t> kFlags[] = {
      {"readonly", kAttrReadOnly},
      {"required", kAttrRequired},
      {"hidden", kAttrHidden},
      {"linkfield", kAttrLinkField}};
  for (const auto& [name, bit] : kFlags) {
    const XmlAttribute* a = field.Find(name);
    if (a && EqualIgnoringAsciiCase(Text(a->value), "true")) c.desc.attributes |= bit;
  }
  for (const XmlAttribute& a : field.attributes) {
    if (IsFieldAttribute(a.name)) continue;
    Param p;
    if (DBResult r = AttributeParam(a.name, a.value, &p)) return r;
    c.params.push_back(std::move(p));
  }
  const Element* children = nullptr;
  std::vector<const Element*> nestedParams;
  for (const Element& child : field.children) {
    if (child.name == "PARAM") {
      Param p;
      if (DBResult r = ReadParam(child, &p)) return r;
      c.params.push_back(std::move(p));
    } else if (child.name == "FIELDS") {
      children = &child;
    } else if (child.name == "PARAMS") {
      nestedParams.push_back(&child);
    }
  }
  if (c.params.size() > 0xFFFF) return dbr::kPacketMismatch;
  c.kind = packet::KindOf(word);
  if (c.kind == ValueKind::kBytes) {
    for (const Param& p : c.params) {
      if (ParamCodeOf(p.name) != kParamSubtype || TypeCode(p.typeWord) != kTcString) continue;
      const auto* text = reinterpret_cast<const char*>(p.value.data());
      if (SubtypeCodeOf(std::string_view(text, strnlen(text, p.value.size()))) == kSubtypeText)
        c.kind = ValueKind::kString;
    }
  }
  ++*descendants;
  const std::uint32_t code = TypeCode(word);
  if (code == kTcNested) {
    const std::string rowName = "ROW" + c.attrName;
    int child = -1;
    if (DBResult r = BuildTable(children, nestedParams, rowName, depth + 1, &child)) return r;
    const std::size_t below = DescriptorCount(child);
    if (below > 0xFFFF) return dbr::kPacketMismatch;
    *descendants += below;
    c.desc.typeWord = (word & ~kSizeMask) | static_cast<std::uint32_t>(below);
    c.childTable = child;
  } else {
    c.desc.typeWord = word;
  }
  Table& table = tables_[tableIndex];
  table.columns.push_back(std::move(c));
  const std::size_t at = table.columns.size() - 1;
  if (code != kTcAdt) {
    table.slots.push_back(at);
    return dbr::kOk;
  }
  std::uint32_t direct = 0;
  if (children) {
    for (const Element& f : children->children) {
      if (f.name != "FIELD") continue;
      if (DBResult r = AddColumn(tableIndex, f, depth + 1, descendants)) return r;
      ++direct;
    }
  }
  if (direct > 0xFFFF) return dbr::kPacketMismatch;
  tables_[tableIndex].columns[at].desc.typeWord = (word & ~kSizeMask) | direct;
  return dbr::kOk;
}

std::size_t TextPacketReader::DescriptorCount(int table) const {
  std::size_t n = 0;
  for (const Column& c : tables_[table].columns)
    n += 1 + (c.childTable >= 0 ? DescriptorCount(c.childTable) : 0);
  return n;
}

DBResult TextPacketReader::WriteTable(int index, ByteAppender& out) const {
  auto writeParams = [&](const std::vector<Param>& params) -> DBResult {
    out.U16(static_cast<std::uint16_t>(params.size()));
    for (const Param& p : params) {
      out.U8(static_cast<std::uint8_t>(p.name.size()));
      out.Bytes(p.name.data(), p.name.size());
      out.U32(p.typeWord);
      Converter conv;
      if (conv.Choose(p.typeWord) ||
          conv.get().Write(p.value.data(), static_cast<std::uint32_t>(p.value.size()), out))
        return dbr::kPacketMismatch;
    }
    return dbr::kOk;
  };
  for (const Column& c : tables_[index].columns) {
    out.U8(static_cast<std::uint8_t>(c.name.size()));
    out.Bytes(c.name.data(), c.name.size());
    out.U32(c.desc.typeWord);
    out.U16(c.desc.attributes);
    if (DBResult r = writeParams(c.params)) return r;
    if (c.childTable >= 0)
      if (DBResult r = WriteTable(c.childTable, out)) return r;
  }
  return writeParams(tables_[index].params);
}

}  // namespace dorvem
