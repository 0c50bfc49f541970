// TextPacketReader: reads a text (XML) data packet by translating it into
// the binary form, which DSEXTRACT then reads like any binary packet.
#pragma once

#include <cstdint>
#include <vector>

#include "dataset/core/result_codes.h"

namespace dorvem {

class TextPacketReader {
 public:
  // Translates a first packet. kPacketMismatch when the text is not a packet.
  DBResult Translate(const std::vector<std::uint8_t>& text, std::vector<std::uint8_t>* binary);
  // Translates the rows of a further packet for the columns of the first.
  DBResult TranslateFurther(const std::vector<std::uint8_t>& text,
                            std::vector<std::uint8_t>* binary);
};

}  // namespace dorvem
