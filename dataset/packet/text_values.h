// The vocabulary and value texts of the XML packet form, shared by the text
// reader and the writer.
//
// Type names: the `fieldtype` (and PARAM `Type`) names and the type words
// they stand for. The writer names every type word it can by its kind, so a
// 2-byte string prefix is written as "string" and a 1-byte boolean as
// "boolean"; TextFormTypeWord tells what a type word reads back as.
//
// Value texts (this form's own choices where the vocabulary leaves them open):
// - integers: decimal, optional sign; booleans "TRUE" / "FALSE" (any case),
//   read as all bits set / zero;
// - floats: the shortest decimal text that reads back to the same value;
// - BCD (18-byte record: precision, sign bit 0x80 with the decimal places in
//   bits 0-5, then two digits a byte): plain decimal text "-123.45"; reading
//   gives precision = the digits written (leading zeros of the integer part
//   dropped, at least one digit) and places = the digits after the point;
// - date: "YYYYMMDD", held as the day number counting 0001-01-01 as day 1;
// - time: "HH:MM:" + seconds x 1000 + milliseconds in five digits, held as
//   milliseconds since midnight; reading pads the digits after the second
//   colon on the right with zeros to five;
// - date-time: date "T" time, held as a double of milliseconds counted from
//   the day before day 1 (day number x 86400000 + the time); a date alone
//   reads as midnight;
// - SQL date-time: as the date-time, with the digits after the second colon
//   being two digits of seconds and up to nine of the fraction (padded on
//   the right); written with three fraction digits when the fraction is a
//   whole number of milliseconds, else nine;
// - arrays: the elements' texts separated by commas (spaces also read).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dataset/core/result_codes.h"

namespace dorvem::packet {

// Type word of a type name (case-insensitive); 0 for an unknown name.
std::uint32_t TypeWordOfName(std::string_view name);
// The name the text form writes for a type word; empty when it has none
// (structures' and nested tables' sizes are not part of the name).
std::string_view NameOfTypeWord(std::uint32_t word);
// The type word a text packet delivers for a column or parameter written
// with `word` (sizes of structures and nested tables kept); 0 when the text
// form cannot carry it.
std::uint32_t TextFormTypeWord(std::uint32_t word);

// How a value of a type word is written as text.
enum class ValueKind {
  kNone,     // structures, arrays and nested tables: no value of their own
  kScalar,   // numbers, booleans, dates and times, BCD, arrays of these
  kString,   // single-byte text in the packet's code page
  kUnicode,  // UTF-16LE, written as text
  kBytes,    // Base64
};
ValueKind KindOf(std::uint32_t word);

// Appends the value of `text` as the engine holds a value of `word` (a
// kScalar type word). kPacketMismatch when the text is not such a value.
DBResult ParseScalar(std::uint32_t word, std::string_view text, std::vector<std::uint8_t>* out);
// Appends the text of a value of `word` (a kScalar type word).
// kInvalidParameter when the bytes are not such a value.
DBResult FormatScalar(std::uint32_t word, const std::uint8_t* value, std::size_t size,
                      std::string* out);

// Type word of a parameter given as an attribute, from its name and its text
// (already unescaped and in the packet's code page): WIDTH, DECIMALS and
// ELEMENTS as u16 (u32 above 65535), LCID, MD_SEMANTICS and UPDATEMODE as
// u32, AUTOINCVALUE as i32, READONLY, CALCULATED, DATASET_DELTA, DELTA and
// DISABLE_* as booleans, UNIQUE_KEY, PRIMARY_KEY, DEFAULT_ORDER and
// CHANGE_LOG as arrays of u32, each when the text has that form; SUBTYPE as
// a string with a 2-byte prefix holding the name and a zero; anything else
// as a string, its prefix wide enough for its length.
std::uint32_t AttributeParamTypeWord(std::string_view name, std::string_view text);
// The value of such a parameter.
void AttributeParamValue(std::string_view name, std::uint32_t word, std::string_view text,
                         std::vector<std::uint8_t>* out);

}  // namespace dorvem::packet
