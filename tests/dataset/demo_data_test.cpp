// The bundled demo dictionary: it opens, its media files are where its
// entries say, and its pictures are bitmaps the picture view can show.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "dataset/core/byte_layout.h"
#include "dataset/host/client_dataset.h"
#include "dataset/locale/locale_services.h"

namespace dorvem {
namespace {

namespace fs = std::filesystem;

const fs::path kDemo = fs::path(DORVEM_SOURCE_DIR) / "demo";

struct Bitmap {
  int width = 0, height = 0, bits = 0;
  bool headed = false;  // carried the 8-byte graphic header
};

// Checks the structure of a picture blob; returns an empty string when it is
// a bitmap file (optionally behind the graphic header), else what is wrong.
std::string ReadBitmap(const std::string& blob, Bitmap* out) {
  const auto* b = reinterpret_cast<const std::uint8_t*>(blob.data());
  std::size_t n = blob.size(), at = 0;
  if (n >= 8 && LoadU16(b) == 1 && LoadU16(b + 2) == 0x0100 && LoadU32(b + 4) == n - 8) {
    at = 8;
    out->headed = true;
  }
  if (n - at < 54) return "too short";
  const std::uint8_t* p = b + at;
  if (p[0] != 'B' || p[1] != 'M') return "no BM";
  if (LoadU32(p + 2) != n - at) return "file size field does not match";
  if (LoadU32(p + 14) < 40) return "not an information header";
  out->width = static_cast<std::int32_t>(LoadU32(p + 18));
  out->height = static_cast<std::int32_t>(LoadU32(p + 22));
  if (LoadU16(p + 26) != 1) return "planes is not 1";
  out->bits = LoadU16(p + 28);
  if (LoadU32(p + 30) != 0) return "compressed";
  const std::size_t stride = ((static_cast<std::size_t>(out->width) * out->bits + 31) / 32) * 4;
  const std::size_t pixels = LoadU32(p + 10);
  if (pixels + stride * static_cast<std::size_t>(std::abs(out->height)) > n - at)
    return "pixel rows cut short";
  return "";
}

TEST(DemoDataTest, OpensAndEveryEntryHasWhatItNames) {
  TClientDataSet ds("tblAdat");
  TStringField fajlnev("FAJLNEV", 255), kszoveg("KSZOVEG", 40);
  TMemoField szovmagy("SZOVMAGY");
  TBlobField graphic("GRAPHIC");
  TIntegerField index("Index");
  for (TField* f : {static_cast<TField*>(&fajlnev), static_cast<TField*>(&kszoveg),
                    static_cast<TField*>(&szovmagy), static_cast<TField*>(&graphic),
                    static_cast<TField*>(&index)})
    f->SetDataSet(&ds);
  ds.SetFileName((kDemo / "Data" / "dorvem1.cds").string());
  ds.Open();
  EXPECT_EQ(ds.Lcid(), 1038u);
  EXPECT_GE(ds.RecordCount(), 300);

  int entries = 0, pictures = 0, headed = 0, welcome = 0, rtf = 0, missing = 0, empty = 0;
  std::set<int> depths;
  ds.GoFirst();
  while (!ds.IsEmpty()) {
    ++entries;
    const std::string word = kszoveg.AsString();
    SCOPED_TRACE(locale::ToUtf8(word, 1250));
    EXPECT_FALSE(word.empty());
    EXPECT_LE(word.size(), 40u);
    EXPECT_EQ(locale::CharUpperA(ds.Lcid(), word), word);
    if (word[0] == '.') ++welcome;
    if (szovmagy.AsString().rfind("{\\rtf", 0) == 0) ++rtf;

    if (!fajlnev.IsNull()) {
      std::string name = fajlnev.AsString();
      if (name.empty()) {
        ++empty;
      } else {
        for (char& c : name)
          if (c == '\\') c = '/';
        const bool present = fs::is_regular_file(kDemo / "Sounds" / name);
        EXPECT_TRUE(present) << name;
        missing += !present;
      }
    }
    if (!graphic.IsNull()) {
      Bitmap bmp;
      EXPECT_EQ(ReadBitmap(graphic.AsString(), &bmp), "");
      EXPECT_TRUE(bmp.bits == 8 || bmp.bits == 24) << bmp.bits;
      EXPECT_LE(bmp.width, 996);
      EXPECT_LE(std::abs(bmp.height), 447);
      depths.insert(bmp.bits);
      headed += bmp.headed;
      ++pictures;
    }
    ds.GoNext();
    if (ds.AtEnd()) break;
  }
  EXPECT_EQ(entries, ds.RecordCount());
  EXPECT_GE(welcome, 1);
  EXPECT_GE(pictures, 30);
  EXPECT_GE(headed, 1);
  EXPECT_EQ(depths, (std::set<int>{8, 24}));
  EXPECT_GT(rtf, entries / 2);
  EXPECT_LT(rtf, entries);
  EXPECT_EQ(missing, 0);  // the demo ships whole
  EXPECT_EQ(empty, 1);
  EXPECT_TRUE(fs::is_regular_file(kDemo / "Sounds" / "hangkep.mp3"));
  EXPECT_TRUE(fs::is_regular_file(kDemo / "Sounds" / "kottakep.mp3"));
}

}  // namespace
}  // namespace dorvem
