#include "dataset/packet/text_packet_reader.h"

namespace dorvem {

DBResult TextPacketReader::Translate(const std::vector<std::uint8_t>&, std::vector<std::uint8_t>*) {
  return dbr::kPacketMismatch;
}

DBResult TextPacketReader::TranslateFurther(const std::vector<std::uint8_t>&,
                                            std::vector<std::uint8_t>*) {
  return dbr::kPacketMismatch;
}

}  // namespace dorvem
