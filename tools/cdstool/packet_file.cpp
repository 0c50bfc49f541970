#include "tools/cdstool/packet_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "dataset/host/db_errors.h"
#include "dataset/host/host_messages.h"

namespace cdstool {

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw dorvem::EDatabaseError(
        dorvem::msg::Fmt(dorvem::msg::kCannotOpenFile, {path, std::strerror(errno)}));
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(reinterpret_cast<const char*>(bytes.data()),
                     static_cast<std::streamsize>(bytes.size()));
  if (!out)
    throw dorvem::EDatabaseError("Cannot create file \"" + path + "\". " + std::strerror(errno));
}

}  // namespace cdstool
