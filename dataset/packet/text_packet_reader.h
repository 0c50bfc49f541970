// TextPacketReader: reads a text (XML) data packet by translating it into
// the binary form, which DSEXTRACT then reads like any binary packet. The
// translation keeps the column model of the first packet, so that further
// packets of rows can be translated for the same columns.
//
// The document: an optional UTF-8 byte-order mark and declaration, then
// DATAPACKET (holding METADATA and ROWDATA), or METADATA or ROWDATA directly.
// Every element opened must be closed: a document cut short is refused.
// METADATA holds FIELDS (one FIELD per column; a "nested" or "struct" FIELD
// holds the FIELDS of its own columns, and a nested one may hold the PARAMS
// of its table), optional PARAMS (table parameters as attributes and PARAM
// children) and PARAM elements (table parameters). A FIELD's `attrname` (or
// `tagname`) names its row attribute, `fieldname` (when present) the column;
// `fieldtype` gives the type ("string" when missing); `readonly`, `required`,
// `hidden` and `linkfield` set the attribute bits when "true" (any case);
// every other attribute, and every PARAM child, is a column parameter. A
// parameter attribute is typed by AttributeParamTypeWord; a PARAM element by
// its `Type` (a fieldtype name; "string" when missing), with `Roundtrip`
// "True" setting the round-trip bit. A bytes column whose SUBTYPE is "Text"
// holds single-byte text instead of Base64.
//
// ROWDATA holds ROW elements: `RowState` is the row status (0 when missing),
// every column with an attribute has a value, every other one is blank; a
// nested table's rows are child elements named "ROW" + the nested column's
// `attrname`. Unknown attributes and elements are ignored. The text form has
// no not-changed values.
//
// Text: names, string values and string parameters are converted from UTF-8
// (BOM or declared encoding) to the packet's single-byte code page, the ANSI
// code page of its LCID parameter (windows-1250 when there is none or it is
// not a valid locale); a document that is not UTF-8 is taken to be in that
// code page already, and its character references are converted to it.
//
// The translated packet carries each column's type word as its fieldtype
// names it (so "string" is 0x00490001 whatever the width), but every varying
// value is written with a 4-byte length: DSEXTRACT reads varying columns of a
// text packet with a 4-byte prefix. String parameters get a prefix wide
// enough for their length.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dataset/core/byte_layout.h"
#include "dataset/core/result_codes.h"
#include "dataset/locale/code_page.h"
#include "dataset/packet/reader_interface.h"
#include "dataset/packet/text_values.h"
#include "dataset/packet/xml_scanner.h"

namespace dorvem {

class TextPacketReader {
 public:
  // Translates a first packet. kPacketMismatch when the text is not a packet
  // or a value does not read as its type.
  DBResult Translate(std::span<const std::uint8_t> text, std::vector<std::uint8_t>* binary);
  // Translates the rows of a further packet for the columns of the first
  // (any METADATA in it is skipped).
  DBResult TranslateFurther(std::span<const std::uint8_t> text, std::vector<std::uint8_t>* binary);

 private:
  // One element of METADATA, read whole (METADATA is small; rows are not
  // read this way).
  struct Element {
    std::string_view name;
    std::vector<XmlAttribute> attributes;
    std::vector<Element> children;
    const XmlAttribute* Find(std::string_view n) const {
      for (const XmlAttribute& a : attributes)
        if (a.name == n) return &a;
      return nullptr;
    }
  };
  // Code page of a packet without a valid LCID.
  static constexpr std::uint32_t kFallbackCodePage = locale::kDefaultCodePage;

  struct Param {
    std::string name;
    std::uint32_t typeWord = 0;
    std::vector<std::uint8_t> value;
  };
  struct Column {
    std::string attrName;  // as the document spells it
    DSColumnDesc desc;
    std::string name;  // the whole name (descriptors cut it to 31 bytes)
    std::vector<Param> params;
    packet::ValueKind kind = packet::ValueKind::kString;
    int childTable = -1;
  };
  struct Table {
    std::vector<Column> columns;  // in descriptor order, structures' children flattened
    std::vector<Param> params;
    std::vector<std::size_t> slots;  // column of each status slot
    std::string rowName;             // element name of this table's rows
    // Slot of each row attribute name and of each nested rows' element name.
    std::map<std::string, std::size_t, std::less<>> slotOfAttribute;
    std::map<std::string, std::size_t, std::less<>> slotOfNestedRow;
    // Scratch of the row being translated, one entry per slot.
    std::vector<std::string_view> raw;
    std::vector<char> present;
    std::vector<std::uint32_t> nestedCount;
    std::vector<std::vector<std::uint8_t>> nestedRows;
  };

  static bool ReadElement(XmlScanner& s, Element* e, int depth);
  DBResult OpenDocument(XmlScanner& s, bool* wrapped);
  DBResult ReadBody(XmlScanner& s, bool first, std::vector<std::uint8_t>* binary);
  DBResult ReadCodePage(const Element& metadata);
  DBResult BuildTable(const Element* fields, const std::vector<const Element*>& params,
                      std::string rowName, int depth, int* index);
  DBResult AddColumn(int tableIndex, const Element& field, int depth, std::size_t* descendants);
  std::size_t DescriptorCount(int table) const;
  DBResult ReadParam(const Element& param, Param* out);
  DBResult AttributeParam(std::string_view name, std::string_view raw, Param* out);
  std::string Text(std::string_view raw) const;
  DBResult WriteTable(int index, ByteAppender& out) const;
  void WriteHeader(std::vector<std::uint8_t>* out, std::uint16_t columns, std::uint32_t rows,
                   std::uint32_t flags) const;

  DBResult TranslateRows(XmlScanner& s, std::vector<std::uint8_t>* out, std::uint32_t* rows);
  DBResult TranslateRow(XmlScanner& s, int table, std::vector<std::uint8_t>* out);
  DBResult EncodeValue(const Column& column, std::string_view raw, std::vector<std::uint8_t>* out);

  std::vector<Table> tables_;
  bool utf8_ = false;
  std::uint32_t codePage_ = kFallbackCodePage;
  std::string scratch_;
  std::vector<std::uint8_t> bytesScratch_;
};

}  // namespace dorvem
