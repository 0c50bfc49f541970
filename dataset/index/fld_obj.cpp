// The value handler kinds of index key fields, and the factory that picks
// one by the field's logical type.
#include "dataset/index/fld_obj.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "dataset/core/byte_layout.h"
#include "dataset/core/sql_time_stamp.h"
#include "dataset/locale/collator.h"
#include "dataset/store/logical_types.h"

namespace dorvem {

FLDObj::FLDObj(const DSFLDDesc& field, bool descending, bool caseInsensitive, locale::LCID lcid)
    : type_(field.logicalType),
      width_(field.recordLength),
      descending_(descending),
      caseInsensitive_(caseInsensitive),
      lcid_(lcid) {}

void FLDObj::Copy(std::uint8_t* to, const std::uint8_t* from) const {
  std::memcpy(to, from, width_);
}

int FLDObj::CompareValues(const std::uint8_t* a, const std::uint8_t* b) const {
  const int c = std::memcmp(a, b, width_);
  return (c > 0) - (c < 0);
}

namespace {

template <class T>
int Sign(T a, T b) {
  return (a > b) - (a < b);
}

// 8-bit zero-terminated strings, by the platform collation of the table's
// locale: the whole stored value up to its terminating zero counts,
// trailing blanks included. A failed comparison counts as "less".
class FLDString final : public FLDObj {
 public:
  FLDString(const DSFLDDesc& f, bool desc, bool ci, locale::LCID lcid)
      : FLDObj(f, desc, ci, lcid),
        collator_(locale::Collator::For(lcid, ci ? locale::kIgnoreCase : 0)) {}
  bool IsCollatedString() const override { return true; }

 protected:
  int CompareValues(const std::uint8_t* a, const std::uint8_t* b) const override {
    if (collator_ == nullptr) return -1;
    const char* sa = reinterpret_cast<const char*>(a);
    const char* sb = reinterpret_cast<const char*>(b);
    const int r = collator_->CompareA(sa, static_cast<int>(strnlen(sa, width_)), sb,
                                      static_cast<int>(strnlen(sb, width_))) -
                  locale::kEqual;
    return r < 0 ? -1 : r > 0 ? 1 : 0;
  }

 private:
  const locale::Collator* collator_;
};

// Integers of every width, read little-endian from the value's first bytes.
template <class T>
class FLDNumeric final : public FLDObj {
 public:
  using FLDObj::FLDObj;

 protected:
  int CompareValues(const std::uint8_t* a, const std::uint8_t* b) const override {
    return Sign(Load(a), Load(b));
  }

 private:
  static T Load(const std::uint8_t* p) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) v |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return static_cast<T>(v);
  }
};

using FLDInt8 = FLDNumeric<std::int8_t>;
using FLDInt16 = FLDNumeric<std::int16_t>;
using FLDInt32 = FLDNumeric<std::int32_t>;
using FLDInt64 = FLDNumeric<std::int64_t>;
using FLDUInt8 = FLDNumeric<std::uint8_t>;
using FLDUInt16 = FLDNumeric<std::uint16_t>;
using FLDUInt32 = FLDNumeric<std::uint32_t>;
using FLDUInt64 = FLDNumeric<std::uint64_t>;

// IEEE doubles (floats, currency, date-times); unordered values (NaN)
// compare equal to everything.
class FLDFloat final : public FLDObj {
 public:
  using FLDObj::FLDObj;

 protected:
  int CompareValues(const std::uint8_t* a, const std::uint8_t* b) const override {
    double x, y;
    std::memcpy(&x, a, sizeof x);
    std::memcpy(&y, b, sizeof y);
    return x < y ? -1 : x > y ? 1 : 0;
  }
};

// Packed BCD: byte 0 the precision (number of digits), byte 1 the sign (bit
// 7) and the number of decimal places (bits 0-5), then the digits two to a
// byte, high nibble first. Compared by sign, then by value.
class FLDBcd final : public FLDObj {
 public:
  using FLDObj::FLDObj;

 protected:
  int CompareValues(const std::uint8_t* a, const std::uint8_t* b) const override {
    const bool negA = (a[1] & 0x80) != 0, negB = (b[1] & 0x80) != 0;
    if (negA != negB) return negA ? -1 : 1;
    const int r = CompareMagnitudes(a, b);
    return negA ? -r : r;
  }

 private:
  int Digits(const std::uint8_t* v) const {
    const int room = 2 * (static_cast<int>(width_) - 2);
    return v[0] < room ? v[0] : room;
  }
  static int Places(const std::uint8_t* v, int digits) {
    const int places = v[1] & 0x3F;
    return places < digits ? places : digits;
  }
  static int Digit(const std::uint8_t* v, int i) {
    const std::uint8_t b = v[2 + i / 2];
    return i % 2 == 0 ? b >> 4 : b & 0x0F;
  }
  // Digit of `v` standing `k` places left of the decimal point (negative k:
  // right of it); 0 outside the stored digits.
  static int DigitAt(const std::uint8_t* v, int digits, int places, int k) {
    const int i = digits - places - 1 - k;
    return i >= 0 && i < digits ? Digit(v, i) : 0;
  }
  int CompareMagnitudes(const std::uint8_t* a, const std::uint8_t* b) const {
    const int da = Digits(a), db = Digits(b);
    const int pa = Places(a, da), pb = Places(b, db);
    const int high = std::max(da - pa, db - pb) - 1;
    const int low = -std::max(pa, pb);
    for (int k = high; k >= low; --k) {
      const int x = DigitAt(a, da, pa, k), y = DigitAt(b, db, pb, k);
      if (x != y) return x < y ? -1 : 1;
    }
    return 0;
  }
};

// SQL timestamps, part by part (sql_time_stamp.h).
class FLDTimeStamp final : public FLDObj {
 public:
  using FLDObj::FLDObj;

 protected:
  int CompareValues(const std::uint8_t* a, const std::uint8_t* b) const override {
    return CompareSqlTimeStamps(a, b);
  }
};

// The length of a value with a 16-bit count in front, in a field of
// `width` bytes: the count, at most the bytes after it; 0 for a field too
// narrow to hold the count (a damaged packet), whose bytes are not read.
std::size_t CountedLength(const std::uint8_t* v, std::uint32_t width) {
  return width < 2 ? 0 : std::min<std::size_t>(LoadU16(v), width - 2);
}

// Byte strings with a 16-bit length in front: the common length byte by
// byte, then the shorter first.
int CompareCounted(const std::uint8_t* a, std::size_t na, const std::uint8_t* b, std::size_t nb) {
  const int c = std::memcmp(a, b, std::min(na, nb));
  if (c != 0) return c < 0 ? -1 : 1;
  return Sign(na, nb);
}

class FLDVarBytes final : public FLDObj {
 public:
  using FLDObj::FLDObj;

 protected:
  int CompareValues(const std::uint8_t* a, const std::uint8_t* b) const override {
    return CompareCounted(a + 2, CountedLength(a, width_), b + 2, CountedLength(b, width_));
  }
};

// UTF-16 strings with a 16-bit byte count in front, by the platform
// collation with the table's locale and the case flag; byte comparison when
// no collator can be had.
class FLDUniCode final : public FLDObj {
 public:
  FLDUniCode(const DSFLDDesc& f, bool desc, bool ci, locale::LCID lcid)
      : FLDObj(f, desc, ci, lcid),
        collator_(locale::Collator::For(lcid, ci ? locale::kIgnoreCase : 0)) {}

 protected:
  int CompareValues(const std::uint8_t* a, const std::uint8_t* b) const override {
    const std::size_t na = CountedLength(a, width_) / 2;
    const std::size_t nb = CountedLength(b, width_) / 2;
    if (collator_ == nullptr) return CompareCounted(a + 2, 2 * na, b + 2, 2 * nb);
    // The stored units may be unaligned: decode them into per-thread
    // buffers that grow once and are reused.
    thread_local std::u16string ua, ub;
    Decode(a + 2, na, &ua);
    Decode(b + 2, nb, &ub);
    const int r =
        collator_->CompareW(ua.data(), static_cast<int>(na), ub.data(), static_cast<int>(nb)) -
        locale::kEqual;
    return r < 0 ? -1 : r > 0 ? 1 : 0;
  }

 private:
  static void Decode(const std::uint8_t* p, std::size_t n, std::u16string* out) {
    out->resize(n);
    for (std::size_t i = 0; i < n; ++i) (*out)[i] = static_cast<char16_t>(LoadU16(p + 2 * i));
  }
  const locale::Collator* collator_;
};

template <class Kind>
DBResult Make(const DSFLDDesc& f, bool desc, bool ci, locale::LCID lcid,
              std::unique_ptr<FLDObj>* out) {
  out->reset(new (std::nothrow) Kind(f, desc, ci, lcid));
  return *out ? dbr::kOk : dbr::kOutOfMemory;
}

}  // namespace

DBResult MakeFieldHandler(const DSFLDDesc& f, bool desc, bool ci, locale::LCID lcid,
                          std::unique_ptr<FLDObj>* out) {
  out->reset();
  switch (f.logicalType) {
    case kLtString:
      return Make<FLDString>(f, desc, ci, lcid, out);
    case kLtInt8:
      return Make<FLDInt8>(f, desc, ci, lcid, out);
    case kLtInt16:
      return Make<FLDInt16>(f, desc, ci, lcid, out);
    case kLtInt32:
      return Make<FLDInt32>(f, desc, ci, lcid, out);
    case kLtInt64:
      return Make<FLDInt64>(f, desc, ci, lcid, out);
    case kLtUInt8:
    case kLtBool8:
      return Make<FLDUInt8>(f, desc, ci, lcid, out);
    case kLtUInt16:
    case kLtBool16:
      return Make<FLDUInt16>(f, desc, ci, lcid, out);
    case kLtUInt32:
    case kLtDate:
    case kLtTime:
      return Make<FLDUInt32>(f, desc, ci, lcid, out);
    case kLtUInt64:
      return Make<FLDUInt64>(f, desc, ci, lcid, out);
    case kLtFloat64:
    case kLtTimeStamp:
      return Make<FLDFloat>(f, desc, ci, lcid, out);
    case kLtBcd:
    case kLtFmtBcd:
      return Make<FLDBcd>(f, desc, ci, lcid, out);
    case kLtSqlTimeStamp:
      return Make<FLDTimeStamp>(f, desc, ci, lcid, out);
    case kLtUnicode:
      return Make<FLDUniCode>(f, desc, ci, lcid, out);
    case kLtVarBytes:
      return Make<FLDVarBytes>(f, desc, ci, lcid, out);
    case kLtBlob:
    case kLtAdt:
    case kLtArray:
    case kLtReference:
    case kLtNestedTable:
      return dbr::kInvalidFieldType;
    default:
      return Make<FLDObj>(f, desc, ci, lcid, out);
  }
}

}  // namespace dorvem
