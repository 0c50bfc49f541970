// dorvem-demo-builder: makes the demo dictionary's media files and the description of its
// data packet from the sources in tools/demo.
//
//   dorvem-demo-builder SOURCE_DIR OUT_DIR
//
// Writes OUT_DIR/Sounds/... (sounds, MIDI files, videos, score documents) and
// OUT_DIR/packet/dorvem1.json with the memo and picture files it names; the packet tool
// turns the JSON into OUT_DIR/Data/dorvem1.cds. Equal sources give equal bytes.
#include <cstdio>
#include <stdexcept>

#include "demo_build.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dorvem-demo-builder SOURCE_DIR OUT_DIR\n");
    return 2;
  }
  try {
    const demo::BuildSummary s = demo::BuildDemo(argv[1], argv[2]);
    std::printf("%zu entries (%zu plain text), %zu pictures, %d sounds, %d MIDI files, %d scores\n",
                s.entries, s.plain, s.pictures, s.sounds, s.midis, s.scores);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "dorvem-demo-builder: %s\n", e.what());
    return 1;
  }
}
