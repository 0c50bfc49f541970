// assetgen: draws the window's pictures and writes them as bitmap files of
// their designed colour depths into the folder named on the command line
// (the repository's assets/). Run with QT_QPA_PLATFORM=offscreen.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "tools/assetgen/bmp_writer.h"
#include "tools/assetgen/drawings.h"
#include "tools/assetgen/palette.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: assetgen <output folder>\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  using namespace assetgen;
  const QList<QRgb> vga = Windows16Colours();
  const bool ok =
      WriteBmp(ReduceColours(DrawLogo(), 256), 8, out.filePath("morvel_logo.bmp")) &&
      WriteBmp(DrawBackground(), 24, out.filePath("background.bmp")) &&
      WriteBmp(ToIndexed(DrawWindowIcon(), vga), 4, out.filePath("window_icon.bmp")) &&
      WriteBmp(ToIndexed(GlyphStrip(DrawScoreGlyph()), vga), 4, out.filePath("glyph_score.bmp")) &&
      WriteBmp(ToIndexed(GlyphStrip(DrawPlayGlyph()), vga), 4, out.filePath("glyph_play.bmp")) &&
      WriteBmp(ToIndexed(DrawExitGlyph(), vga), 4, out.filePath("glyph_exit.bmp"));
  return ok ? 0 : 1;
}
