// assetgen: draws the window's pictures and writes them as bitmap files of
// their designed colour depths into the folder named on the command line
// (the repository's assets/): each at its designed size as "name.bmp" and
// at twice that size as "name@2x.bmp", the name under which the program
// looks for it on screens of twice the pixel density. It also writes the
// program's desktop icon at the sizes of the desktop's icon theme, as
// "icons/dorvem-<size>.png". Run with QT_QPA_PLATFORM=offscreen.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "tools/assetgen/bmp_writer.h"
#include "tools/assetgen/drawings.h"
#include "tools/assetgen/palette.h"

namespace {

// The window's pictures at `scale`, written under `name` + `suffix`.
bool WriteWindowPictures(const QDir& out, int scale, const QString& suffix) {
  using namespace assetgen;
  const QList<QRgb> vga = Windows16Colours();
  auto path = [&](const char* name) { return out.filePath(QString::fromLatin1(name) + suffix); };
  return WriteBmp(ReduceColours(DrawLogo(scale), 256), 8, path("morvel_logo")) &&
         WriteBmp(DrawBackground(scale), 24, path("background")) &&
         WriteBmp(ToIndexed(DrawWindowIcon(scale), vga), 4, path("window_icon")) &&
         WriteBmp(ToIndexed(GlyphStrip(DrawScoreGlyph(scale), scale), vga), 4,
                  path("glyph_score")) &&
         WriteBmp(ToIndexed(GlyphStrip(DrawPlayGlyph(scale), scale), vga), 4, path("glyph_play")) &&
         WriteBmp(ToIndexed(DrawExitGlyph(scale), vga), 4, path("glyph_exit"));
}

bool WriteDesktopIcons(const QDir& out) {
  if (!out.mkpath(QStringLiteral("icons"))) {
    std::fprintf(stderr, "assetgen: cannot make %s\n", qPrintable(out.filePath("icons")));
    return false;
  }
  for (int size : {48, 64, 128, 256}) {
    const QString path = out.filePath(QStringLiteral("icons/dorvem-%1.png").arg(size));
    if (!assetgen::DrawAppIcon(size).save(path, "PNG")) {
      std::fprintf(stderr, "assetgen: %s: cannot write the file\n", qPrintable(path));
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: assetgen <output folder>\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  const bool ok = WriteWindowPictures(out, 1, QStringLiteral(".bmp")) &&
                  WriteWindowPictures(out, 2, QStringLiteral("@2x.bmp")) && WriteDesktopIcons(out);
  return ok ? 0 : 1;
}
