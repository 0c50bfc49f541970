// DSDATAPACKET: collecting the table and writing the binary form.
#include "dataset/packet/writer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "dataset/core/alloc_guard.h"
#include "dataset/core/ascii.h"
#include "dataset/core/byte_layout.h"
#include "dataset/packet/packet_format.h"

namespace dorvem {
namespace {

using namespace packet;

bool IsStringColumn(std::uint32_t word) {
  return TypeCode(word) == kTcString && (word & kVarying);
}

bool IsBytesColumn(std::uint32_t word) {
  const std::uint32_t code = TypeCode(word);
  return (code == kTcBytes || code == kTcBytes2) && (word & kVarying);
}

bool IsBlobColumn(std::uint32_t word) {
  const std::uint32_t code = TypeCode(word);
  return (code == kTcBytes || code == kTcBytes2) && (word & kVarying) && TypeSize(word) == 4;
}

// An integer value of 1, 2, 4 or 8 bytes; false for other sizes.
bool LoadUnsigned(const std::vector<std::uint8_t>& v, std::uint64_t* out) {
  switch (v.size()) {
    case 1:
      *out = v[0];
      return true;
    case 2:
      *out = LoadU16(v.data());
      return true;
    case 4:
      *out = LoadU32(v.data());
      return true;
    case 8:
      *out = LoadU64(v.data());
      return true;
    default:
      return false;
  }
}

const DSDATAPACKET::Param* FindParam(const std::vector<DSDATAPACKET::Param>& list, ParamCode code) {
  for (const auto& p : list)
    if (ParamCodeOf(p.name) == code) return &p;
  return nullptr;
}

// Canonical form of the column parameters whose encoding the writer fixes.
void Canonicalise(DSDATAPACKET::Param& p) {
  const ParamCode code = ParamCodeOf(p.name);
  if (code == kParamWidth || code == kParamDecimals || code == kParamElements) {
    const std::uint32_t tc = TypeCode(p.typeWord);
    std::uint64_t v = 0;
    if ((tc != kTcInt && tc != kTcUInt) || (p.typeWord & (kArray | kVarying)) ||
        !LoadUnsigned(p.value, &v) || v > 0xFFFFFFFF)
      return;
    if (v <= 0xFFFF) {
      p.typeWord = MakeTypeWord(kTcUInt, 2);
      p.value.resize(2);
      StoreU16(p.value.data(), static_cast<std::uint16_t>(v));
    } else {
      p.typeWord = MakeTypeWord(kTcUInt, 4);
      p.value.resize(4);
      StoreU32(p.value.data(), static_cast<std::uint32_t>(v));
    }
  } else if (code == kParamSubtype) {
    while (!p.value.empty() && p.value.back() == 0) p.value.pop_back();
    p.value.push_back(0);
    p.typeWord = MakeTypeWord(kTcString, 2, kVarying);
  }
}

void PutParams(ByteAppender& a, const std::vector<DSDATAPACKET::Param>& params) {
  a.U16(static_cast<std::uint16_t>(params.size()));
  for (const auto& p : params) {
    a.U8(static_cast<std::uint8_t>(p.name.size()));
    a.Bytes(p.name.data(), p.name.size());
    a.U32(p.typeWord);
    // The type word and the value were checked when the parameter was added.
    Converter conv;
    IgnoreResult(conv.Choose(p.typeWord));
    IgnoreResult(conv.get().Write(p.value.data(), static_cast<std::uint32_t>(p.value.size()), a));
  }
}

}  // namespace

DBResult DATAPACKETWRITE_Factory(TDATAPACKET_WRITE** out) {
  if (!out) return dbr::kInvalidParameter;
  *out = new (std::nothrow) DSDATAPACKET();
  return *out ? dbr::kOk : dbr::kOutOfMemory;
}

DBResult DSDATAPACKET::PutColumnDescs(std::uint32_t count, const DSColumnDesc* descs) {
  return GuardAllocation([&]() -> DBResult {
    if ((count && !descs) || count > 0xFFFF) return dbr::kInvalidParameter;
    std::vector<Column> columns(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      Column& c = columns[i];
      c.desc = descs[i];
      c.desc.name[sizeof c.desc.name - 1] = '\0';
      const std::uint32_t word = c.desc.typeWord;
      const std::uint32_t code = TypeCode(word);
      if (c.desc.name[0] == '\0' || (word & kArray) || code == kTcAdt || code == kTcArray ||
          code == kTcNested || code == kTcReference || code == 0)
        return dbr::kInvalidParameter;
      if (c.conv.Choose(word)) return dbr::kInvalidParameter;
    }
    columns_ = std::move(columns);
    tableParams_.clear();
    rowStatus_.clear();
    values_.clear();
    arena_.clear();
    fieldInRow_ = 0;
    return dbr::kOk;
  });
}

DBResult DSDATAPACKET::AddParameter(std::uint32_t column, const char* name, std::uint32_t typeWord,
                                    const void* value, std::uint32_t size) {
  return GuardAllocation([&]() -> DBResult {
    if (!name || column > columns_.size() || (size && !value)) return dbr::kInvalidParameter;
    Param p;
    p.name = name;
    if (p.name.empty() || p.name.size() > kMaxParamNameLength) return dbr::kInvalidParameter;
    p.typeWord = typeWord;
    const auto* bytes = static_cast<const std::uint8_t*>(value);
    p.value.assign(bytes, bytes + size);
    if (column) Canonicalise(p);
    // The value must be one its type word can encode.
    Converter conv;
    if (conv.Choose(p.typeWord)) return dbr::kInvalidParameter;
    std::vector<std::uint8_t> scratch;
    ByteAppender a(scratch);
    if (conv.get().Write(p.value.data(), static_cast<std::uint32_t>(p.value.size()), a))
      return dbr::kInvalidParameter;
    auto& list = column ? columns_[column - 1].params : tableParams_;
    auto same = std::find_if(list.begin(), list.end(), [&](const Param& q) {
      return EqualIgnoringAsciiCase(q.name, p.name);
    });
    if (same != list.end()) {
      *same = std::move(p);
    } else {
      if (list.size() >= 0xFFFF) return dbr::kInvalidParameter;
      list.push_back(std::move(p));
    }
    return dbr::kOk;
  });
}

DBResult DSDATAPACKET::PutField(std::uint32_t status, const void* value, std::uint32_t size) {
  return GuardAllocation([&]() -> DBResult {
    if (columns_.empty()) return dbr::kNotApplicable;
    if (status > kFieldNotChanged || (size && !value)) return dbr::kInvalidParameter;
    if (fieldInRow_ == 0) {
      if (status != kFieldHasValue || size < 1) return dbr::kInvalidParameter;
      rowStatus_.push_back(*static_cast<const std::uint8_t*>(value));
      fieldInRow_ = 1;
      return dbr::kOk;
    }
    const Column& c = columns_[fieldInRow_ - 1];
    Value v;
    v.status = status;
    if (status == kFieldHasValue) {
      const std::uint32_t fixed = c.conv.get().FixedSize();
      const std::uint32_t word = c.desc.typeWord;
      std::uint32_t limit = 0x7FFFFFFF;
      if (fixed != FLDConv::kVaryingSize) {
        limit = fixed;
        if (TypeCode(word) != kTcString && TypeCode(word) != kTcBytes &&
            TypeCode(word) != kTcBytes2 && TypeCode(word) != kTcUnicode && size != fixed)
          return dbr::kInvalidParameter;
      } else if (!IsStringColumn(word) && !IsBytesColumn(word)) {
        limit = TypeSize(word) == 1 ? 0xFF : TypeSize(word) == 2 ? 0xFFFF : limit;
      }
      if (size > limit) return dbr::kInvalidParameter;
      v.size = size;
      v.offset = arena_.size();
      const auto* b = static_cast<const std::uint8_t*>(value);
      arena_.insert(arena_.end(), b, b + size);
    }
    values_.push_back(v);
    fieldInRow_ = fieldInRow_ == columns_.size() ? 0 : fieldInRow_ + 1;
    return dbr::kOk;
  });
}

DBResult DSDATAPACKET::Prepare(Table* table) const {
  table->columns = columns_;
  table->tableParams = tableParams_;
  const std::size_t n = columns_.size();
  const std::size_t rows = rowStatus_.size();
  for (std::size_t c = 0; c < n; ++c) {
    Column& col = table->columns[c];
    const std::uint32_t word = col.desc.typeWord;
    if (IsStringColumn(word)) {
      std::uint64_t longest = 0;
      for (std::size_t r = 0; r < rows; ++r) {
        const Value& v = values_[r * n + c];
        if (v.status == kFieldHasValue) longest = std::max<std::uint64_t>(longest, v.size);
      }
      std::uint64_t width = std::max<std::uint64_t>(longest, 1);
      if (const Param* p = FindParam(col.params, kParamWidth)) {
        if (!LoadUnsigned(p->value, &width)) width = std::max<std::uint64_t>(longest, 1);
      } else {
        Param w{"WIDTH", MakeTypeWord(kTcUInt, 4), std::vector<std::uint8_t>(4)};
        StoreU32(w.value.data(),
                 static_cast<std::uint32_t>(std::min<std::uint64_t>(width, 0xFFFFFFFF)));
        Canonicalise(w);
        col.params.push_back(std::move(w));
      }
      std::uint32_t prefix = width >= 254 ? 2 : 1;
      if (longest > 0xFF && prefix < 2) prefix = 2;
      if (longest > 0xFFFF) prefix = 4;
      col.desc.typeWord = MakeTypeWord(kTcString, prefix, kVarying);
    } else if (IsBlobColumn(word) && !FindParam(col.params, kParamSubtype)) {
      Param s{"SUBTYPE", 0, {'B', 'i', 'n', 'a', 'r', 'y'}};
      Canonicalise(s);
      col.params.push_back(std::move(s));
    } else if (IsBytesColumn(word)) {
      // A bytes value longer than the declared prefix holds widens the prefix.
      std::uint64_t longest = 0;
      for (std::size_t r = 0; r < rows; ++r) {
        const Value& v = values_[r * n + c];
        if (v.status == kFieldHasValue) longest = std::max<std::uint64_t>(longest, v.size);
      }
      const std::uint32_t need = longest <= 0xFF ? 1 : longest <= 0xFFFF ? 2 : 4;
      if (TypeSize(word) < need) col.desc.typeWord = (word & ~kSizeMask) | need;
    }
    if (col.conv.Choose(col.desc.typeWord)) return dbr::kInvalidFieldType;
  }
  return dbr::kOk;
}

DBResult DSDATAPACKET::GetDataPacket(PacketForm form, std::vector<std::uint8_t>* out) {
  return GuardAllocation([&]() -> DBResult {
    if (!out) return dbr::kInvalidParameter;
    if (columns_.empty() || fieldInRow_ != 0) return dbr::kNotApplicable;
    Table table;
    if (DBResult r = Prepare(&table)) return r;
    out->clear();
    return form == PacketForm::kBinary ? WriteBinary(table, out) : WriteXml(table, out);
  });
}

DBResult DSDATAPACKET::WriteBinary(const Table& table, std::vector<std::uint8_t>* out) const {
  const std::size_t n = table.columns.size();
  const std::size_t rows = rowStatus_.size();
  if (rows > 0xFFFFFFFF) return dbr::kInvalidParameter;
  ByteAppender a(*out);
  std::uint16_t version = 1;
  for (const Column& c : table.columns) {
    const std::uint32_t code = TypeCode(c.desc.typeWord);
    if (code >= kTcAdt && code <= kTcFmtBcd) version = 2;
  }
  a.U32(kMagic);
  a.U16(version);
  a.U16(0);
  a.U32(static_cast<std::uint32_t>(kHeaderSize));
  a.U16(static_cast<std::uint16_t>(n));
  a.U32(static_cast<std::uint32_t>(rows));
  a.U32(kFlagMetaData);
  a.U16(0);
  for (const Column& c : table.columns) {
    const std::size_t nameLength = std::strlen(c.desc.name);
    a.U8(static_cast<std::uint8_t>(nameLength));
    a.Bytes(c.desc.name, nameLength);
    a.U32(c.desc.typeWord);
    a.U16(c.desc.attributes);
    PutParams(a, c.params);
  }
  PutParams(a, table.tableParams);

  const std::size_t statusBytes = (n + 3) / 4;
  std::vector<std::uint8_t> status(statusBytes);
  for (std::size_t r = 0; r < rows; ++r) {
    const Value* row = &values_[r * n];
    a.U8(rowStatus_[r]);
    std::fill(status.begin(), status.end(), 0);
    for (std::size_t j = 0; j < n; ++j) {
      if (row[j].status == kFieldBlank)
        status[j / 4] |= static_cast<std::uint8_t>(1u << (2 * (j % 4)));
      if (row[j].status == kFieldNotChanged)
        status[j / 4] |= static_cast<std::uint8_t>(2u << (2 * (j % 4)));
    }
    a.Bytes(status.data(), statusBytes);
    for (std::size_t j = 0; j < n; ++j) {
      if (row[j].status != kFieldHasValue) continue;
      const Column& c = table.columns[j];
      static constexpr std::uint8_t kZero = 0;
      const void* bytes = row[j].size ? &arena_[row[j].offset] : nullptr;
      std::uint32_t size = row[j].size;
      if (size == 0 && TypeCode(c.desc.typeWord) == kTcString) {
        bytes = &kZero;  // the empty string is one zero byte
        size = 1;
      }
      if (DBResult e = c.conv.get().Write(bytes, size, a)) return e;
    }
  }
  return dbr::kOk;
}

}  // namespace dorvem
