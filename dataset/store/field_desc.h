// The engine's description of one field of a table (DSFLDDesc), and the
// table properties the host reads when it opens a table.
#pragma once

#include <cstdint>

namespace dorvem {

struct DSFLDDesc {
  char name[32] = {};              // up to 31 bytes and a terminating zero
  std::uint32_t logicalType = 0;   // LogicalType
  std::uint32_t subtype = 0;       // 0 none, a blob subtype code, 255 unknown
  std::uint32_t units1 = 0;        // width, precision, children, elements
  std::uint32_t units2 = 0;        // decimals
  std::uint32_t recordLength = 0;  // bytes the value takes in a record image
  std::uint32_t offset = 0;        // of the value in a record image
  std::uint32_t nullOffset = 0;    // of the null-flag byte in a record image
  std::uint16_t fieldId = 0;       // 1-based position
  std::uint16_t parentId = 0;      // structure or array a child belongs to
  std::uint32_t calculated = 0;
  std::uint32_t attributes = 0;  // packet::kAttr* bits
};

// Null-flag values of a stored field.
inline constexpr std::uint8_t kNullFlagValue = 0;
inline constexpr std::uint8_t kNullFlagBlank = 1;
inline constexpr std::uint8_t kNullFlagNotChanged = 2;

struct DSProps {
  std::uint32_t fieldCount = 0;    // fields of the table
  std::uint32_t packetFields = 0;  // fields that came from the packet
  std::uint32_t recordSize = 0;    // size of a record image
  std::uint32_t recordCount = 0;   // records stored (visible or not)
  std::uint32_t visibleCount = 0;  // records loaded as visible
  std::uint32_t bookmarkSize = 0;  // bytes of an engine bookmark
  std::uint32_t lcid = 0;          // comparison locale, 0 when none
  bool readOnly = false;
  bool delta = false;
  bool complete = false;  // the last packet was appended
};

// Table property numbers for SetProp.
enum class TableProp : std::uint32_t {
  kReadOnly = 1,
  kDisableStringTrim = 23,
};

}  // namespace dorvem
