// DSEXTRACT: the packet reader behind TDATAPACKET_READ.
//
// The reader owns the packet bytes and parses them in place: column
// descriptors, parameters and values are copied straight from the packet into
// the caller's buffers, and nothing is allocated per value. It keeps a stack
// of table levels (the top-level table and one per nested-table column, at
// most 63) and, once the metadata is finished, the row layout of each level:
// one status slot per column, with the slot's converter and its blank and
// not-changed bits. The packet is released as soon as its last row has been
// read (after exactly the header's row count; bytes beyond are ignored).
//
// A text (XML) packet is first translated into the binary form by
// TextPacketReader and then read by the same machinery; IsTextPacket() tells
// the caller which form it gave.
//
// Ends of parameter lists: a list ends when NextParamSize or NextParam reports
// kAtEnd; what follows the end (the level's table-parameter count, the return
// to the parent level, the end of the metadata) is taken by the next
// NextColumn or NextField. Until then further NextParam calls keep answering
// kAtEnd. NextColumn also accepts a list whose parameters were all read
// without its end being asked for.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dataset/core/byte_layout.h"
#include "dataset/packet/field_converters.h"
#include "dataset/packet/reader_interface.h"

namespace dorvem {

class TextPacketReader;

class DSEXTRACT final : public EngineObject<TDATAPACKET_READ, InterfaceId::kPacketRead> {
 public:
  static constexpr int kMaxLevels = 63;

  DSEXTRACT();
  ~DSEXTRACT() override;

  DBResult StartPacket(PacketBytes packet) override;
  DBResult StartFurtherPacket(PacketBytes packet) override;
  DBResult NextFieldView(const std::uint8_t** bytes, std::uint32_t* size,
                         std::uint32_t* status) override;
  void RetainPackets() override { retain_ = true; }
  void SkipRemainingRows() override { FreePacket(); }
  void TakeRetainedPackets(std::vector<PacketBytes>* out) override;
  bool HasMetaData() const override { return hasMetaData_; }
  std::uint32_t RowCount() const override { return rowCount_; }
  DBResult NextColumn(DSColumnDesc* out) override;
  DBResult NextParamSize(std::uint32_t* size) override;
  DBResult NextParam(char* name, std::uint32_t* typeWord, std::uint32_t* bufSize,
                     void* value) override;
  DBResult NextFieldSize(std::uint32_t* size) override;
  DBResult NextField(std::uint32_t* bufSize, void* value, std::uint32_t* status) override;
  DBResult MessageOf(DBResult code, char* text) override;
  bool IsTextPacket() const override { return text_; }

  // --- For examining a packet (packet_damage.h) -------------------------
  // Rows are read until the bytes end instead of after the header's row
  // count: NextField answers kAtEnd at a row start with no byte left, and
  // kPacketMismatch for a row the bytes end in. Set before StartPacket.
  void ReadRowsToEnd() { toEnd_ = true; }
  // Offset in the (binary) packet of the next byte to be read, and the
  // packet's size; both 0 once the packet is released.
  std::size_t Position() const { return released_ ? 0 : in_.Position(); }
  std::size_t PacketSize() const { return released_ ? 0 : packet_.size(); }

 private:
  // One status slot of a level's row.
  struct Slot {
    const FLDConv* conv = nullptr;  // into Level::converters
    std::uint32_t statusByte = 0;   // index from the row's first byte
    std::uint8_t blankMask = 0;
    std::uint8_t notChangedMask = 0;
    int childLevel = -1;  // level of a nested-table column
  };

  struct Column {
    DSColumnDesc desc;
    int childLevel = -1;
  };

  struct Level {
    std::uint32_t expectedColumns = 0;
    std::uint32_t columnsRead = 0;
    int parent = -1;
    std::uint32_t parentColumn = 0;  // index of the nested column in the parent
    bool tableListOpened = false;
    std::vector<Column> columns;
    // Row layout, built when the metadata is finished.
    std::vector<Converter> converters;
    std::vector<Slot> slots;
    std::uint32_t statusBytes = 0;
    // Row reading.
    std::size_t rowStart = 0;    // offset of the current row's first byte
    std::uint32_t nextSlot = 0;  // kAtRowStart before a row's status byte
    std::uint32_t rowsToCome = 0;
  };
  static constexpr std::uint32_t kAtRowStart = 0xFFFFFFFF;

  enum class ListKind { kNone, kColumn, kTable };

  void Reset();
  DBResult BeginBinary(PacketBytes bytes);
  DBResult BeginFurtherBinary(PacketBytes bytes);
  void FreePacket();
  void RetireUnfinishedPacket();

  // Metadata (reader.cpp).
  DBResult EndList();
  DBResult OpenTableList();
  DBResult ReadParamHead(std::size_t* nameLength, std::uint32_t* typeWord, Converter* conv) const;
  // Row layout and values (reader_rows.cpp).
  DBResult FinishMetaData();
  DBResult BuildLayout(int levelIndex);
  DBResult ExpandColumn(Level& level, std::size_t* index, int depth);
  DBResult ReadField(std::uint32_t* bufSize, void* value, std::uint32_t* status);
  void AdvanceSlot(Level& level);
  void CompleteRow();

  PacketBytes packet_;
  ByteSpanReader in_;
  bool started_ = false;
  bool text_ = false;
  bool released_ = true;
  bool retain_ = false;                // keep finished packets for the table
  std::vector<PacketBytes> retained_;  // finished packets kept
  // A packet that ended while NextFieldView pointed into it: kept until the
  // reader's next call, so that the view the caller holds stays readable.
  bool viewing_ = false;
  PacketBytes endedUnderView_;
  bool hasMetaData_ = false;
  bool metaDone_ = false;
  bool layoutText_ = false;  // the row layout was built for a text packet
  std::uint32_t rowCount_ = 0;
  std::uint32_t flags_ = 0;
  std::uint32_t rowsRead_ = 1;
  bool toEnd_ = false;  // ReadRowsToEnd

  std::vector<Level> levels_;
  int cur_ = 0;
  ListKind listKind_ = ListKind::kNone;
  std::uint32_t listLeft_ = 0;
  bool listEnded_ = false;
  std::uint32_t expandBudget_ = 0;  // work left for BuildLayout

  std::unique_ptr<TextPacketReader> textReader_;
};

}  // namespace dorvem
