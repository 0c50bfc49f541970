// DSEXTRACT: starting packets, column descriptors and parameter lists.
#include "dataset/packet/reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "dataset/core/alloc_guard.h"
#include "dataset/core/messages.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/text_packet_reader.h"

namespace dorvem {
namespace {

using namespace packet;

// True when the bytes begin with an acceptable binary header: the magic with
// both version words at most 3, or the alternate magic (versions ignored).
bool IsBinaryPacket(const PacketBytes& p) {
  if (p.size() < 4) return false;
  const std::uint32_t magic = LoadU32(p.data() + kOffMagic);
  if (magic == kMagicAlternate) return true;
  if (magic != kMagic || p.size() < kOffMinor + 2) return false;
  return LoadU16(p.data() + kOffMajor) <= kMaxVersion &&
         LoadU16(p.data() + kOffMinor) <= kMaxVersion;
}

struct Header {
  std::uint32_t headerLength;
  std::uint16_t columnCount;
  std::uint32_t rowCount;
  std::uint32_t flags;
  std::uint16_t rowDataOffset;
};

DBResult ParseHeader(const PacketBytes& p, Header* h) {
  if (p.size() < kHeaderSize) return dbr::kPacketMismatch;
  h->headerLength = LoadU32(p.data() + kOffHeaderLength);
  h->columnCount = LoadU16(p.data() + kOffColumnCount);
  h->rowCount = LoadU32(p.data() + kOffRowCount);
  h->flags = LoadU32(p.data() + kOffFlags);
  h->rowDataOffset = LoadU16(p.data() + kOffRowDataOffset);
  // The alternate body form is not supported.
  if (h->flags & kFlagAlternateBody) return dbr::kPacketMismatch;
  if (h->headerLength < kHeaderSize || h->headerLength > p.size()) return dbr::kPacketMismatch;
  return dbr::kOk;
}

}  // namespace

DSEXTRACT::DSEXTRACT() = default;
DSEXTRACT::~DSEXTRACT() = default;

DBResult DATAPACKETREAD_Factory(TDATAPACKET_READ** out) {
  if (!out) return dbr::kInvalidParameter;
  *out = new (std::nothrow) DSEXTRACT();
  return *out ? dbr::kOk : dbr::kOutOfMemory;
}

void DSEXTRACT::Reset() {
  FreePacket();
  endedUnderView_.clear();
  started_ = text_ = hasMetaData_ = metaDone_ = layoutText_ = false;
  rowCount_ = flags_ = 0;
  rowsRead_ = 1;
  levels_.clear();
  cur_ = 0;
  listKind_ = ListKind::kNone;
  listLeft_ = 0;
  listEnded_ = false;
  textReader_.reset();
}

// A packet replaced before its last row was read may still have values that
// point into it; when packets are retained it is kept like a finished one.
void DSEXTRACT::RetireUnfinishedPacket() {
  if (retain_ && !packet_.empty()) retained_.push_back(std::move(packet_));
  packet_.clear();
}

void DSEXTRACT::FreePacket() {
  if (retain_ && !packet_.empty()) {
    try {
      retained_.push_back(std::move(packet_));
    } catch (const std::bad_alloc&) {
      // Without room to keep it the packet cannot be freed either: values
      // may point into it. It stays where it is until the reader goes.
      in_ = ByteSpanReader();
      released_ = true;
      return;
    }
  }
  if (viewing_) endedUnderView_ = std::move(packet_);
  packet_.clear();
  in_ = ByteSpanReader();
  released_ = true;
}

DBResult DSEXTRACT::StartPacket(PacketBytes packet) {
  return GuardAllocation([&]() -> DBResult {
    Reset();
    if (packet.empty()) return dbr::kNotApplicable;
    if (IsBinaryPacket(packet)) return BeginBinary(std::move(packet));
    auto reader = std::make_unique<TextPacketReader>();
    std::vector<std::uint8_t> binary;
    if (DBResult r = reader->Translate(packet.span(), &binary)) return r;
    packet.clear();
    if (DBResult r = BeginBinary(std::move(binary))) return r;
    text_ = true;
    textReader_ = std::move(reader);
    return dbr::kOk;
  });
}

DBResult DSEXTRACT::BeginBinary(PacketBytes bytes) {
  Header h;
  if (DBResult r = ParseHeader(bytes, &h)) return r;
  RetireUnfinishedPacket();
  packet_ = std::move(bytes);
  in_ = ByteSpanReader(packet_.data(), packet_.size());
  in_.Seek(h.headerLength);
  released_ = false;
  started_ = true;
  hasMetaData_ = (h.flags & kFlagMetaData) != 0;
  rowCount_ = h.rowCount;
  flags_ = h.flags;
  rowsRead_ = 1;
  levels_.emplace_back();
  levels_[0].expectedColumns = h.columnCount;
  levels_[0].nextSlot = kAtRowStart;
  return dbr::kOk;
}

DBResult DSEXTRACT::StartFurtherPacket(PacketBytes packet) {
  return GuardAllocation([&]() -> DBResult {
    if (!started_ || !metaDone_ || packet.empty()) return dbr::kNotApplicable;
    if (IsBinaryPacket(packet)) {
      text_ = false;
      return BeginFurtherBinary(std::move(packet));
    }
    if (!textReader_) return dbr::kPacketMismatch;
    std::vector<std::uint8_t> binary;
    if (DBResult r = textReader_->TranslateFurther(packet.span(), &binary)) return r;
    packet.clear();
    text_ = true;
    return BeginFurtherBinary(std::move(binary));
  });
}

DBResult DSEXTRACT::BeginFurtherBinary(PacketBytes bytes) {
  Header h;
  if (DBResult r = ParseHeader(bytes, &h)) return r;
  // Metadata and rows without the offset of the rows: they cannot be found.
  if ((h.flags & kFlagMetaData) && !(h.flags & kFlagRowDataOffset) && h.rowCount != 0)
    return dbr::kPacketMismatch;
  const std::size_t start = (h.flags & kFlagRowDataOffset) ? h.rowDataOffset : h.headerLength;
  if (start < kHeaderSize || start > bytes.size()) return dbr::kPacketMismatch;
  RetireUnfinishedPacket();
  packet_ = std::move(bytes);
  in_ = ByteSpanReader(packet_.data(), packet_.size());
  in_.Seek(start);
  released_ = false;
  rowCount_ = h.rowCount;
  flags_ = h.flags;
  rowsRead_ = 1;
  cur_ = 0;
  if (layoutText_ != text_) {  // rows of the other form: their varying prefixes differ
    layoutText_ = text_;
    for (std::size_t i = 0; i < levels_.size(); ++i)
      if (DBResult r = BuildLayout(static_cast<int>(i))) return r;
  }
  for (Level& level : levels_) {
    level.nextSlot = kAtRowStart;
    level.rowsToCome = 0;
  }
  if (rowCount_ == 0) FreePacket();
  return dbr::kOk;
}

DBResult DSEXTRACT::OpenTableList() {
  std::uint16_t count = 0;
  if (!in_.ReadU16(count)) return dbr::kPacketMismatch;
  levels_[cur_].tableListOpened = true;
  listKind_ = ListKind::kTable;
  listLeft_ = count;
  listEnded_ = false;
  return dbr::kOk;
}

DBResult DSEXTRACT::EndList() {
  const ListKind kind = listKind_;
  listKind_ = ListKind::kNone;
  listLeft_ = 0;
  listEnded_ = false;
  Level& level = levels_[cur_];
  if (kind == ListKind::kColumn) {
    if (level.columnsRead >= level.expectedColumns && !level.tableListOpened)
      return OpenTableList();
    return dbr::kOk;
  }
  if (kind != ListKind::kTable) return dbr::kOk;
  if (level.parent < 0) return FinishMetaData();
  cur_ = level.parent;
  Level& parent = levels_[cur_];
  if (parent.columnsRead >= parent.expectedColumns && !parent.tableListOpened)
    return OpenTableList();
  return dbr::kOk;
}

DBResult DSEXTRACT::NextColumn(DSColumnDesc* out) {
  return GuardAllocation([&]() -> DBResult {
    if (!started_) return dbr::kNotApplicable;
    if (metaDone_) return dbr::kAtEnd;
    if (listKind_ != ListKind::kNone) {
      if (listLeft_ > 0) return dbr::kNotApplicable;  // parameters not all read
      if (DBResult r = EndList()) return r;
      if (metaDone_) return dbr::kAtEnd;
    }
    Level& level = levels_[cur_];
    if (level.columnsRead >= level.expectedColumns) {
      if (!level.tableListOpened)
        if (DBResult r = OpenTableList()) return r;
      return dbr::kAtEnd;
    }
    if (in_.Remaining() < 1) return dbr::kPacketMismatch;
    const std::size_t n = *in_.Here();
    if (n == 0) return dbr::kFieldNameNull;
    if (in_.Remaining() < 1 + n + 8) return dbr::kPacketMismatch;
    const std::uint8_t* p = in_.Here() + 1;
    Column column;
    std::memcpy(column.desc.name, p, std::min<std::size_t>(n, sizeof column.desc.name - 1));
    column.desc.typeWord = LoadU32(p + n);
    column.desc.attributes = LoadU16(p + n + 4);
    const std::uint16_t paramCount = LoadU16(p + n + 6);

    const bool nested = TypeCode(column.desc.typeWord) == kTcNested;
    const std::uint32_t nestedColumns = TypeSize(column.desc.typeWord);
    if (nested) {
      if (levels_.size() >= static_cast<std::size_t>(kMaxLevels)) return dbr::kNotApplicable;
      // The nested columns are part of this level's expected count.
      if (nestedColumns > level.expectedColumns - level.columnsRead - 1)
        return dbr::kPacketMismatch;
    }
    in_.Skip(1 + n + 8);
    if (out) *out = column.desc;
    listKind_ = ListKind::kColumn;
    listLeft_ = paramCount;
    listEnded_ = false;
    if (!nested) {
      level.columns.push_back(column);
      ++level.columnsRead;
      return dbr::kOk;
    }
    level.expectedColumns -= nestedColumns;
    const int child = static_cast<int>(levels_.size());
    column.childLevel = child;
    level.columns.push_back(column);
    ++level.columnsRead;
    Level next;
    next.expectedColumns = nestedColumns;
    next.parent = cur_;
    next.parentColumn = static_cast<std::uint32_t>(level.columns.size() - 1);
    next.nextSlot = kAtRowStart;
    levels_.push_back(std::move(next));  // `level` is not used past this point
    cur_ = child;
    return dbr::kOk;
  });
}

// Reads a parameter record's name length and type word at the current
// position without moving, and chooses the value's converter.
DBResult DSEXTRACT::ReadParamHead(std::size_t* nameLength, std::uint32_t* typeWord,
                                  Converter* conv) const {
  if (in_.Remaining() < 1) return dbr::kPacketMismatch;
  const std::size_t n = *in_.Here();
  if (in_.Remaining() < 1 + n + 4) return dbr::kPacketMismatch;
  *nameLength = n;
  *typeWord = LoadU32(in_.Here() + 1 + n);
  return conv->Choose(*typeWord);
}

DBResult DSEXTRACT::NextParamSize(std::uint32_t* size) {
  if (!started_) return dbr::kNotApplicable;
  if (!size) return dbr::kInvalidParameter;
  std::uint32_t typeWord = 0;
  return NextParam(nullptr, &typeWord, size, nullptr);
}

DBResult DSEXTRACT::NextParam(char* name, std::uint32_t* typeWord, std::uint32_t* bufSize,
                              void* value) {
  if (!started_) return dbr::kNotApplicable;
  if (metaDone_) return dbr::kAtEnd;
  if (listKind_ == ListKind::kNone || listEnded_ || listLeft_ == 0) {
    if (listKind_ != ListKind::kNone) listEnded_ = true;
    return dbr::kAtEnd;
  }
  if (!bufSize) return dbr::kInvalidParameter;
  std::size_t n = 0;
  std::uint32_t word = 0;
  Converter conv;
  if (DBResult r = ReadParamHead(&n, &word, &conv)) return r;
  if (typeWord) *typeWord = word;
  ByteSpanReader at = in_;
  at.Skip(1 + n + 4);
  std::uint32_t size = 0;
  {
    // A parameter's value must be in the packet: a length marked "not
    // fetched" is a damaged packet, not a value of two gigabytes.
    DBResult r = conv.get().Read(at, nullptr, 0, &size);
    if (r == dbr::kOk && (word & kVarying) && conv.get().PrefixSize() == 4 &&
        (size & kNotFetchedBit))
      r = dbr::kPacketMismatch;
    if (r || !name || !value) {
      *bufSize = size;
      return r;
    }
  }
  const std::uint8_t* namePtr = in_.Here() + 1;
  DBResult r = conv.get().Read(at, value, *bufSize, &size);
  *bufSize = size;
  if (r) return r;
  std::memcpy(name, namePtr, n);
  name[n] = '\0';
  in_ = at;
  --listLeft_;
  return dbr::kOk;
}

DBResult DSEXTRACT::MessageOf(DBResult code, char* text) {
  if (!text) return dbr::kInvalidParameter;
  const std::string_view m = dorvem::MessageOf(code);
  const std::size_t n = std::min(m.size(), kMaxMessageLength);
  std::memcpy(text, m.data(), n);
  text[n] = '\0';
  return dbr::kOk;
}

}  // namespace dorvem
