#include "bench/app/bench_folder.h"

#include <filesystem>
#include <fstream>

namespace dorvem::bench {

namespace fs = std::filesystem;

std::string WriteBenchFolder(const std::string& root, const std::vector<std::uint8_t>& packet,
                             const std::string& soundsSource) {
  const fs::path folder(root);
  fs::create_directories(folder / "Data");
  fs::create_directories(folder / "Sounds");
  // A new file (not the old one rewritten): a new inode and modification
  // time, as a freshly installed dictionary has.
  const fs::path data = folder / "Data" / "dorvem1.cds";
  const fs::path fresh = folder / "Data" / "dorvem1.cds.new";
  std::ofstream(fresh, std::ios::binary)
      .write(reinterpret_cast<const char*>(packet.data()),
             static_cast<std::streamsize>(packet.size()));
  fs::rename(fresh, data);
  for (const char* cue : {"hangkep.mp3", "kottakep.mp3"})
    fs::copy_file(fs::path(soundsSource) / cue, folder / "Sounds" / cue,
                  fs::copy_options::overwrite_existing);
  return folder.string() + "/";
}

void WarmFileCache(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
  }
}

}  // namespace dorvem::bench
