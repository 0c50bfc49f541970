// The dictionary's table, declared once: the five columns of a dictionary
// packet with their names, types, widths and roles. The window's persistent
// fields, the data check, and the packets that tests, benchmarks and the
// demo builder write all take the table from here.
//
// No Qt: the declaration is plain data over the engine's own types, so that
// tools and engine tests can use it without the dictionary library.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

#include "dataset/host/field_types.h"
#include "dataset/packet/packet_format.h"

namespace dorvem {

// What a column means to the dictionary.
enum class TColumnRole {
  crMediaFile,    // the entry's media file, below the media folder
  crHeadword,     // the headword the search and the order use
  crExplanation,  // the explanation: rich text or plain text
  crPicture,      // the picture: a Windows bitmap, optionally behind a graphic header
  crIndex,        // the entry's number in the printed dictionary
};

struct TColumnDeclaration {
  const char* name;  // the column's name in the packet, and its field's FieldName
  TColumnRole role;
  TFieldType fieldType;    // the persistent field bound to it
  int size;                // strings: width in characters; the memo: the field's Size; else 0
  std::uint32_t typeWord;  // the column's type in a packet
  const char* subtype;     // blobs: the packet's SUBTYPE parameter; else nullptr
};

// In the order of the packet's columns and of the dataset's fields.
inline constexpr TColumnDeclaration kDictionaryColumns[] = {
    {"FAJLNEV", TColumnRole::crMediaFile, ftString, 255,
     packet::MakeTypeWord(packet::kTcString, 2, packet::kVarying), nullptr},
    {"KSZOVEG", TColumnRole::crHeadword, ftString, 40,
     packet::MakeTypeWord(packet::kTcString, 1, packet::kVarying), nullptr},
    {"SZOVMAGY", TColumnRole::crExplanation, ftMemo, 50,
     packet::MakeTypeWord(packet::kTcBytes, 4, packet::kVarying), "Text"},
    {"GRAPHIC", TColumnRole::crPicture, ftBlob, 0,
     packet::MakeTypeWord(packet::kTcBytes, 4, packet::kVarying), "Binary"},
    {"Index", TColumnRole::crIndex, ftInteger, 0, packet::MakeTypeWord(packet::kTcInt, 4), nullptr},
};
inline constexpr int kDictionaryColumnCount = 5;

// The declaration of the column with `role`.
constexpr const TColumnDeclaration& ColumnOf(TColumnRole role) {
  return kDictionaryColumns[static_cast<int>(role)];
}
static_assert(std::size(kDictionaryColumns) == kDictionaryColumnCount);
static_assert(ColumnOf(TColumnRole::crIndex).role == TColumnRole::crIndex &&
              ColumnOf(TColumnRole::crHeadword).role == TColumnRole::crHeadword);

// The column the table is kept in order of, and that the search filters.
inline constexpr std::string_view kHeadwordColumn = "KSZOVEG";

}  // namespace dorvem
