#include "views/picture/picture_blob.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>

#include "views/picture/graphic_errors.h"

namespace dorvem {

namespace {

constexpr std::uint64_t kLimitWhenOff = std::uint64_t{2} << 30;

std::uint64_t AllocationLimitBytes() {
  const int mb = QImageReader::allocationLimit();
  return mb > 0 ? static_cast<std::uint64_t>(mb) << 20 : kLimitWhenOff;
}

// The reader refuses images of more than its limit in bytes, counting 4
// bytes a pixel whatever the depth.
bool FitsAllocationLimit(const TBitmapLayout& l) {
  return l.Rows() <= AllocationLimitBytes() / (static_cast<std::uint64_t>(l.width) * 4);
}

std::uint32_t StoredPixelOffset(std::span<const std::uint8_t> file) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = v << 8 | file[kBitmapPixelOffsetAt + static_cast<std::size_t>(i)];
  return v;
}

void Append(QByteArray& b, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b.append(static_cast<char>(value >> (8 * i)));
}

// The file header, then the information header and colour table. A core
// header is rewritten as a 40-byte information header with 4-byte colour
// entries: the reader takes a core header's width and height as signed,
// where they are unsigned.
QByteArray Headers(std::span<const std::uint8_t> file, const TBitmapLayout& l) {
  const char* bytes = reinterpret_cast<const char*>(file.data());
  if (!l.coreHeader) return QByteArray(bytes, static_cast<qsizetype>(l.tableEnd));
  const std::size_t entries = (l.tableEnd - l.tableStart) / 3;
  QByteArray b(bytes, kBitmapFileHeaderSize);
  Append(b, kBitmapInfoHeaderSize, 4);
  Append(b, static_cast<std::uint32_t>(l.width), 4);
  Append(b, static_cast<std::uint32_t>(l.height), 4);
  Append(b, 1, 2);
  Append(b, l.bitCount, 2);
  for (int i = 0; i < 4; ++i) Append(b, 0, 4);  // compression, size, resolutions
  Append(b, static_cast<std::uint32_t>(entries), 4);
  Append(b, 0, 4);
  for (std::size_t i = 0; i < entries; ++i) {
    b.append(bytes + l.tableStart + 3 * i, 3);
    b.append('\0');
  }
  return b;
}

// The bytes the reader gets: the file itself when it has an information
// header and its rows are whole and where its pixel offset says, else a
// copy with the rows right after the colour table, cut or padded with zeros
// to their full length.
QByteArray ReaderInput(std::span<const std::uint8_t> file, const TBitmapLayout& l) {
  const std::uint64_t size = file.size();
  const std::uint64_t available = l.pixelOffset < size ? size - l.pixelOffset : 0;
  const std::uint64_t wanted = l.Compressed() ? available : l.rowBytes * l.Rows();
  const char* bytes = reinterpret_cast<const char*>(file.data());
  if (!l.coreHeader && StoredPixelOffset(file) == l.pixelOffset && l.pixelOffset <= size &&
      available >= wanted)
    return QByteArray::fromRawData(bytes, static_cast<qsizetype>(size));
  QByteArray copy = Headers(file, l);
  const auto offset = static_cast<std::uint32_t>(copy.size());
  for (std::size_t i = 0; i < 4; ++i)
    copy[static_cast<qsizetype>(kBitmapPixelOffsetAt + i)] = static_cast<char>(offset >> (8 * i));
  const std::uint64_t present = std::min(available, wanted);
  copy.reserve(static_cast<qsizetype>(offset + wanted));
  if (present > 0) copy.append(bytes + l.pixelOffset, static_cast<qsizetype>(present));
  copy.append(static_cast<qsizetype>(wanted - present), '\0');
  return copy;
}

}  // namespace

TPictureLoad DecodePictureBlob(std::span<const std::uint8_t> blob) {
  const std::span<const std::uint8_t> file = BitmapFileOfBlob(blob);
  const TBitmapLayout layout = InspectBitmapFile(file);
  if (layout.check != TBitmapCheck::kOk) return {layout.check, {}};
  if (!FitsAllocationLimit(layout)) return {TBitmapCheck::kNotValid, {}};

  QByteArray input = ReaderInput(file, layout);
  QBuffer buffer(&input);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "BMP");
  reader.setAutoDetectImageFormat(false);
  QImage image;
  if (layout.Compressed()) {
    // The reader decodes runs into an image of this size and format when it
    // is given one, and leaves the pixels the runs do not reach untouched.
    image = QImage(layout.width, static_cast<int>(layout.Rows()), QImage::Format_Indexed8);
    if (image.isNull()) return {TBitmapCheck::kNotValid, {}};
    image.fill(0);
  }
  if (!reader.read(&image) || image.isNull()) return {TBitmapCheck::kNotValid, {}};
  return {TBitmapCheck::kOk, std::move(image)};
}

QImage LoadPictureBlob(std::span<const std::uint8_t> blob) {
  TPictureLoad load = DecodePictureBlob(blob);
  switch (load.outcome) {
    case TBitmapCheck::kNotValid:
      throw EInvalidGraphic();
    case TBitmapCheck::kReadError:
      throw EReadError();
    case TBitmapCheck::kOk:
    case TBitmapCheck::kEmpty:
      break;
  }
  return std::move(load.image);
}

}  // namespace dorvem
