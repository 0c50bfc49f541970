// Fuzz target: any bytes as a data packet. The packet is loaded into a
// table, and every field and blob of every visible record is read back
// through a cursor; the same bytes also go through the model reader.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dataset/index/index_list.h"
#include "dataset/cursor/cursor_interface.h"
#include "dataset/packet/packet_model.h"
#include "dataset/store/table.h"

using namespace dorvem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  {
    PacketModel model;
    (void)ReadPacketModel(bytes, &model);
  }
  EngineRef<TDSBASE> table;
  if (DSBASE_Factory(table.Receive()) != 0) return 0;
  if (table->AppendData(std::move(bytes), true) != 0) return 0;
  EngineRef<TDSCursor> cursor;
  if (DSCursor_Factory(cursor.Receive()) != 0 || cursor->InitCursor(table.get()) != 0) return 0;
  DSProps props;
  cursor->GetCursorProps(&props);
  std::vector<DSFLDDesc> descs(props.fieldCount);
  cursor->GetFieldDescs(descs.data());
  std::vector<std::uint8_t> image(props.recordSize);
  std::vector<std::uint8_t> value(65536);
  cursor->ToBeforeFirst();
  while (cursor->Advance(1) == 0) {
    if (cursor->ReadCurrent(image.data()) != 0) break;
    for (const DSFLDDesc& d : descs) {
      std::uint8_t flag = 0;
      cursor->GetField(image.data(), d.fieldId, value.data(), &flag);
      std::uint32_t length = 0;
      if (cursor->GetBlobLen(image.data(), d.fieldId, &length) == 0 && length > 0) {
        std::vector<std::uint8_t> blob(length);
        std::uint32_t count = length;
        cursor->GetBlob(image.data(), d.fieldId, 0, &count, blob.data());
      }
    }
  }
  return 0;
}
