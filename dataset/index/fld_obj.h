// FLDObj: the value handler of one key field of an index.
//
// An index keeps one handler per key field. A handler knows the field's type
// and width, whether the key field sorts descending and, for the string
// kinds, whether it ignores case and under which locale it compares. It
// compares two stored values (each the field's record-length bytes as the
// table keeps them, or null for an absent value) and copies a value.
//
// Rules common to every kind: an absent value is smaller than any present
// one, two absent values are equal, and a descending key field negates the
// whole result (so absent values come last there). The base class compares
// the bytes over the field width; derived kinds compare by their meaning.
//
// Handlers are made by MakeFieldHandler and owned by their index. They hold
// no pointers into the table, so they stay valid while its values change.
#pragma once

#include <cstdint>
#include <memory>

#include "dataset/core/result_codes.h"
#include "dataset/locale/locale_services.h"
#include "dataset/store/field_desc.h"

namespace dorvem {

namespace locale {
class Collator;
}

class FLDObj {
 public:
  FLDObj(const DSFLDDesc& field, bool descending, bool caseInsensitive, locale::LCID lcid);
  virtual ~FLDObj() = default;
  FLDObj(const FLDObj&) = delete;
  FLDObj& operator=(const FLDObj&) = delete;

  // -1, 0 or +1. `a` and `b` point at record-length bytes, or are null for
  // an absent value.
  int Compare(const std::uint8_t* a, const std::uint8_t* b) const {
    int r;
    if (a == nullptr)
      r = b == nullptr ? 0 : -1;
    else if (b == nullptr)
      r = 1;
    else
      r = CompareValues(a, b);
    return descending_ ? -r : r;
  }
  // Copies a value (record-length bytes).
  void Copy(std::uint8_t* to, const std::uint8_t* from) const;

  std::uint32_t LogicalType() const { return type_; }
  std::uint32_t Width() const { return width_; }
  bool Descending() const { return descending_; }
  bool CaseInsensitive() const { return caseInsensitive_; }
  locale::LCID Lcid() const { return lcid_; }
  // True for the 8-bit string kind, whose order the collation ranks of the
  // table can stand in for.
  virtual bool IsCollatedString() const { return false; }

 protected:
  // Both values present; -1, 0 or +1 before the descending flag. The base
  // compares the bytes over the field width.
  virtual int CompareValues(const std::uint8_t* a, const std::uint8_t* b) const;

  std::uint32_t type_;
  std::uint32_t width_;
  bool descending_;
  bool caseInsensitive_;
  locale::LCID lcid_;
};

// Makes the handler for key field `field` of a table whose locale is
// `lcid`. kInvalidFieldType for blob, memo and nested kinds (structure,
// array, reference, nested table), which cannot be key fields;
// kOutOfMemory when the handler cannot be had.
DBResult MakeFieldHandler(const DSFLDDesc& field, bool descending, bool caseInsensitive,
                          locale::LCID lcid, std::unique_ptr<FLDObj>* out);

}  // namespace dorvem
