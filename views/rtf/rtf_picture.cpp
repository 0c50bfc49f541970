#include "views/rtf/rtf_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "views/rtf/rtf_limits.h"

namespace dorvem::rtf {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

double ShownSide(int goalTwips, int natural, int scalePercent) {
  const double base = goalTwips > 0 ? goalTwips / 15.0 : natural;
  const double scale = scalePercent > 0 ? scalePercent / 100.0 : 1.0;
  return std::clamp(base * scale, 1.0, static_cast<double>(kMaxPictureSide));
}

// Whether every chunk of a PNG stream lies within its bytes. libpng takes
// the memory a chunk claims before it reads the chunk, so a few bytes of a
// memo could otherwise make it ask for gigabytes; a stream whose chunks
// run past its end cannot be decoded whole anyway. Chunk layout: a 4-byte
// big-endian length, a 4-byte type, the data, a 4-byte CRC; "IEND" ends it.
bool PngChunksFit(const std::string& data) {
  constexpr std::size_t kSignature = 8;
  std::size_t pos = kSignature;
  while (pos < data.size()) {
    if (data.size() - pos < 12) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(data.data() + pos);
    const std::uint32_t length = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                                 (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
    if (length > data.size() - pos - 12) return false;
    if (std::memcmp(p + 4, "IEND", 4) == 0) return true;
    pos += 12 + std::size_t{length};
  }
  return false;
}

}  // namespace

void TRtfPicture::Append(unsigned char byte) {
  if (tooLarge_) return;
  if (data_.size() >= kMaxPictureBytes) {
    tooLarge_ = true;
    data_.clear();
    data_.shrink_to_fit();
    return;
  }
  data_.push_back(static_cast<char>(byte));
}

void TRtfPicture::AppendHex(std::string_view text) {
  for (char c : text) {
    const int v = HexDigit(c);
    if (v < 0) continue;
    if (highNibble_ < 0) {
      highNibble_ = v;
    } else {
      Append(static_cast<unsigned char>(highNibble_ * 16 + v));
      highNibble_ = -1;
    }
  }
}

void TRtfPicture::AppendBinary(std::string_view bytes) {
  for (char c : bytes) Append(static_cast<unsigned char>(c));
}

QImage TRtfPicture::Decode(std::int64_t& pixelBudget) const {
  const char* format = kind_ == TRtfPictureKind::kPng    ? "png"
                       : kind_ == TRtfPictureKind::kJpeg ? "jpeg"
                                                         : nullptr;
  if (format == nullptr || tooLarge_ || data_.empty()) return {};
  if (kind_ == TRtfPictureKind::kPng && !PngChunksFit(data_)) return {};
  QByteArray bytes = QByteArray::fromRawData(data_.data(), static_cast<qsizetype>(data_.size()));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  reader.setDecideFormatFromContent(false);
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty()) return {};
  const std::int64_t pixels = std::int64_t{size.width()} * size.height();
  if (pixels > kMaxPicturePixels || pixels > pixelBudget) return {};
  QImage image;
  if (!reader.read(&image) || image.isNull()) return {};
  pixelBudget -= pixels;
  return image;
}

QSizeF TRtfPicture::ShownSize(const QImage& image) const {
  return {ShownSide(goalWidth_, image.width(), scaleX_),
          ShownSide(goalHeight_, image.height(), scaleY_)};
}

}  // namespace dorvem::rtf
