// Fuzz target: any bytes as a data packet. The packet is loaded into a
// table, and every field and blob of every visible record is read back
// through a cursor; the same bytes also go through the model reader.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dataset/cursor/cursor_interface.h"
#include "dataset/index/index_list.h"
#include "dataset/packet/packet_model.h"
#include "dataset/store/table.h"

using namespace dorvem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  {
    PacketModel model;
    // Any answer will do; the reader must only never misbehave.
    IgnoreResult(ReadPacketModel(bytes, &model));
  }
  EngineRef<TDSBASE> table;
  if (DSBASE_Factory(table.Receive()) != 0) return 0;
  if (table->AppendData(std::move(bytes), true) != 0) return 0;
  EngineRef<TDSCursor> cursor;
  if (DSCursor_Factory(cursor.Receive()) != 0 || cursor->InitCursor(table.get()) != 0) return 0;
  DSProps props;
  if (cursor->GetCursorProps(&props) != 0) return 0;
  std::vector<DSFLDDesc> descs(props.fieldCount);
  if (cursor->GetFieldDescs(descs.data()) != 0) return 0;
  std::vector<std::uint8_t> image(props.recordSize);
  std::vector<std::uint8_t> value(65536);
  if (cursor->ToBeforeFirst() != 0) return 0;
  while (cursor->Advance(1) == 0) {
    if (cursor->ReadCurrent(image.data()) != 0) break;
    for (const DSFLDDesc& d : descs) {
      std::uint8_t flag = 0;
      // Every field is read; whatever it answers, it must read safely.
      IgnoreResult(cursor->GetField(image.data(), d.fieldId, value.data(), &flag));
      std::uint32_t length = 0;
      if (cursor->GetBlobLen(image.data(), d.fieldId, &length) == 0 && length > 0) {
        std::vector<std::uint8_t> blob(length);
        std::uint32_t count = length;
        IgnoreResult(cursor->GetBlob(image.data(), d.fieldId, 0, &count, blob.data()));
      }
    }
  }
  return 0;
}
