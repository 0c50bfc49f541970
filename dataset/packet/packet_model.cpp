#include "dataset/packet/packet_model.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "dataset/packet/packet_format.h"

// Notes on what the model holds:
// - a string value (type code 9) is cut at its first zero byte, as the
//   engine reads strings: the empty string, stored as one zero byte, reads
//   back as no bytes;
// - a value whose bytes are not in the packet (not fetched) cannot be held
//   and fails the read with kBlobNotFetched.
// - a memo read from a text packet (a bytes column with subtype "Text") loses
//   one trailing zero byte, unless it is exactly one zero byte, as the
//   engine loads it (text writers end memos with a zero);
// Writing a model read from a text packet in the binary form turns a bytes
// column whose subtype the engine loads as a blob (in a text-loaded table:
// subtypes 22 to 28, 33 and 34) into a blob column, so that both forms load
// the same.

namespace dorvem {
namespace {

DBResult ReadParams(TDATAPACKET_READ* reader, std::vector<PacketParam>* out) {
  std::vector<std::uint8_t> buf(256);
  char name[kMaxParamNameLength + 1];
  for (;;) {
    std::uint32_t size = 0;
    DBResult r = reader->NextParamSize(&size);
    if (r == dbr::kAtEnd) return dbr::kOk;
    if (r) return r;
    if (size & packet::kNotFetchedBit) return dbr::kBlobNotFetched;
    if (size > buf.size()) buf.resize(size);
    PacketParam p;
    std::uint32_t capacity = static_cast<std::uint32_t>(buf.size());
    r = reader->NextParam(name, &p.typeWord, &capacity, buf.data());
    if (r) return r;
    p.name = name;
    p.value.assign(buf.begin(), buf.begin() + capacity);
    out->push_back(std::move(p));
  }
}

bool IsMemo(const PacketColumn& c) {
  const std::uint32_t code = packet::TypeCode(c.desc.typeWord);
  if (code != packet::kTcBytes && code != packet::kTcBytes2) return false;
  for (const PacketParam& p : c.params) {
    if (packet::ParamCodeOf(p.name) != packet::kParamSubtype) continue;
    const auto* s = reinterpret_cast<const char*>(p.value.data());
    return packet::SubtypeCodeOf(std::string_view(s, strnlen(s, p.value.size()))) ==
           packet::kSubtypeText;
  }
  return false;
}

DBResult ReadRows(TDATAPACKET_READ* reader, PacketModel* model) {
  std::vector<std::uint8_t> buf(256);
  const std::size_t n = model->columns.size();
  std::vector<char> textMemo(n);
  for (std::size_t c = 0; c < n; ++c) textMemo[c] = model->text && IsMemo(model->columns[c]);
  for (;;) {
    std::uint32_t size = static_cast<std::uint32_t>(buf.size());
    std::uint32_t status = 0;
    DBResult r = reader->NextField(&size, buf.data(), &status);
    if (r == dbr::kAtEnd) return dbr::kOk;
    if (r) return r;
    PacketRow row;
    row.status = buf[0];
    row.values.resize(n);
    for (std::size_t c = 0; c < n; ++c) {
      PacketValue& v = row.values[c];
      size = static_cast<std::uint32_t>(buf.size());
      r = reader->NextField(&size, buf.data(), &v.status);
      if (r == dbr::kInvalidParameter && size > buf.size() && !(size & packet::kNotFetchedBit)) {
        buf.resize(size);
        r = reader->NextField(&size, buf.data(), &v.status);
      }
      if (r == dbr::kFieldIsBlank) continue;
      if (r == dbr::kAtEnd) return dbr::kPacketMismatch;  // a row cut short
      if (r) return r;
      if (v.status != packet::kFieldHasValue) continue;
      if (size & packet::kNotFetchedBit) return dbr::kBlobNotFetched;
      std::size_t length = size;
      if (packet::TypeCode(model->columns[c].desc.typeWord) == packet::kTcString)
        length = std::find(buf.begin(), buf.begin() + size, 0) - buf.begin();
      if (textMemo[c] && length > 1 && buf[length - 1] == 0) --length;
      v.bytes.assign(buf.begin(), buf.begin() + length);
    }
    model->rows.push_back(std::move(row));
  }
}

// A text packet's bytes column whose subtype the engine loads as a blob is
// a blob (4-byte prefix) in the binary form, where only the prefix says so.
DSColumnDesc BinaryColumn(const PacketModel& model, const PacketColumn& c, PacketForm form) {
  DSColumnDesc d = c.desc;
  const std::uint32_t code = packet::TypeCode(d.typeWord);
  if (!model.text || form != PacketForm::kBinary || !(d.typeWord & packet::kVarying) ||
      (code != packet::kTcBytes && code != packet::kTcBytes2))
    return d;
  for (const PacketParam& p : c.params) {
    if (packet::ParamCodeOf(p.name) != packet::kParamSubtype) continue;
    const auto* s = reinterpret_cast<const char*>(p.value.data());
    const std::uint32_t subtype =
        packet::SubtypeCodeOf(std::string_view(s, strnlen(s, p.value.size())));
    if ((subtype >= packet::kSubtypeText && subtype <= packet::kSubtypeTypedBinary) ||
        subtype == packet::kSubtypeHMemo || subtype == packet::kSubtypeHBinary)
      d.typeWord = (d.typeWord & ~packet::kSizeMask) | 4;
  }
  return d;
}

DBResult ReadModel(PacketBytes packet, bool rows, PacketModel* out) {
  if (!out) return dbr::kInvalidParameter;
  *out = PacketModel();
  try {
    EngineRef<TDATAPACKET_READ> reader;
    if (DBResult r = DATAPACKETREAD_Factory(reader.Receive())) return r;
    if (DBResult r = reader->StartPacket(std::move(packet))) return r;
    if (!reader->HasMetaData()) return dbr::kNoMetaData;
    PacketModel model;
    model.text = reader->IsTextPacket();
    for (;;) {
      PacketColumn column;
      DBResult r = reader->NextColumn(&column.desc);
      if (r == dbr::kAtEnd) break;
      if (r) return r;
      if (packet::TypeCode(column.desc.typeWord) == packet::kTcNested) return dbr::kNotApplicable;
      if (DBResult e = ReadParams(reader.get(), &column.params)) return e;
      model.columns.push_back(std::move(column));
    }
    if (model.columns.empty()) return dbr::kPacketMismatch;
    if (DBResult r = ReadParams(reader.get(), &model.tableParams)) return r;
    if (rows)
      if (DBResult r = ReadRows(reader.get(), &model)) return r;
    *out = std::move(model);
    return dbr::kOk;
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
}

}  // namespace

DBResult ReadPacketModel(std::vector<std::uint8_t> packet, PacketModel* out) {
  return ReadModel(PacketBytes(std::move(packet)), true, out);
}

DBResult ReadPacketMetaData(PacketBytes packet, PacketModel* out) {
  return ReadModel(std::move(packet), false, out);
}

DBResult WritePacketModel(const PacketModel& model, PacketForm form,
                          std::vector<std::uint8_t>* out) {
  if (!out) return dbr::kInvalidParameter;
  try {
    EngineRef<TDATAPACKET_WRITE> writer;
    if (DBResult r = DATAPACKETWRITE_Factory(writer.Receive())) return r;
    std::vector<DSColumnDesc> descs;
    for (const PacketColumn& c : model.columns) descs.push_back(BinaryColumn(model, c, form));
    if (DBResult r = writer->PutColumnDescs(static_cast<std::uint32_t>(descs.size()), descs.data()))
      return r;
    auto addAll = [&](std::uint32_t column, const std::vector<PacketParam>& params) -> DBResult {
      for (const PacketParam& p : params) {
        if (DBResult r = writer->AddParameter(column, p.name.c_str(), p.typeWord, p.value.data(),
                                              static_cast<std::uint32_t>(p.value.size())))
          return r;
      }
      return dbr::kOk;
    };
    for (std::size_t c = 0; c < model.columns.size(); ++c) {
      if (DBResult r = addAll(static_cast<std::uint32_t>(c + 1), model.columns[c].params)) return r;
    }
    if (DBResult r = addAll(0, model.tableParams)) return r;
    for (const PacketRow& row : model.rows) {
      if (row.values.size() != model.columns.size()) return dbr::kInvalidParameter;
      if (DBResult r = writer->PutField(packet::kFieldHasValue, &row.status, 1)) return r;
      for (const PacketValue& v : row.values) {
        if (DBResult r = writer->PutField(v.status, v.bytes.data(),
                                          static_cast<std::uint32_t>(v.bytes.size())))
          return r;
      }
    }
    return writer->GetDataPacket(form, out);
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
}

}  // namespace dorvem
