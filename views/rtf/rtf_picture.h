// TRtfPicture: one \pict group being read, and the decoding of its data.
//
// The group's words say the picture's kind (\pngblip, \jpegblip, or another
// kind, which is not shown), the size it is to be shown at in twips
// (\picwgoalN \pichgoalN) and the scaling in percent (\picscalexN
// \picscaleyN); its size in pixels is the decoded image's. Its data comes as hex digits (other
// characters between them are ignored; an odd last digit is dropped) or as
// \bin bytes, kept up to kMaxPictureBytes; a picture with more data is not
// shown. At the group's end, PNG and JPEG data are decoded with Qt's image
// readers if the image is no larger than kMaxPicturePixels and the
// document's picture budget allows it.
//
// Shown size: the goal size when given, else the decoded size, times the
// scaling, clamped to 1..kMaxPictureSide pixels a side.
#pragma once

#include <QImage>
#include <QSizeF>
#include <cstdint>
#include <string>
#include <string_view>

namespace dorvem::rtf {

enum class TRtfPictureKind : std::uint8_t { kUnknown, kPng, kJpeg, kOther };

class TRtfPicture {
 public:
  void SetKind(TRtfPictureKind kind) { kind_ = kind; }
  void SetGoalWidth(int twips) { goalWidth_ = twips; }
  void SetGoalHeight(int twips) { goalHeight_ = twips; }
  void SetScaleX(int percent) { scaleX_ = percent; }
  void SetScaleY(int percent) { scaleY_ = percent; }

  // Data as hex digits (from text runs) and as raw bytes (\bin).
  void AppendHex(std::string_view text);
  void AppendBinary(std::string_view bytes);

  // Decodes the picture if it is to be shown; `pixelBudget` is what the
  // document may still decode and is reduced by what this picture takes.
  // Returns a null image when the picture is not shown: not PNG or JPEG,
  // too large, over the budget, a PNG with a chunk that runs past its bytes,
  // or undecodable.
  QImage Decode(std::int64_t& pixelBudget) const;
  // The size to show `image` at, in document pixels.
  QSizeF ShownSize(const QImage& image) const;

 private:
  void Append(unsigned char byte);

  TRtfPictureKind kind_ = TRtfPictureKind::kUnknown;
  int goalWidth_ = 0, goalHeight_ = 0;
  int scaleX_ = 100, scaleY_ = 100;
  std::string data_;
  bool tooLarge_ = false;
  int highNibble_ = -1;
};

}  // namespace dorvem::rtf
