// DSDATAPACKET: writing the XML text form.
#include "dataset/packet/ds_datapacket.h"

namespace dorvem {

DBResult DSDATAPACKET::WriteXml(const Table&, std::vector<std::uint8_t>*) const {
  return dbr::kNotApplicable;
}

}  // namespace dorvem
