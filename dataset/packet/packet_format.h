// Byte-level vocabulary of a data packet: header, type words, type codes,
// column attributes, row and field status bits, the known parameter names
// and the blob subtype names. Shared by the packet reader, the writer and the
// record store that loads packets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dorvem::packet {

// Header (24 bytes at offset 0; all numbers little-endian).
inline constexpr std::uint32_t kMagic = 0xBDE01996;
inline constexpr std::uint32_t kMagicAlternate = 0x0000ABCD;
inline constexpr std::uint16_t kMaxVersion = 3;
inline constexpr std::size_t kHeaderSize = 24;
inline constexpr std::size_t kOffMagic = 0;
inline constexpr std::size_t kOffMajor = 4;
inline constexpr std::size_t kOffMinor = 6;
inline constexpr std::size_t kOffHeaderLength = 8;
inline constexpr std::size_t kOffColumnCount = 12;
inline constexpr std::size_t kOffRowCount = 14;
inline constexpr std::size_t kOffFlags = 18;
inline constexpr std::size_t kOffRowDataOffset = 22;

// Packet flags.
inline constexpr std::uint32_t kFlagMetaData = 0x1;
inline constexpr std::uint32_t kFlagRowDataOffset = 0x2;
inline constexpr std::uint32_t kFlagAlternateBody = 0x8000;

// Type word.
inline constexpr std::uint32_t kSizeMask = 0xFFFF;
inline constexpr int kTypeCodeShift = 16;
inline constexpr std::uint32_t kTypeCodeMask = 0x3F;  // bits 16-21
inline constexpr std::uint32_t kVarying = 0x00400000;
inline constexpr std::uint32_t kArray = 0x00800000;
inline constexpr std::uint32_t kComposite = 0x01000000;
inline constexpr std::uint32_t kArrayColumn = 0x02000000;
inline constexpr std::uint32_t kNestedColumn = 0x04000000;
inline constexpr std::uint32_t kRoundTrip = 0x80000000;

inline constexpr std::uint32_t TypeSize(std::uint32_t w) {
  return w & kSizeMask;
}
inline constexpr std::uint32_t TypeCode(std::uint32_t w) {
  return (w >> kTypeCodeShift) & kTypeCodeMask;
}
inline constexpr std::uint32_t MakeTypeWord(std::uint32_t code, std::uint32_t size,
                                            std::uint32_t flags = 0) {
  return (code << kTypeCodeShift) | (size & kSizeMask) | flags;
}

// Type codes of a column or parameter.
enum TypeCode : std::uint32_t {
  kTcInt = 1,
  kTcUInt = 2,
  kTcBool = 3,
  kTcFloat = 4,
  kTcBcd = 5,
  kTcDate = 6,
  kTcTime = 7,
  kTcTimeStamp = 8,
  kTcString = 9,
  kTcUnicode = 10,
  kTcBytes = 11,
  kTcAdt = 12,
  kTcArray = 13,
  kTcNested = 14,
  kTcReference = 15,
  kTcBytes2 = 16,
  kTcSqlTimeStamp = 17,
  kTcFmtBcd = 18,
};

// Column attributes.
inline constexpr std::uint16_t kAttrHidden = 0x1;
inline constexpr std::uint16_t kAttrReadOnly = 0x2;
inline constexpr std::uint16_t kAttrRequired = 0x4;
inline constexpr std::uint16_t kAttrLinkField = 0x8;

// Row status bits.
inline constexpr std::uint8_t kRowDeleted = 0x02;
inline constexpr std::uint8_t kRowInserted = 0x04;
inline constexpr std::uint8_t kRowModified = 0x08;
inline constexpr std::uint8_t kRowHiddenBits = 0x23;  // 0x01, 0x02, 0x20 hide a row

// Field status of a delivered value.
inline constexpr std::uint32_t kFieldHasValue = 0;
inline constexpr std::uint32_t kFieldBlank = 1;
inline constexpr std::uint32_t kFieldNotChanged = 2;

// Varying 4-byte length with this bit: the value's bytes are not in the packet.
inline constexpr std::uint32_t kNotFetchedBit = 0x80000000;

// Known parameter names (compared case-insensitively) and their codes.
enum ParamCode : int {
  kParamUnknown = 0,
  kParamUniqueKey = 1,
  kParamDefaultOrder = 2,
  kParamChangeLog = 3,
  kParamServerCol = 4,
  kParamConstraints = 5,
  kParamDatasetContext = 6,
  kParamDatasetDelta = 7,
  kParamReadOnly = 8,
  kParamSubtype = 9,
  kParamDecimals = 10,
  kParamWidth = 11,
  kParamLcid = 12,
  kParamBdeDomainX = 13,
  kParamBdeRecordX = 14,
  kParamBdeDefaultX = 15,
  kParamAutoIncValue = 16,
  kParamElements = 17,
  kParamTableName = 18,
  kParamMdFieldLinks = 19,
  kParamTypeName = 20,
  kParamUpdateMode = 21,
  kParamMdSemantics = 22,
  kParamCalculated = 23,
  kParamBdeDomainCl = 24,
  kParamBdeRecordCl = 25,
  kParamBdeDefaultCl = 26,
  kParamDelta = 27,
  kParamPrimaryKey = 28,
  kParamMinValue = 29,
  kParamMaxValue = 30,
  kParamDisableDeletes = 31,
  kParamDisableInserts = 32,
  kParamDisableEdits = 33,
};

// Code of a parameter name (ASCII case-insensitive), kParamUnknown if none.
ParamCode ParamCodeOf(std::string_view name);
// The canonical spelling of a known parameter code ("" for kParamUnknown).
std::string_view ParamNameOf(ParamCode code);

// Key array element bits (UNIQUE_KEY, PRIMARY_KEY, DEFAULT_ORDER).
inline constexpr std::uint32_t kKeyDescending = 0x8000;
inline constexpr std::uint32_t kKeyCaseInsensitive = 0x4000;

// Blob subtype codes and names (compared case-insensitively).
inline constexpr std::uint32_t kSubtypeUnknown = 255;
inline constexpr std::uint32_t kSubtypeMoney = 21;
inline constexpr std::uint32_t kSubtypeText = 22;
inline constexpr std::uint32_t kSubtypeBinary = 23;
inline constexpr std::uint32_t kSubtypeFormatted = 24;
inline constexpr std::uint32_t kSubtypeOle = 25;
inline constexpr std::uint32_t kSubtypeGraphics = 26;
inline constexpr std::uint32_t kSubtypeDBaseOle = 27;
inline constexpr std::uint32_t kSubtypeTypedBinary = 28;
inline constexpr std::uint32_t kSubtypeAutoinc = 29;
inline constexpr std::uint32_t kSubtypeAccessOle = 30;
inline constexpr std::uint32_t kSubtypeFixedChar = 31;
inline constexpr std::uint32_t kSubtypeHMemo = 33;
inline constexpr std::uint32_t kSubtypeHBinary = 34;
inline constexpr std::uint32_t kSubtypeAdtNestedTable = 35;
inline constexpr std::uint32_t kSubtypeBFile = 36;
inline constexpr std::uint32_t kSubtypeAdtDate = 37;
inline constexpr std::uint32_t kSubtypeGuid = 38;
inline constexpr std::uint32_t kSubtypeReference = 70;

// Subtype code of a name, or kSubtypeUnknown.
std::uint32_t SubtypeCodeOf(std::string_view name);
// Name of a subtype code ("" when the code has none).
std::string_view SubtypeNameOf(std::uint32_t code);

}  // namespace dorvem::packet
