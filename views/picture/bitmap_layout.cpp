#include "views/picture/bitmap_layout.h"

#include "dataset/core/byte_layout.h"

namespace dorvem {

namespace {

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return LoadU16(b.data() + at);
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return LoadU32(b.data() + at);
}

std::int32_t I32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::int32_t>(U32(b, at));
}

bool SupportedKind(const TBitmapLayout& l) {
  switch (l.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return false;
  }
  switch (l.compression) {
    case kBitmapRgb:
      return true;
    case kBitmapRle8:
      return l.bitCount == 8 && l.height > 0;
    case kBitmapRle4:
      return l.bitCount == 4 && l.height > 0;
    case kBitmapBitFields:
      return l.bitCount == 16 || l.bitCount == 32;
    default:
      return false;
  }
}

}  // namespace

std::span<const std::uint8_t> BitmapFileOfBlob(std::span<const std::uint8_t> blob) {
  if (blob.size() >= kGraphicHeaderSize && U16(blob, 0) == kGraphicHeaderCount &&
      U16(blob, 2) == kGraphicHeaderType && U32(blob, 4) == blob.size() - kGraphicHeaderSize)
    return blob.subspan(kGraphicHeaderSize);
  return blob;
}

TBitmapLayout InspectBitmapFile(std::span<const std::uint8_t> file) {
  TBitmapLayout l;
  auto fail = [&l](TBitmapCheck check) {
    l.check = check;
    return l;
  };
  if (file.empty()) return fail(TBitmapCheck::kEmpty);
  if (file.size() < kBitmapFileHeaderSize) return fail(TBitmapCheck::kReadError);
  if (file[0] != 'B' || file[1] != 'M') return fail(TBitmapCheck::kNotValid);
  const std::uint32_t pixelOffset = U32(file, kBitmapPixelOffsetAt);

  // The information header, read whole.
  std::size_t at = kBitmapFileHeaderSize;
  if (file.size() - at < 4) return fail(TBitmapCheck::kReadError);
  const std::uint32_t headerSize = U32(file, at);
  const bool core = headerSize == kBitmapCoreHeaderSize;
  if (!core && headerSize < kBitmapInfoHeaderSize) return fail(TBitmapCheck::kNotValid);
  if (file.size() - at < headerSize) return fail(TBitmapCheck::kReadError);
  std::uint16_t planes = 0;
  std::uint32_t coloursUsed = 0;
  if (core) {
    l.width = U16(file, at + 4);
    l.height = U16(file, at + 6);
    planes = U16(file, at + 8);
    l.bitCount = U16(file, at + 10);
  } else {
    l.width = I32(file, at + 4);
    l.height = I32(file, at + 8);
    planes = U16(file, at + 12);
    l.bitCount = U16(file, at + 14);
    l.compression = U32(file, at + 16);
    coloursUsed = U32(file, at + 32);
  }
  at += headerSize;
  if (planes != 1) return fail(TBitmapCheck::kNotValid);

  // Masks after a plain information header, then the colour table.
  std::uint64_t extra = 0;
  if (headerSize == kBitmapInfoHeaderSize) {
    if (l.compression == kBitmapBitFields) extra = 12;
    if (l.compression == kBitmapAlphaBitFields) extra = 16;
  }
  std::uint64_t entries = coloursUsed;
  if (entries == 0 && l.bitCount <= 8) entries = std::uint64_t{1} << l.bitCount;
  extra += entries * (core ? 3 : 4);
  if (file.size() - at < extra) return fail(TBitmapCheck::kReadError);
  l.coreHeader = core;
  l.tableEnd = at + static_cast<std::size_t>(extra);
  l.tableStart = l.tableEnd - static_cast<std::size_t>(entries * (core ? 3 : 4));

  if (l.width < 1 || l.height == 0 || !SupportedKind(l)) return fail(TBitmapCheck::kNotValid);
  l.pixelOffset = pixelOffset > l.tableEnd ? pixelOffset : l.tableEnd;
  if (!l.Compressed())
    l.rowBytes = (static_cast<std::uint64_t>(l.width) * l.bitCount + 31) / 32 * 4;
  l.check = TBitmapCheck::kOk;
  return l;
}

}  // namespace dorvem
