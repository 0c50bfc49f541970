#include "dataset/packet/field_converters.h"

#include <cstring>
#include <type_traits>

#include "dataset/packet/packet_format.h"

namespace dorvem {
namespace {

// Copies a fixed run of `n` bytes out of the packet.
DBResult ReadFixed(std::uint32_t n, ByteSpanReader& in, void* out, std::uint32_t capacity,
                   std::uint32_t* size) {
  *size = n;
  if (in.Remaining() < n) return dbr::kPacketMismatch;
  if (!out) return dbr::kOk;
  if (capacity < n) return dbr::kInvalidParameter;
  in.ReadBytes(out, n);
  return dbr::kOk;
}

std::uint32_t LoadPrefix(const std::uint8_t* p, int bytes) {
  switch (bytes) {
    case 1:
      return p[0];
    case 2:
      return LoadU16(p);
    default:
      return LoadU32(p);
  }
}

}  // namespace

DBResult FixedWidthConv::Write(const void* value, std::uint32_t size, ByteAppender& out) const {
  if (size != size_) return dbr::kInvalidParameter;
  out.Bytes(value, size);
  return dbr::kOk;
}

DBResult FixedWidthConv::Read(ByteSpanReader& in, void* out, std::uint32_t capacity,
                              std::uint32_t* size) const {
  return ReadFixed(size_, in, out, capacity, size);
}

DBResult FLDCFixed::Write(const void* value, std::uint32_t size, ByteAppender& out) const {
  if (size > size_) return dbr::kInvalidParameter;
  out.Bytes(value, size);
  for (std::uint32_t i = size; i < size_; ++i) out.U8(0);
  return dbr::kOk;
}

DBResult FLDCFixed::Read(ByteSpanReader& in, void* out, std::uint32_t capacity,
                         std::uint32_t* size) const {
  return ReadFixed(size_, in, out, capacity, size);
}

template <int PrefixBytes>
DBResult VaryingConv<PrefixBytes>::Write(const void* value, std::uint32_t size,
                                         ByteAppender& out) const {
  if constexpr (PrefixBytes == 1) {
    if (size > 0xFF) return dbr::kInvalidParameter;
    out.U8(static_cast<std::uint8_t>(size));
  } else if constexpr (PrefixBytes == 2) {
    if (size > 0xFFFF) return dbr::kInvalidParameter;
    out.U16(static_cast<std::uint16_t>(size));
  } else {
    if (size & packet::kNotFetchedBit) return dbr::kInvalidParameter;
    out.U32(size);
  }
  out.Bytes(value, size);
  return dbr::kOk;
}

template <int PrefixBytes>
DBResult VaryingConv<PrefixBytes>::Read(ByteSpanReader& in, void* out, std::uint32_t capacity,
                                        std::uint32_t* size) const {
  if (in.Remaining() < PrefixBytes) return dbr::kPacketMismatch;
  const std::uint32_t length = LoadPrefix(in.Here(), PrefixBytes);
  *size = length;
  if (PrefixBytes == 4 && (length & packet::kNotFetchedBit)) {
    // Only the length word is in the packet.
    if (out) in.Skip(PrefixBytes);
    return dbr::kOk;
  }
  if (in.Remaining() - PrefixBytes < length) return dbr::kPacketMismatch;
  if (!out) return dbr::kOk;
  if (capacity < length) return dbr::kInvalidParameter;
  in.Skip(PrefixBytes);
  in.ReadBytes(out, length);
  return dbr::kOk;
}

template class VaryingConv<1>;
template class VaryingConv<2>;
template class VaryingConv<4>;

FLDCRepeat::FLDCRepeat(ScalarConverter base) : base_(base) {
  elementSize_ = Base().FixedSize();
}

const FLDConv& FLDCRepeat::Base() const {
  return std::visit([](const auto& c) -> const FLDConv& { return c; }, base_);
}

DBResult FLDCRepeat::Write(const void* value, std::uint32_t size, ByteAppender& out) const {
  const std::uint32_t count = elementSize_ ? size / elementSize_ : 0;
  if (count * elementSize_ != size || count > 0x7FFFFFFF) return dbr::kInvalidParameter;
  out.U32(count);
  const auto* p = static_cast<const std::uint8_t*>(value);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (DBResult r = Base().Write(p + std::size_t{i} * elementSize_, elementSize_, out)) return r;
  }
  return dbr::kOk;
}

DBResult FLDCRepeat::Read(ByteSpanReader& in, void* out, std::uint32_t capacity,
                          std::uint32_t* size) const {
  if (in.Remaining() < 4) return dbr::kPacketMismatch;
  const auto count = static_cast<std::int32_t>(LoadU32(in.Here()));
  const std::uint64_t total =
      count > 0 ? std::uint64_t{static_cast<std::uint32_t>(count)} * elementSize_ : 0;
  if (total > in.Remaining() - 4) return dbr::kPacketMismatch;
  *size = static_cast<std::uint32_t>(total);
  if (!out) return dbr::kOk;
  if (capacity < total) return dbr::kInvalidParameter;
  in.Skip(4);
  auto* p = static_cast<std::uint8_t*>(out);
  std::uint32_t got = 0;
  for (std::uint64_t done = 0; done < total; done += elementSize_) {
    if (DBResult r = Base().Read(in, p + done, elementSize_, &got)) return r;
  }
  return dbr::kOk;
}

namespace {

// The converter of a value `size` bytes wide: A1, A2, A4 or A8 (none when
// A8 is void).
template <class A1, class A2, class A4, class A8 = void>
DBResult ChooseBySize(std::uint32_t size, ScalarConverter* out) {
  switch (size) {
    case 1:
      *out = A1{};
      return dbr::kOk;
    case 2:
      *out = A2{};
      return dbr::kOk;
    case 4:
      *out = A4{};
      return dbr::kOk;
    case 8:
      if constexpr (!std::is_void_v<A8>) {
        *out = A8{};
        return dbr::kOk;
      }
      [[fallthrough]];
    default:
      return dbr::kInvalidFieldType;
  }
}

DBResult ChooseScalar(std::uint32_t typeWord, ScalarConverter* out) {
  using namespace packet;
  const std::uint32_t code = TypeCode(typeWord);
  const std::uint32_t size = TypeSize(typeWord);
  switch (code) {
    case kTcInt:
    case kTcUInt:
    case kTcBool:
    case kTcDate:
    case kTcTime:
      return ChooseBySize<FLDCInt8, FLDCInt16, FLDCInt32, FLDCInt64>(size, out);
    case kTcTimeStamp:
      if (size != 8) return dbr::kInvalidFieldType;
      *out = FLDCFloat{};
      return dbr::kOk;
    case kTcFloat:
      if (size == 8) {
        *out = FLDCFloat{};
      } else if (size == 10) {
        *out = FLDCFloatIEEE{};
      } else {
        return dbr::kInvalidFieldType;
      }
      return dbr::kOk;
    case kTcBcd:
    case kTcFmtBcd:
      *out = FLDCBcd{};
      return dbr::kOk;
    case kTcSqlTimeStamp:
      if (size != 16) return dbr::kInvalidFieldType;
      *out = FLDCSQLTIMESTAMP{};
      return dbr::kOk;
    case kTcAdt:
    case kTcArray:
      *out = FLDCFixed{0};
      return dbr::kOk;
    case kTcNested:
      *out = FLDCInt32{};
      return dbr::kOk;
    default:
      break;
  }
  if (!(typeWord & kVarying)) {
    *out = FLDCFixed{size};
    return dbr::kOk;
  }
  // Length prefixes are 1, 2 or 4 bytes wide.
  return ChooseBySize<FLDCVar8, FLDCVar16, FLDCVar32>(size, out);
}

}  // namespace

DBResult Converter::Choose(std::uint32_t typeWord) {
  const bool array = (typeWord & packet::kArray) != 0;
  if (array && (typeWord & packet::kVarying)) return dbr::kInvalidFieldType;
  ScalarConverter scalar;
  if (DBResult r = ChooseScalar(typeWord, &scalar)) return r;
  if (array) {
    conv_ = FLDCRepeat(scalar);
  } else {
    conv_ = scalar;
  }
  return dbr::kOk;
}

const FLDConv& Converter::get() const {
  if (const auto* repeat = std::get_if<FLDCRepeat>(&conv_)) return *repeat;
  return std::visit([](const auto& c) -> const FLDConv& { return c; },
                    std::get<ScalarConverter>(conv_));
}

}  // namespace dorvem
