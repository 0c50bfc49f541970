// DSEXTRACT: the row layout and the delivery of field values.
#include <new>

#include "dataset/packet/packet_format.h"
#include "dataset/packet/reader.h"

namespace dorvem {
namespace {

using namespace packet;

// Guards against layouts that a lying packet could make explode: structure
// and array columns expand recursively and multiply.
constexpr std::size_t kMaxSlotsPerLevel = 65536;
constexpr int kMaxExpandDepth = 63;
constexpr std::uint32_t kExpandBudget = 1u << 20;

}  // namespace

DBResult DSEXTRACT::FinishMetaData() {
  metaDone_ = true;
  layoutText_ = text_;
  for (std::size_t i = 0; i < levels_.size(); ++i) {
    if (DBResult r = BuildLayout(static_cast<int>(i))) return r;
  }
  cur_ = 0;
  if (rowCount_ == 0 && !toEnd_) FreePacket();
  return dbr::kOk;
}

DBResult DSEXTRACT::BuildLayout(int levelIndex) {
  Level& level = levels_[levelIndex];
  level.converters.clear();
  level.slots.clear();
  expandBudget_ = kExpandBudget;
  std::size_t index = 0;
  while (index < level.columns.size()) {
    if (DBResult r = ExpandColumn(level, &index, 0)) return r;
  }
  for (std::size_t j = 0; j < level.slots.size(); ++j) {
    Slot& slot = level.slots[j];
    slot.conv = &level.converters[j].get();
    slot.statusByte = static_cast<std::uint32_t>(1 + j / 4);
    slot.blankMask = static_cast<std::uint8_t>(1u << (2 * (j % 4)));
    slot.notChangedMask = static_cast<std::uint8_t>(1u << (2 * (j % 4) + 1));
  }
  level.statusBytes = static_cast<std::uint32_t>((level.slots.size() + 3) / 4);
  level.nextSlot = kAtRowStart;
  level.rowsToCome = 0;
  return dbr::kOk;
}

// Adds the status slots of the column at *index and moves *index past it and
// its children. A structure column contributes the slots of its children, an
// array column those of its element column once per element; every other
// column one slot.
DBResult DSEXTRACT::ExpandColumn(Level& level, std::size_t* index, int depth) {
  if (depth > kMaxExpandDepth || expandBudget_ == 0) return dbr::kPacketMismatch;
  --expandBudget_;
  if (*index >= level.columns.size()) return dbr::kPacketMismatch;
  const Column& column = level.columns[*index];
  const std::uint32_t word = column.desc.typeWord;
  if (word & kArray) return dbr::kInvalidFieldType;  // array bit: parameters only
  const std::uint32_t size = TypeSize(word);
  ++*index;
  switch (TypeCode(word)) {
    case kTcAdt:
      for (std::uint32_t c = 0; c < size; ++c) {
        if (DBResult r = ExpandColumn(level, index, depth + 1)) return r;
      }
      return dbr::kOk;
    case kTcArray: {
      const std::size_t element = *index;
      const std::size_t slotsBefore = level.slots.size();
      for (std::uint32_t e = 0; e < (size ? size : 1); ++e) {
        *index = element;
        if (DBResult r = ExpandColumn(level, index, depth + 1)) return r;
      }
      if (size == 0) {  // the element descriptor is present but has no slots
        level.slots.resize(slotsBefore);
        level.converters.resize(slotsBefore);
      }
      return dbr::kOk;
    }
    default:
      break;
  }
  if (level.slots.size() >= kMaxSlotsPerLevel) return dbr::kPacketMismatch;
  // A text packet, once translated, holds every varying value with a 4-byte
  // length, whatever prefix the column's type word names.
  const std::uint32_t encoding = layoutText_ && (word & kVarying) ? (word & ~kSizeMask) | 4 : word;
  Converter conv;
  if (DBResult r = conv.Choose(encoding)) return r;
  level.converters.push_back(conv);
  Slot slot;
  slot.childLevel = column.childLevel;
  level.slots.push_back(slot);
  return dbr::kOk;
}

DBResult DSEXTRACT::NextFieldSize(std::uint32_t* size) {
  const DBResult r = NextField(size, nullptr, nullptr);
  return r == dbr::kFieldIsBlank ? dbr::kOk : r;
}

DBResult DSEXTRACT::NextField(std::uint32_t* bufSize, void* value, std::uint32_t* status) {
  endedUnderView_.clear();  // the previous view is over
  if (!started_) return dbr::kNotApplicable;
  if (!metaDone_) {
    // The top level's table parameters all read: the metadata ends here.
    if (listKind_ != ListKind::kTable || levels_[cur_].parent >= 0 || listLeft_ > 0)
      return dbr::kNotApplicable;
    DBResult r;
    try {
      r = EndList();
    } catch (const std::bad_alloc&) {
      r = dbr::kOutOfMemory;
    }
    if (r) return r;
  }
  if (released_) return dbr::kAtEnd;
  if (!bufSize) return dbr::kInvalidParameter;
  return ReadField(bufSize, value, status);
}

DBResult DSEXTRACT::ReadField(std::uint32_t* bufSize, void* value, std::uint32_t* status) {
  const bool sizeOnly = !value && !status;
  if (!sizeOnly && (!value || *bufSize == 0)) return dbr::kInvalidParameter;
  Level& level = levels_[cur_];

  if (level.nextSlot == kAtRowStart) {
    if (toEnd_ && level.parent < 0 && in_.Remaining() == 0) {
      FreePacket();
      return dbr::kAtEnd;
    }
    const std::size_t head = std::size_t{1} + level.statusBytes;
    if (in_.Remaining() < head) return dbr::kPacketMismatch;
    if (!sizeOnly) {
      *static_cast<std::uint8_t*>(value) = *in_.Here();
      if (status) *status = kFieldHasValue;
      level.rowStart = in_.Position();
      in_.Skip(head);
      level.nextSlot = 0;
      if (level.slots.empty()) CompleteRow();
    }
    *bufSize = 1;
    return dbr::kOk;
  }

  const Slot& slot = level.slots[level.nextSlot];
  const std::uint8_t fieldStatus = packet_[level.rowStart + slot.statusByte];
  if (fieldStatus & (slot.blankMask | slot.notChangedMask)) {
    const bool blank = (fieldStatus & slot.blankMask) != 0;
    *bufSize = 0;
    if (!sizeOnly) {
      if (status) *status = blank ? kFieldBlank : kFieldNotChanged;
      AdvanceSlot(level);
    }
    return blank ? dbr::kFieldIsBlank : dbr::kOk;
  }

  std::uint32_t size = 0;
  if (sizeOnly) {
    const DBResult r = slot.conv->Read(in_, nullptr, 0, &size);
    *bufSize = size;
    return r;
  }
  std::int32_t nestedRows = 0;
  if (slot.childLevel >= 0 && in_.Remaining() >= 4)
    nestedRows = static_cast<std::int32_t>(LoadU32(in_.Here()));
  const DBResult r = slot.conv->Read(in_, value, *bufSize, &size);
  *bufSize = size;
  if (r) return r;
  if (status) *status = kFieldHasValue;
  if (slot.childLevel >= 0 && nestedRows > 0) {
    const int child = slot.childLevel;
    ++level.nextSlot;  // the parent's row resumes after the nested rows
    Level& nested = levels_[child];
    nested.rowsToCome = static_cast<std::uint32_t>(nestedRows);
    nested.nextSlot = kAtRowStart;
    cur_ = child;
    return dbr::kOk;
  }
  AdvanceSlot(level);
  return dbr::kOk;
}

DBResult DSEXTRACT::NextFieldView(const std::uint8_t** bytes, std::uint32_t* size,
                                  std::uint32_t* status) {
  *bytes = nullptr;
  *size = 0;
  endedUnderView_.clear();  // the previous view is over
  if (!started_ || !metaDone_) return dbr::kNotApplicable;
  if (released_) return dbr::kAtEnd;
  Level& level = levels_[cur_];
  if (level.nextSlot == kAtRowStart) return dbr::kNotApplicable;
  const Slot& slot = level.slots[level.nextSlot];
  const std::uint32_t prefix = slot.conv->PrefixSize();
  if (prefix == 0 || slot.childLevel >= 0) return dbr::kNotApplicable;

  const std::uint8_t fieldStatus = packet_[level.rowStart + slot.statusByte];
  if (fieldStatus & (slot.blankMask | slot.notChangedMask)) {
    const bool blank = (fieldStatus & slot.blankMask) != 0;
    *status = blank ? kFieldBlank : kFieldNotChanged;
    AdvanceSlot(level);
    return blank ? dbr::kFieldIsBlank : dbr::kOk;
  }
  // The converter checks that the prefix and the whole value are there.
  std::uint32_t length = 0;
  if (DBResult r = slot.conv->Read(in_, nullptr, 0, &length)) return r;
  *status = kFieldHasValue;
  *size = length;
  if (prefix == 4 && (length & kNotFetchedBit)) {
    in_.Skip(prefix);
  } else {
    *bytes = in_.Here() + prefix;
    in_.Skip(prefix + length);
  }
  // Stepping past the value may end the packet; *bytes must outlive that.
  viewing_ = true;
  AdvanceSlot(level);
  viewing_ = false;
  return dbr::kOk;
}

void DSEXTRACT::TakeRetainedPackets(std::vector<PacketBytes>* out) {
  for (PacketBytes& p : retained_) out->push_back(std::move(p));
  retained_.clear();
}

void DSEXTRACT::AdvanceSlot(Level& level) {
  if (++level.nextSlot >= level.slots.size()) CompleteRow();
}

// The current level's row is complete: count it, and return from nested
// levels whose rows are all read (completing their parent's row in turn).
void DSEXTRACT::CompleteRow() {
  for (;;) {
    Level& level = levels_[cur_];
    level.nextSlot = kAtRowStart;
    if (level.parent < 0) {
      if (++rowsRead_ > rowCount_ && !toEnd_) FreePacket();
      return;
    }
    if (--level.rowsToCome > 0) return;
    cur_ = level.parent;
    if (levels_[cur_].nextSlot < levels_[cur_].slots.size()) return;
  }
}

}  // namespace dorvem
