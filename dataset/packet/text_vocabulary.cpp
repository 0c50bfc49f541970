// The type names of the XML packet form and the typing of parameters given
// as attributes.
#include <array>

#include "dataset/core/ascii.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/text_values.h"

namespace dorvem::packet {
namespace {

using namespace packet;

struct Named {
  std::string_view name;
  std::uint32_t word;
};

// In the order the writer prefers a name when two stand for one type word.
constexpr std::array<Named, 26> kNames = {{
    {"boolean", 0x00030002},  {"bin.hex", 0x004B0001},     {"date", 0x00060004},
    {"dateTime", 0x00080008}, {"SQLdateTime", 0x00110010}, {"fixed", 0x00050020},
    {"fixedFMT", 0x00120020}, {"i1", 0x00010001},          {"i2", 0x00010002},
    {"i4", 0x00010004},       {"int", 0x00010004},         {"i8", 0x00010008},
    {"IntArray", 0x00810004}, {"r8", 0x00040008},          {"r10", 0x0004000A},
    {"string", 0x00490001},   {"string.uni", 0x004A0001},  {"time", 0x00070004},
    {"ui1", 0x00020001},      {"ui2", 0x00020002},         {"ui4", 0x00020004},
    {"uint", 0x00020004},     {"ui8", 0x00020008},         {"UIntArray", 0x00820004},
    {"nested", 0x050E0000},   {"struct", 0x010C0000},
}};

std::string_view NameOf(std::uint32_t word) {
  for (const Named& n : kNames)
    if (n.word == word) return n.name;
  return {};
}

}  // namespace

std::uint32_t TypeWordOfName(std::string_view name) {
  for (const Named& n : kNames)
    if (EqualIgnoringAsciiCase(n.name, name)) return n.word;
  return 0;
}

std::string_view NameOfTypeWord(std::uint32_t word) {
  word &= ~kRoundTrip;
  const std::uint32_t code = TypeCode(word);
  const std::uint32_t size = TypeSize(word);
  if (word & kArray) {
    if (word & kVarying) return {};
    if (code == kTcInt) return "IntArray";
    if (code == kTcUInt) return "UIntArray";
    return {};
  }
  switch (code) {
    case kTcInt:
    case kTcUInt:
      if (size != 1 && size != 2 && size != 4 && size != 8) return {};
      return NameOf(MakeTypeWord(code, size));
    case kTcBool:
      return size == 1 || size == 2 || size == 4 || size == 8 ? "boolean" : std::string_view{};
    case kTcFloat:
      return size == 8 ? "r8" : size == 10 ? "r10" : std::string_view{};
    case kTcBcd:
      return "fixed";
    case kTcFmtBcd:
      return "fixedFMT";
    case kTcDate:
      return size == 4 ? "date" : std::string_view{};
    case kTcTime:
      return size == 4 ? "time" : std::string_view{};
    case kTcTimeStamp:
      return size == 8 ? "dateTime" : std::string_view{};
    case kTcSqlTimeStamp:
      return size == 16 ? "SQLdateTime" : std::string_view{};
    case kTcString:
      return "string";
    case kTcUnicode:
      return "string.uni";
    case kTcBytes:
    case kTcBytes2:
      return "bin.hex";
    case kTcAdt:
      return "struct";
    case kTcNested:
      return "nested";
    default:
      return {};
  }
}

std::uint32_t TextFormTypeWord(std::uint32_t word) {
  const std::string_view name = NameOfTypeWord(word);
  if (name.empty()) return 0;
  std::uint32_t read = TypeWordOfName(name);
  const std::uint32_t code = TypeCode(word);
  if (code == kTcAdt || code == kTcNested) read |= TypeSize(word);
  return read | (word & kRoundTrip);
}

ValueKind KindOf(std::uint32_t word) {
  switch (TypeCode(word)) {
    case kTcString:
      return ValueKind::kString;
    case kTcUnicode:
      return ValueKind::kUnicode;
    case kTcBytes:
    case kTcBytes2:
      return ValueKind::kBytes;
    case kTcAdt:
    case kTcArray:
    case kTcNested:
    case kTcReference:
      return ValueKind::kNone;
    default:
      return NameOfTypeWord(word).empty() ? ValueKind::kNone : ValueKind::kScalar;
  }
}

std::uint32_t AttributeParamTypeWord(std::string_view name, std::string_view text) {
  const std::uint32_t u16 = MakeTypeWord(kTcUInt, 2);
  const std::uint32_t u32 = MakeTypeWord(kTcUInt, 4);
  std::vector<std::uint8_t> scratch;
  auto parses = [&](std::uint32_t word) {
    scratch.clear();
    return ParseScalar(word, text, &scratch) == dbr::kOk;
  };
  std::uint32_t word = 0;
  switch (ParamCodeOf(name)) {
    case kParamWidth:
    case kParamDecimals:
    case kParamElements:
      word = parses(u16) ? u16 : parses(u32) ? u32 : 0;
      break;
    case kParamLcid:
    case kParamMdSemantics:
    case kParamUpdateMode:
      word = parses(u32) ? u32 : 0;
      break;
    case kParamAutoIncValue:
      word = parses(MakeTypeWord(kTcInt, 4)) ? MakeTypeWord(kTcInt, 4) : 0;
      break;
    case kParamReadOnly:
    case kParamCalculated:
    case kParamDatasetDelta:
    case kParamDelta:
    case kParamDisableDeletes:
    case kParamDisableInserts:
    case kParamDisableEdits:
      word = parses(0x00030002) ? 0x00030002 : 0;
      break;
    case kParamUniqueKey:
    case kParamPrimaryKey:
    case kParamDefaultOrder:
    case kParamChangeLog:
      word = parses(0x00820004) ? 0x00820004 : 0;
      break;
    case kParamSubtype:
      return MakeTypeWord(kTcString, 2, kVarying);
    default:
      break;
  }
  if (word) return word;
  const std::uint32_t prefix = text.size() <= 0xFF ? 1 : text.size() <= 0xFFFF ? 2 : 4;
  return MakeTypeWord(kTcString, prefix, kVarying);
}

void AttributeParamValue(std::string_view name, std::uint32_t word, std::string_view text,
                         std::vector<std::uint8_t>* out) {
  if (KindOf(word) == ValueKind::kScalar && ParseScalar(word, text, out) == dbr::kOk) return;
  out->insert(out->end(), text.begin(), text.end());
  if (ParamCodeOf(name) == kParamSubtype) out->push_back(0);
}

}  // namespace dorvem::packet
