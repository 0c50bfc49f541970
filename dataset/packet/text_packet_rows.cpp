// TextPacketReader: the document body and its rows, translated row by row
// into the binary form.
#include <algorithm>

#include "dataset/locale/locale_services.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/text_packet_reader.h"
#include "dataset/packet/xml_text.h"

namespace dorvem {

using namespace packet;
using packet::ValueKind;

namespace {

constexpr std::uint32_t kMaxValueLength = 0x7FFFFFFF;

void PutU32(std::vector<std::uint8_t>* out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

DBResult TextPacketReader::Translate(std::span<const std::uint8_t> text,
                                     std::vector<std::uint8_t>* binary) {
  tables_.clear();
  codePage_ = kFallbackCodePage;
  XmlScanner s(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
  return ReadBody(s, true, binary);
}

DBResult TextPacketReader::TranslateFurther(std::span<const std::uint8_t> text,
                                            std::vector<std::uint8_t>* binary) {
  if (tables_.empty()) return dbr::kPacketMismatch;
  XmlScanner s(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
  return ReadBody(s, false, binary);
}

DBResult TextPacketReader::ReadBody(XmlScanner& s, bool first, std::vector<std::uint8_t>* binary) {
  bool wrapped = false;
  if (DBResult r = OpenDocument(s, &wrapped)) return r;
  binary->assign(kHeaderSize, 0);
  binary->reserve(s.Size());  // the binary form is the smaller one
  bool metadata = false;
  std::uint32_t rows = 0;
  XmlScanner::Token t = XmlScanner::Token::kStartTag;
  if (s.Name() == "METADATA") {
    if (first) {
      Element md;
      if (!ReadElement(s, &md, 0) || md.children.empty() || md.children.front().name != "FIELDS")
        return dbr::kPacketMismatch;
      if (DBResult r = ReadCodePage(md)) return r;
      std::vector<const Element*> params;
      for (const Element& e : md.children)
        if (e.name == "PARAMS" || e.name == "PARAM") params.push_back(&e);
      int top = 0;
      if (DBResult r = BuildTable(&md.children.front(), params, "ROW", 0, &top)) return r;
      ByteAppender out(*binary);
      if (DBResult r = WriteTable(top, out)) return r;
      metadata = true;
    } else if (!s.SkipElement()) {
      return dbr::kPacketMismatch;
    }
    t = s.Next();
  }
  if (t == XmlScanner::Token::kStartTag && s.Name() == "ROWDATA") {
    if (tables_.empty()) {
      // Rows without metadata: there are no columns to read them by.
      if (!s.SkipElement()) return dbr::kPacketMismatch;
    } else if (DBResult r = TranslateRows(s, binary, &rows)) {
      return r;
    }
    t = s.Next();
  }
  // Everything opened must be closed: a document cut short is refused.
  if (wrapped ? (t != XmlScanner::Token::kEndTag || s.Name() != "DATAPACKET")
              : t != XmlScanner::Token::kEnd)
    return dbr::kPacketMismatch;

  std::size_t columns = 0;
  if (metadata) columns = DescriptorCount(0);
  if (columns > 0xFFFF) return dbr::kPacketMismatch;
  WriteHeader(binary, static_cast<std::uint16_t>(columns), rows,
              first ? (metadata ? kFlagMetaData : 0) : kFlagRowDataOffset);
  return dbr::kOk;
}

void TextPacketReader::WriteHeader(std::vector<std::uint8_t>* out, std::uint16_t columns,
                                   std::uint32_t rows, std::uint32_t flags) const {
  std::uint8_t* p = out->data();
  StoreU32(p + kOffMagic, kMagic);
  StoreU16(p + kOffMajor, 2);
  StoreU16(p + kOffMinor, 0);
  StoreU32(p + kOffHeaderLength, static_cast<std::uint32_t>(kHeaderSize));
  StoreU16(p + kOffColumnCount, columns);
  StoreU32(p + kOffRowCount, rows);
  StoreU32(p + kOffFlags, flags);
  StoreU16(p + kOffRowDataOffset, (flags & kFlagRowDataOffset) ? kHeaderSize : 0);
}

DBResult TextPacketReader::TranslateRows(XmlScanner& s, std::vector<std::uint8_t>* out,
                                         std::uint32_t* rows) {
  if (s.SelfClosing()) return dbr::kOk;
  for (;;) {
    switch (s.Next()) {
      case XmlScanner::Token::kStartTag:
        if (s.Name() == tables_[0].rowName) {
          if (DBResult r = TranslateRow(s, 0, out)) return r;
          if (++*rows == 0xFFFFFFFF) return dbr::kPacketMismatch;
        } else if (!s.SkipElement()) {
          return dbr::kPacketMismatch;
        }
        break;
      case XmlScanner::Token::kEndTag:
        return s.Name() == "ROWDATA" ? dbr::kOk : dbr::kPacketMismatch;
      default:
        return dbr::kPacketMismatch;
    }
  }
}

// Translates the row whose start tag is the scanner's current token, with
// the rows of its nested tables, and appends it to *out.
DBResult TextPacketReader::TranslateRow(XmlScanner& s, int index, std::vector<std::uint8_t>* out) {
  Table& table = tables_[index];
  const std::size_t slots = table.slots.size();
  std::fill(table.present.begin(), table.present.end(), 0);
  std::uint8_t rowStatus = 0;
  std::size_t guess = 0;
  for (const XmlAttribute& a : s.Attributes()) {
    if (a.name == "RowState") {
      std::vector<std::uint8_t>& v = bytesScratch_;
      v.clear();
      if (packet::ParseScalar(MakeTypeWord(kTcUInt, 1), Text(a.value), &v))
        return dbr::kPacketMismatch;
      rowStatus = v[0];
      continue;
    }
    // Attributes usually come in column order: try the next slot first.
    std::size_t j = slots;
    if (guess < slots && table.columns[table.slots[guess]].attrName == a.name) {
      j = guess;
    } else if (const auto it = table.slotOfAttribute.find(a.name);
               it != table.slotOfAttribute.end()) {
      j = it->second;
    }
    if (j == slots || table.columns[table.slots[j]].childTable >= 0) continue;
    table.raw[j] = a.value;
    table.present[j] = 1;
    guess = j + 1;
  }
  for (std::size_t j = 0; j < slots; ++j) {
    if (table.columns[table.slots[j]].childTable < 0) continue;
    table.nestedCount[j] = 0;
    table.nestedRows[j].clear();
  }
  if (!s.SelfClosing()) {
    for (;;) {
      const XmlScanner::Token t = s.Next();
      if (t == XmlScanner::Token::kEndTag) {
        if (s.Name() != table.rowName) return dbr::kPacketMismatch;
        break;
      }
      if (t != XmlScanner::Token::kStartTag) return dbr::kPacketMismatch;
      const auto it = table.slotOfNestedRow.find(s.Name());
      if (it == table.slotOfNestedRow.end()) {
        if (!s.SkipElement()) return dbr::kPacketMismatch;
        continue;
      }
      const std::size_t j = it->second;
      const int child = table.columns[table.slots[j]].childTable;
      if (DBResult r = TranslateRow(s, child, &table.nestedRows[j])) return r;
      if (++table.nestedCount[j] > 0x7FFFFFFF) return dbr::kPacketMismatch;
    }
  }

  out->push_back(rowStatus);
  const std::size_t statusAt = out->size();
  out->resize(statusAt + (slots + 3) / 4, 0);
  for (std::size_t j = 0; j < slots; ++j) {
    if (!table.present[j] && table.columns[table.slots[j]].childTable < 0)
      (*out)[statusAt + j / 4] |= static_cast<std::uint8_t>(1u << (2 * (j % 4)));
  }
  for (std::size_t j = 0; j < slots; ++j) {
    const Column& column = table.columns[table.slots[j]];
    if (column.childTable >= 0) {
      PutU32(out, table.nestedCount[j]);
      out->insert(out->end(), table.nestedRows[j].begin(), table.nestedRows[j].end());
    } else if (table.present[j]) {
      if (DBResult r = EncodeValue(column, table.raw[j], out)) return r;
    }
  }
  return dbr::kOk;
}

DBResult TextPacketReader::EncodeValue(const Column& column, std::string_view raw,
                                       std::vector<std::uint8_t>* out) {
  auto varying = [&](const void* bytes, std::size_t size) -> DBResult {
    if (size > kMaxValueLength) return dbr::kPacketMismatch;
    PutU32(out, static_cast<std::uint32_t>(size));
    const auto* b = static_cast<const std::uint8_t*>(bytes);
    out->insert(out->end(), b, b + size);
    return dbr::kOk;
  };
  switch (column.kind) {
    case ValueKind::kString:
      if (packet::IsPlain(raw, utf8_)) return varying(raw.data(), raw.size());
      scratch_ = Text(raw);
      return varying(scratch_.data(), scratch_.size());
    case ValueKind::kUnicode: {
      scratch_.clear();
      packet::AppendUnescaped(raw, utf8_, codePage_, &scratch_);
      if (!utf8_) scratch_ = locale::ToUtf8(scratch_, codePage_);
      bytesScratch_.clear();
      packet::Utf8ToUtf16le(scratch_, &bytesScratch_);
      return varying(bytesScratch_.data(), bytesScratch_.size());
    }
    case ValueKind::kBytes:
      bytesScratch_.clear();
      if (raw.find('&') != std::string_view::npos) {
        scratch_.clear();
        packet::AppendUnescaped(raw, utf8_, codePage_, &scratch_);
        packet::DecodeBase64(scratch_, &bytesScratch_);
      } else {
        packet::DecodeBase64(raw, &bytesScratch_);
      }
      return varying(bytesScratch_.data(), bytesScratch_.size());
    case ValueKind::kScalar:
      if (packet::IsPlain(raw, utf8_))
        return packet::ParseScalar(column.desc.typeWord, raw, out) ? dbr::kPacketMismatch
                                                                   : dbr::kOk;
      return packet::ParseScalar(column.desc.typeWord, Text(raw), out) ? dbr::kPacketMismatch
                                                                       : dbr::kOk;
    case ValueKind::kNone:
      return dbr::kOk;
  }
  return dbr::kOk;
}

}  // namespace dorvem
