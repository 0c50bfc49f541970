#include "views/picture_blob.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <cstring>

#include "views/graphic_errors.h"

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

// The bytes the reader gets: the file itself when its rows are whole and
// where its pixel offset says, else a copy with the rows right after the
// colour table, cut or padded with zeros to their full length.
QByteArray ReaderInput(std::span<const std::uint8_t> file, const TBitmapLayout& l) {
  const std::uint64_t size = file.size();
  const std::uint64_t available = l.pixelOffset < size ? size - l.pixelOffset : 0;
  const std::uint64_t wanted = l.Compressed() ? available : l.rowBytes * l.Rows();
  const char* bytes = reinterpret_cast<const char*>(file.data());
  if (StoredPixelOffset(file) == l.pixelOffset && l.pixelOffset <= size && available >= wanted)
    return QByteArray::fromRawData(bytes, static_cast<qsizetype>(size));
  QByteArray copy(static_cast<qsizetype>(l.tableEnd + wanted), '\0');
  std::memcpy(copy.data(), bytes, l.tableEnd);
  const auto offset = static_cast<std::uint32_t>(l.tableEnd);
  for (std::size_t i = 0; i < 4; ++i)
    copy[static_cast<qsizetype>(kBitmapPixelOffsetAt + i)] = static_cast<char>(offset >> (8 * i));
  if (available > 0)
    std::memcpy(copy.data() + l.tableEnd, bytes + l.pixelOffset,
                static_cast<std::size_t>(std::min(available, wanted)));
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
