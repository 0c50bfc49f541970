// Turning the bytes of a picture field into an image, as the picture view
// does on every change of the current record. Usable without a widget, so
// that every stored picture can be checked the way the window loads it.
//
// The byte rules and checks are those of bitmap_layout.h. The pixels are
// decoded by Qt's BMP reader; before that, the bitmap file is handed over
// as it is when it is whole, or copied with its pixel rows placed right
// after the colour table and the missing row bytes added as zeros when it
// is cut short or its pixel offset points elsewhere, so that the reader
// never sees an incomplete row. Compressed rows decode into an image that
// starts filled with colour index 0, so that pixels the runs skip or never
// reach are defined. A picture of more pixels than the image reader's
// allocation limit allows at 4 bytes a pixel (QImageReader::allocationLimit,
// 2 GiB when that is off) is not valid before anything is copied, and so is
// anything the reader refuses.
#pragma once

#include <QImage>
#include <cstdint>
#include <span>

#include "views/picture/bitmap_layout.h"

namespace dorvem {

struct TPictureLoad {
  // kOk: `image` is the picture. kEmpty: no bytes, a null image and no
  // error. kNotValid, kReadError: the load failed; `image` is null.
  TBitmapCheck outcome = TBitmapCheck::kEmpty;
  QImage image;
};

// Decodes a picture blob. Never throws for any bytes.
TPictureLoad DecodePictureBlob(std::span<const std::uint8_t> blob);

// Decodes a picture blob; an empty one gives a null image. Raises
// EInvalidGraphic or EReadError (graphic_errors.h) when it fails.
QImage LoadPictureBlob(std::span<const std::uint8_t> blob);

}  // namespace dorvem
