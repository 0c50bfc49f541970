// Value converters of the binary packet form, one class per encoding.
//
// A converter turns a value as the engine holds it (the bytes the reader
// delivers and the writer is given) into its encoding in a packet and back.
// Which converter a value uses follows from its type word alone
// (Converter::Choose). Converters are small values without heap storage:
// the reader keeps one per status slot and chooses one on the stack for each
// parameter, the writer one per column and parameter.
//
// Reading never goes past the end of the packet: a value, length prefix or
// element count that does not fit in the bytes left fails with
// kPacketMismatch, and a length is checked against the bytes left before the
// caller ever sizes a buffer from it.
#pragma once

#include <cstdint>
#include <variant>

#include "dataset/core/byte_layout.h"
#include "dataset/core/result_codes.h"
#include "dataset/core/sql_time_stamp.h"

namespace dorvem {

class FLDConv {
 public:
  virtual ~FLDConv() = default;

  // Appends the packet encoding of the `size` bytes at `value`.
  // kInvalidParameter when `size` does not suit the encoding: a fixed encoding
  // takes exactly its size (FLDCFixed: at most its size, zero-padded), a
  // varying one a length its prefix can hold.
  virtual DBResult Write(const void* value, std::uint32_t size, ByteAppender& out) const = 0;

  // Reads the value at the position of `in`; *size receives its size. With
  // `out` null only the size is found and `in` does not move. Otherwise the
  // value is copied into `out` (room for `capacity` bytes) and `in` moves past
  // it; kInvalidParameter, nothing moved, when capacity < size. A not-fetched
  // value (4-byte length with bit 31) reports the length word as its size,
  // copies nothing and moves past the length. kPacketMismatch, nothing moved,
  // when the packet ends inside the value.
  virtual DBResult Read(ByteSpanReader& in, void* out, std::uint32_t capacity,
                        std::uint32_t* size) const = 0;

  // Byte count of a fixed encoding; kVaryingSize for length- or count-prefixed
  // ones.
  virtual std::uint32_t FixedSize() const = 0;

  // Bytes of a length prefix before the value's own bytes: 1, 2 or 4 for a
  // length-prefixed encoding, 0 for every other.
  virtual std::uint32_t PrefixSize() const { return 0; }

  static constexpr std::uint32_t kVaryingSize = 0xFFFFFFFF;
};

// Exactly N bytes, copied as they are (every multi-byte number in a packet is
// little-endian, as the engine holds it).
class FixedWidthConv : public FLDConv {
 public:
  explicit FixedWidthConv(std::uint32_t size = 0) : size_(size) {}
  DBResult Write(const void* value, std::uint32_t size, ByteAppender& out) const override;
  DBResult Read(ByteSpanReader& in, void* out, std::uint32_t capacity,
                std::uint32_t* size) const override;
  std::uint32_t FixedSize() const override { return size_; }

 private:
  std::uint32_t size_;
};

class FLDCInt8 final : public FixedWidthConv {
 public:
  FLDCInt8() : FixedWidthConv(1) {}
};
class FLDCInt16 final : public FixedWidthConv {
 public:
  FLDCInt16() : FixedWidthConv(2) {}
};
class FLDCInt32 final : public FixedWidthConv {
 public:
  FLDCInt32() : FixedWidthConv(4) {}
};
class FLDCInt64 final : public FixedWidthConv {
 public:
  FLDCInt64() : FixedWidthConv(8) {}
};
// 8-byte IEEE double (floats of size 8 and timestamps).
class FLDCFloat final : public FixedWidthConv {
 public:
  FLDCFloat() : FixedWidthConv(8) {}
};
// 10-byte IEEE extended.
class FLDCFloatIEEE final : public FixedWidthConv {
 public:
  FLDCFloatIEEE() : FixedWidthConv(10) {}
};
// BCD and formatted BCD: always the 18-byte BCD record.
class FLDCBcd final : public FixedWidthConv {
 public:
  static constexpr std::uint32_t kSize = 18;
  FLDCBcd() : FixedWidthConv(kSize) {}
};
// SQL timestamp: i16 year, u16 month, day, hour, minute, second, u32 fraction.
class FLDCSQLTIMESTAMP final : public FixedWidthConv {
 public:
  FLDCSQLTIMESTAMP() : FixedWidthConv(kSqlTimeStampSize) {}
};

// Any other fixed value: `size` bytes as they are. A shorter value is
// written zero-padded. Structure and array columns use size 0.
class FLDCFixed final : public FLDConv {
 public:
  explicit FLDCFixed(std::uint32_t size = 0) : size_(size) {}
  DBResult Write(const void* value, std::uint32_t size, ByteAppender& out) const override;
  DBResult Read(ByteSpanReader& in, void* out, std::uint32_t capacity,
                std::uint32_t* size) const override;
  std::uint32_t FixedSize() const override { return size_; }

 private:
  std::uint32_t size_;
};

// Length-prefixed value: a little-endian length of `PrefixBytes` bytes, then
// that many bytes.
template <int PrefixBytes>
class VaryingConv : public FLDConv {
 public:
  DBResult Write(const void* value, std::uint32_t size, ByteAppender& out) const override;
  DBResult Read(ByteSpanReader& in, void* out, std::uint32_t capacity,
                std::uint32_t* size) const override;
  std::uint32_t FixedSize() const override { return kVaryingSize; }
  std::uint32_t PrefixSize() const override { return PrefixBytes; }
};

class FLDCVar8 final : public VaryingConv<1> {};
class FLDCVar16 final : public VaryingConv<2> {};
// The 4-byte prefix with bit 31 set marks a value not fetched.
class FLDCVar32 final : public VaryingConv<4> {};

using ScalarConverter =
    std::variant<FLDCFixed, FLDCInt8, FLDCInt16, FLDCInt32, FLDCInt64, FLDCFloat, FLDCFloatIEEE,
                 FLDCBcd, FLDCSQLTIMESTAMP, FLDCVar8, FLDCVar16, FLDCVar32>;

// Array of a fixed base type: i32 element count c, then c base values. The
// value as the engine holds it is the elements one after another (a negative
// count reads as none).
class FLDCRepeat final : public FLDConv {
 public:
  explicit FLDCRepeat(ScalarConverter base);
  DBResult Write(const void* value, std::uint32_t size, ByteAppender& out) const override;
  DBResult Read(ByteSpanReader& in, void* out, std::uint32_t capacity,
                std::uint32_t* size) const override;
  std::uint32_t FixedSize() const override { return kVaryingSize; }
  std::uint32_t ElementSize() const { return elementSize_; }

 private:
  const FLDConv& Base() const;
  ScalarConverter base_;
  std::uint32_t elementSize_;
};

// The converter of one type word, held by value. Copyable; get() refers into
// the object itself, so re-take it after a copy or move.
class Converter {
 public:
  // Chooses by the encoding rules of the type word. kInvalidFieldType for the
  // array bit with the varying bit, a varying prefix other than 1, 2 or 4, an
  // integer (or boolean, date, time) size other than 1, 2, 4 or 8, a float
  // size other than 8 or 10, a timestamp size other than 8, or an SQL
  // timestamp size other than 16. The round-trip bit is ignored.
  DBResult Choose(std::uint32_t typeWord);
  const FLDConv& get() const;

 private:
  std::variant<ScalarConverter, FLDCRepeat> conv_;
};

}  // namespace dorvem
