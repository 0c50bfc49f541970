// Reading the parameters of columns and of the table while a packet loads,
// and applying the effects of the known ones (width, subtype, locale, key
// definitions, change log, ...).
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include "dataset/core/alloc_guard.h"
#include "dataset/core/byte_layout.h"
#include "dataset/locale/locale_services.h"
#include "dataset/packet/packet_format.h"
#include "dataset/store/logical_types.h"
#include "dataset/store/table.h"

namespace dorvem {
namespace {

// Reads a count-like parameter: u16 when its size is 2, else 32 bits.
std::uint32_t ReadSmallNumber(const std::uint8_t* value, std::uint32_t size) {
  if (size == 2) return LoadU16(value);
  if (size >= 4) return LoadU32(value);
  return size == 1 ? value[0] : 0;
}

// Keeps a parameter by name in `list`.
DBResult KeepParam(std::vector<NamedParam>* list, const char* name, std::uint32_t typeWord,
                   const std::uint8_t* value, std::uint32_t size) {
  return GuardAllocation([&] {
    list->push_back(NamedParam{name, typeWord, {value, value + size}});
  });
}

}  // namespace

DBResult DSBASE::ReadParams(std::uint32_t fieldId) {
  char name[kMaxParamNameLength + 1];
  std::uint8_t local[128];
  std::vector<std::uint8_t> large;
  for (;;) {
    std::uint32_t size = 0;
    std::uint32_t typeWord = 0;
    if (reader_->NextParamSize(&size) != dbr::kOk) {
      // End of the list: one more read moves the reader on to what follows.
      std::uint32_t cap = sizeof local;
      DBResult r = reader_->NextParam(name, &typeWord, &cap, local);
      return r == dbr::kAtEnd ? dbr::kOk : r;
    }
    std::uint8_t* buffer = local;
    if (size > sizeof local) {
      try {
        if (large.size() < size) large.resize(size);
      } catch (const std::bad_alloc&) {
        return dbr::kOutOfMemory;
      }
      buffer = large.data();
    }
    std::uint32_t cap = size > sizeof local ? size : static_cast<std::uint32_t>(sizeof local);
    DBResult r = reader_->NextParam(name, &typeWord, &cap, buffer);
    if (r == dbr::kAtEnd) return dbr::kOk;
    if (r != dbr::kOk) return r;
    name[kMaxParamNameLength] = 0;
    r = fieldId ? ApplyColumnParam(fieldId, name, typeWord, buffer, cap)
                : ApplyTableParam(name, typeWord, buffer, cap);
    if (r != dbr::kOk) return r;
  }
}

DBResult DSBASE::ApplyColumnParam(std::uint32_t fieldId, const char* name, std::uint32_t typeWord,
                                  const std::uint8_t* value, std::uint32_t size) {
  DSFLDDesc& d = fields_[fieldId - 1];
  const packet::ParamCode code = packet::ParamCodeOf(name);
  bool keep = true;
  switch (code) {
    case packet::kParamSubtype: {
      if (packet::TypeCode(typeWord) != packet::kTcString) return dbr::kInvalidParameter;
      const std::string text(reinterpret_cast<const char*>(value),
                             strnlen(reinterpret_cast<const char*>(value), size));
      d.subtype = packet::SubtypeCodeOf(text);
      keep = d.subtype == packet::kSubtypeUnknown;
      if (d.subtype == packet::kSubtypeAutoinc) d.attributes |= packet::kAttrReadOnly;
      break;
    }
    case packet::kParamWidth:
    case packet::kParamElements:
      d.units1 = ReadSmallNumber(value, size);
      keep = false;
      break;
    case packet::kParamDecimals:
      d.units2 = ReadSmallNumber(value, size);
      keep = false;
      break;
    case packet::kParamCalculated:
      d.calculated = ReadSmallNumber(value, size);
      keep = false;
      break;
    default:
      break;
  }
  if (!keep) return dbr::kOk;
  return KeepParam(&fieldParams_[fieldId - 1], name, typeWord, value, size);
}

DBResult DSBASE::ApplyTableParam(const char* name, std::uint32_t typeWord,
                                 const std::uint8_t* value, std::uint32_t size) {
  const packet::ParamCode code = packet::ParamCodeOf(name);
  bool keep = true;
  switch (code) {
    case packet::kParamLcid: {
      const std::uint32_t lcid = size == 2 ? LoadU16(value) : size >= 4 ? LoadU32(value) : 0;
      lcid_ = locale::IsValidLocale(lcid) ? lcid : 0;
      break;
    }
    case packet::kParamDefaultOrder:
    case packet::kParamUniqueKey:
    case packet::kParamPrimaryKey: {
      if (!(typeWord & packet::kArray)) return dbr::kInvalidParameter;
      const std::uint32_t elementSize = packet::TypeSize(typeWord) == 2 ? 2 : 4;
      const std::uint32_t count = size / elementSize;
      if (count > kMaxIndexFields) return dbr::kInvalidParameter;
      IndexDescriptor d;
      SetIndexName(&d, code == packet::kParamDefaultOrder ? kDefaultOrderName
                       : code == packet::kParamUniqueKey  ? kUniqueKeyName
                                                          : kPrimaryKeyName);
      d.uniqueness = code == packet::kParamPrimaryKey  ? kIndexPrimary
                     : code == packet::kParamUniqueKey ? kIndexUnique
                                                       : kIndexDuplicates;
      for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t n = elementSize == 2 ? LoadU16(value + 2 * i) : LoadU32(value + 4 * i);
        d.descending[i] = (n & packet::kKeyDescending) ? 1 : 0;
        d.caseInsensitive[i] = (n & packet::kKeyCaseInsensitive) ? 1 : 0;
        n &= ~(packet::kKeyDescending | packet::kKeyCaseInsensitive);
        if (n == 0 || n > fields_.size()) return dbr::kInvalidParameter;
        d.fields[i] = static_cast<std::int32_t>(n);
      }
      d.fieldCount = static_cast<std::int32_t>(count);
      try {
        packetIndexes_.push_back(d);
      } catch (const std::bad_alloc&) {
        return dbr::kOutOfMemory;
      }
      break;
    }
    case packet::kParamChangeLog:
      if (!(typeWord & packet::kArray) || packet::TypeSize(typeWord) != 4)
        return dbr::kInvalidParameter;
      try {
        for (std::uint32_t i = 0; i + 4 <= size; i += 4) changeLog_.push_back(LoadU32(value + i));
      } catch (const std::bad_alloc&) {
        return dbr::kOutOfMemory;
      }
      keep = false;
      break;
    case packet::kParamDatasetDelta:
    case packet::kParamDelta:
      delta_ = true;
      break;
    case packet::kParamReadOnly:
      readOnly_ = size > 0 && std::any_of(value, value + size, [](std::uint8_t b) { return b; });
      break;
    case packet::kParamMdSemantics:
      mdSemantics_ = ReadSmallNumber(value, size) & 0x7;
      break;
    case packet::kParamAutoIncValue:
    case packet::kParamMdFieldLinks:
    case packet::kParamBdeDomainCl:
    case packet::kParamBdeRecordCl:
    case packet::kParamBdeDefaultCl:
      keep = false;
      break;
    default:
      break;
  }
  if (!keep) return dbr::kOk;
  return KeepParam(&tableParams_, name, typeWord, value, size);
}

}  // namespace dorvem
