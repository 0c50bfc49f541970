// Feeds arbitrary bytes to picture loading as the picture view does on every
// record change. Any crash, out-of-bounds access or leak is a fault, and so
// is an outcome that disagrees with the byte checks: a loaded picture has
// exactly the declared width and number of rows, and a failure leaves no
// picture.
#include <QImageReader>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "views/picture/bitmap_layout.h"
#include "views/picture/picture_blob.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Declared sizes up to the limit are padded and decoded; a lower limit
  // keeps each input fast without changing any rule.
  QImageReader::setAllocationLimit(16);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dorvem;
  const std::span<const std::uint8_t> blob(data, size);
  const TPictureLoad load = DecodePictureBlob(blob);
  const TBitmapLayout layout = InspectBitmapFile(BitmapFileOfBlob(blob));
  if (load.outcome == TBitmapCheck::kOk) {
    if (layout.check != TBitmapCheck::kOk || load.image.isNull() ||
        load.image.width() != layout.width ||
        static_cast<std::uint64_t>(load.image.height()) != layout.Rows())
      std::abort();
    // Touch every pixel, so that the sanitizers see each one read.
    unsigned sum = 0;
    for (int y = 0; y < load.image.height(); ++y) {
      const uchar* line = load.image.constScanLine(y);
      for (qsizetype i = 0; i < load.image.bytesPerLine(); ++i) sum += line[i];
    }
    __asm__ volatile("" : : "r"(sum) : "memory");
  } else if (!load.image.isNull() ||
             (load.outcome != TBitmapCheck::kNotValid && load.outcome != layout.check)) {
    std::abort();
  }
  return 0;
}
