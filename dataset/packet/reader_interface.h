// The packet reader interface (TDATAPACKET_READ) and its factory.
//
// A reader walks one data packet, binary or XML text, and hands out, in this
// order: the column descriptors of each table level with their parameters,
// the table-level parameters, then the rows value by value. The record store
// (DSBASE) creates one reader for the first packet of a table and keeps it for
// further packets. The reader owns the packet bytes it is given and frees
// them as soon as its last row has been read.
//
// Every read is bounds-checked: a packet that is shorter than its header,
// counts or length prefixes claim fails with kPacketMismatch; nothing is ever
// read past the end of the bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "dataset/core/engine_object.h"
#include "dataset/packet/packet_bytes.h"

namespace dorvem {

// A column as the packet describes it. The name keeps at most 31 bytes and is
// zero-terminated.
struct DSColumnDesc {
  char name[32] = {};
  std::uint32_t typeWord = 0;
  std::uint16_t attributes = 0;
};

inline constexpr std::size_t kMaxParamNameLength = 255;

class TDATAPACKET_READ : public TEngineUnknown {
 public:
  // Starts a first packet. Takes the bytes. kNotApplicable when `packet` is
  // empty; kPacketMismatch when it is neither an acceptable binary packet nor
  // a text packet with the expected first elements.
  virtual DBResult StartPacket(PacketBytes packet) = 0;

  // Starts a further packet of rows for the same metadata (binary only).
  virtual DBResult StartFurtherPacket(PacketBytes packet) = 0;

  // True when the packet carries metadata (flag bit 0, or a text packet with
  // METADATA). Valid after a successful StartPacket.
  virtual bool HasMetaData() const = 0;

  // Row count the packet announces (header field, or the ROW count of text).
  virtual std::uint32_t RowCount() const = 0;

  // The next column descriptor of the current table level; kAtEnd when the
  // level has no more columns.
  virtual DBResult NextColumn(DSColumnDesc* out) = 0;

  // Size of the pending parameter's value; nonzero result at the end of the
  // current parameter list. Does not advance.
  //
  // Either of NextParamSize and NextParam may be the one that reports the end
  // of a list; both keep answering kAtEnd until the next NextColumn or
  // NextField moves on to what follows (the level's table parameters, the
  // parent level, or the rows).
  virtual DBResult NextParamSize(std::uint32_t* size) = 0;

  // Reads the pending parameter. `name` receives up to 255 bytes and a zero;
  // *bufSize is the capacity of `value` on entry and the value size on exit.
  // kAtEnd at the end of the current list; kInvalidParameter when the buffer
  // is too small (*bufSize then holds the size needed). With `name` or
  // `value` null only the size is reported and nothing advances.
  virtual DBResult NextParam(char* name, std::uint32_t* typeWord, std::uint32_t* bufSize,
                             void* value) = 0;

  // Size of the next field value (0 for a blank one). Does not advance.
  virtual DBResult NextFieldSize(std::uint32_t* size) = 0;

  // Delivers the next value: first the row status byte of each row, then one
  // value per column slot. *bufSize is the capacity on entry, the value size
  // on exit. *status receives 0 (value), 1 (blank: result kFieldIsBlank) or 2
  // (not changed). kAtEnd after the last row; kInvalidParameter when the
  // buffer is too small. With `value` and `status` both null only the size is
  // reported and nothing advances. A varying 4-byte length with bit 31 set is
  // delivered as that length word itself (value not fetched), no bytes.
  virtual DBResult NextField(std::uint32_t* bufSize, void* value, std::uint32_t* status) = 0;

  // Delivers the next value like NextField, but for a length-prefixed value
  // points *bytes at the value inside the packet instead of copying it.
  // kNotApplicable (nothing moved) when the next value is not such a value
  // (a row status, a fixed-size or nested-table value); blank and
  // not-changed values are reported as by NextField with *bytes null; a
  // value not fetched reports its length word as *size with *bytes null.
  // The pointer stays valid until the reader's next call, also when this
  // value ended the packet; beyond that only while the packet lives: see
  // RetainPackets.
  virtual DBResult NextFieldView(const std::uint8_t** bytes, std::uint32_t* size,
                                 std::uint32_t* status) = 0;

  // From now on, a packet whose rows are all read is kept instead of freed,
  // for TakeRetainedPackets to hand over (the table then keeps its blob
  // values where they lie).
  virtual void RetainPackets() = 0;
  // Ends the current packet without reading its remaining rows (its
  // values are had elsewhere): it is kept as a finished one would be, and
  // NextField answers kAtEnd.
  virtual void SkipRemainingRows() = 0;
  virtual void TakeRetainedPackets(std::vector<PacketBytes>* out) = 0;

  // Text of a result code (at most 127 characters and a zero) into text[128].
  virtual DBResult MessageOf(DBResult code, char* text) = 0;

  // True while the packet is being read as XML text.
  virtual bool IsTextPacket() const = 0;
};

// Creates a reader (DSEXTRACT) with one reference.
DBResult DATAPACKETREAD_Factory(TDATAPACKET_READ** out);

}  // namespace dorvem
