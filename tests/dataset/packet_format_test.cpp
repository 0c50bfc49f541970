// Parameter and subtype names, and the choice and behaviour of the value
// converters.
#include <gtest/gtest.h>

#include "dataset/packet/field_converters.h"
#include "dataset/packet/packet_format.h"
#include "packet_test_support.h"

namespace dorvem {
namespace {

using namespace packet;
using packet_test::Bytes;

TEST(PacketFormat, ParameterNamesRoundTripAndIgnoreCase) {
  for (int code = 1; code <= 33; ++code) {
    const std::string_view name = ParamNameOf(static_cast<ParamCode>(code));
    ASSERT_FALSE(name.empty()) << code;
    EXPECT_EQ(ParamCodeOf(name), code) << name;
  }
  EXPECT_EQ(ParamCodeOf("width"), kParamWidth);
  EXPECT_EQ(ParamCodeOf("Lcid"), kParamLcid);
  EXPECT_EQ(ParamCodeOf("md_semantics"), kParamMdSemantics);
  EXPECT_EQ(ParamCodeOf("WIDTHS"), kParamUnknown);
  EXPECT_EQ(ParamCodeOf(""), kParamUnknown);
  EXPECT_EQ(ParamNameOf(kParamUnknown), "");
  EXPECT_EQ(ParamNameOf(static_cast<ParamCode>(34)), "");
}

TEST(PacketFormat, SubtypeNamesRoundTripAndIgnoreCase) {
  const std::uint32_t codes[] = {22, 23, 24, 25, 26, 27, 28, 21, 29,
                                 30, 33, 34, 35, 31, 70, 36, 37, 38};
  for (std::uint32_t code : codes) {
    const std::string_view name = SubtypeNameOf(code);
    ASSERT_FALSE(name.empty()) << code;
    EXPECT_EQ(SubtypeCodeOf(name), code) << name;
  }
  EXPECT_EQ(SubtypeCodeOf("text"), kSubtypeText);
  EXPECT_EQ(SubtypeCodeOf("DBASEOLE"), kSubtypeDBaseOle);
  EXPECT_EQ(SubtypeCodeOf("Picture"), kSubtypeUnknown);
  EXPECT_EQ(SubtypeNameOf(32), "");
}

// Fixed size of the chosen converter, or 0 when the choice is refused.
std::uint32_t ChosenSize(std::uint32_t word, DBResult* result) {
  Converter c;
  *result = c.Choose(word);
  return *result ? 0 : c.get().FixedSize();
}

TEST(PacketFormat, ConverterFollowsTheTypeWord) {
  constexpr std::uint32_t kV = FLDConv::kVaryingSize;
  struct Case {
    std::uint32_t word;
    DBResult result;
    std::uint32_t size;
  } cases[] = {
      {0x00010001, 0, 1},     {0x00020002, 0, 2},     {0x00010004, 0, 4},  {0x00020008, 0, 8},
      {0x00010003, 10000, 0}, {0x00030002, 0, 2},     {0x00060004, 0, 4},  {0x00070004, 0, 4},
      {0x00080008, 0, 8},     {0x00080004, 10000, 0}, {0x00040008, 0, 8},  {0x0004000A, 0, 10},
      {0x00040004, 10000, 0}, {0x00050020, 0, 18},    {0x00120008, 0, 18}, {0x00110010, 0, 16},
      {0x00110008, 10000, 0}, {0x010C0003, 0, 0},     {0x030D0004, 0, 0},  {0x050E0002, 0, 4},
      {0x00090014, 0, 20},    {0x00490001, 0, kV},    {0x00490002, 0, kV}, {0x004B0004, 0, kV},
      {0x00490003, 10000, 0}, {0x00490000, 10000, 0}, {0x00810004, 0, kV}, {0x00C10004, 10000, 0},
      {0x80490001, 0, kV},    {0x00810003, 10000, 0},
  };
  for (const Case& c : cases) {
    DBResult r = 0;
    EXPECT_EQ(ChosenSize(c.word, &r), c.size) << std::hex << c.word;
    EXPECT_EQ(r, c.result) << std::hex << c.word;
  }
}

TEST(PacketFormat, VaryingValuesAreBoundsCheckedAndNotFetchedIsTheLengthWord) {
  Converter var8, var32;
  ASSERT_EQ(var8.Choose(0x00490001), 0);
  ASSERT_EQ(var32.Choose(0x004B0004), 0);
  std::uint8_t out[8] = {};
  std::uint32_t size = 0;

  const Bytes shortValue = {5, 'a', 'b', 'c'};
  ByteSpanReader in(shortValue.data(), shortValue.size());
  EXPECT_EQ(var8.get().Read(in, out, sizeof out, &size), dbr::kPacketMismatch);
  EXPECT_EQ(in.Position(), 0u);

  const Bytes value = {3, 'a', 'b', 'c', 9};
  in = ByteSpanReader(value.data(), value.size());
  EXPECT_EQ(var8.get().Read(in, nullptr, 0, &size), 0);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(in.Position(), 0u);
  EXPECT_EQ(var8.get().Read(in, out, 2, &size), dbr::kInvalidParameter);
  EXPECT_EQ(in.Position(), 0u);
  EXPECT_EQ(var8.get().Read(in, out, 3, &size), 0);
  EXPECT_EQ(in.Position(), 4u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), "abc");

  const Bytes notFetched = {0x10, 0, 0, 0x80, 0xEE};
  in = ByteSpanReader(notFetched.data(), notFetched.size());
  EXPECT_EQ(var32.get().Read(in, out, 1, &size), 0);
  EXPECT_EQ(size, 0x80000010u);
  EXPECT_EQ(in.Position(), 4u);

  const Bytes lying = {0xFF, 0xFF, 0xFF, 0x7F, 1, 2};
  in = ByteSpanReader(lying.data(), lying.size());
  EXPECT_EQ(var32.get().Read(in, nullptr, 0, &size), dbr::kPacketMismatch);
}

TEST(PacketFormat, ArraysCarryACountAndDeliverTheElements) {
  Converter array;
  ASSERT_EQ(array.Choose(0x00820002), 0);
  std::vector<std::uint8_t> encoded;
  ByteAppender a(encoded);
  const std::uint8_t elements[] = {1, 0, 2, 0x80};
  ASSERT_EQ(array.get().Write(elements, 4, a), 0);
  EXPECT_EQ(encoded, (Bytes{2, 0, 0, 0, 1, 0, 2, 0x80}));
  EXPECT_EQ(array.get().Write(elements, 3, a), dbr::kInvalidParameter);

  std::uint8_t out[4] = {};
  std::uint32_t size = 0;
  ByteSpanReader in(encoded.data(), encoded.size());
  ASSERT_EQ(array.get().Read(in, out, sizeof out, &size), 0);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(std::memcmp(out, elements, 4), 0);

  const Bytes negative = {0xFF, 0xFF, 0xFF, 0xFF};
  in = ByteSpanReader(negative.data(), negative.size());
  EXPECT_EQ(array.get().Read(in, out, sizeof out, &size), 0);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(in.Position(), 4u);

  const Bytes lying = {0xFF, 0xFF, 0xFF, 0x7F, 1, 0};
  in = ByteSpanReader(lying.data(), lying.size());
  EXPECT_EQ(array.get().Read(in, nullptr, 0, &size), dbr::kPacketMismatch);
}

TEST(PacketFormat, WritesRefuseSizesTheEncodingCannotHold) {
  Converter int32, var8, var16, fixed;
  ASSERT_EQ(int32.Choose(0x00010004), 0);
  ASSERT_EQ(var8.Choose(0x00490001), 0);
  ASSERT_EQ(var16.Choose(0x00490002), 0);
  ASSERT_EQ(fixed.Choose(0x00090004), 0);
  std::vector<std::uint8_t> out;
  ByteAppender a(out);
  const std::string big(256, 'x');
  EXPECT_EQ(int32.get().Write(big.data(), 3, a), dbr::kInvalidParameter);
  EXPECT_EQ(var8.get().Write(big.data(), 256, a), dbr::kInvalidParameter);
  EXPECT_EQ(var16.get().Write(big.data(), 256, a), 0);
  EXPECT_EQ(out.size(), 258u);
  out.clear();
  EXPECT_EQ(fixed.get().Write("ab", 2, a), 0);
  EXPECT_EQ(out, (Bytes{'a', 'b', 0, 0}));
  EXPECT_EQ(fixed.get().Write(big.data(), 5, a), dbr::kInvalidParameter);
}

}  // namespace
}  // namespace dorvem
