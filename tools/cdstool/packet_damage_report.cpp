#include "tools/cdstool/packet_damage_report.h"

#include <cstdio>
#include <vector>

#include "dataset/host/db_errors.h"
#include "dataset/packet/packet_damage.h"

namespace cdstool {

int ReportDamage(dorvem::PacketBytes packet) {
  std::vector<dorvem::PacketDamage> damage;
  dorvem::Check(dorvem::FindPacketDamage(std::move(packet), &damage));
  for (const dorvem::PacketDamage& d : damage)
    std::fprintf(stderr, "cdstool: %s\n", dorvem::ErrorReportText(dorvem::DamageText(d)).c_str());
  return damage.empty() ? 0 : 1;
}

}  // namespace cdstool
