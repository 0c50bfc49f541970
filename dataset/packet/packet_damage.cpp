#include "dataset/packet/packet_damage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

#include "dataset/core/mapped_file.h"
#include "dataset/core/messages.h"
#include "dataset/locale/locale_services.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/reader.h"

namespace dorvem {
namespace {

// Reads the metadata: the top level's column names into *names; *examine
// false for a packet whose rows are not examined (no metadata, a text
// packet, nested tables, metadata the reader refuses).
DBResult SkipMetaData(DSEXTRACT& reader, std::vector<std::string>* names, bool* examine) {
  *examine = false;
  if (!reader.HasMetaData() || reader.IsTextPacket()) return dbr::kOk;
  std::vector<std::uint8_t> buf(256);
  char name[kMaxParamNameLength + 1];
  const auto skipParams = [&]() -> DBResult {
    for (;;) {
      std::uint32_t size = 0;
      DBResult r = reader.NextParamSize(&size);
      if (r == dbr::kAtEnd) return dbr::kOk;
      if (r) return r;
      if (size & packet::kNotFetchedBit) return dbr::kBlobNotFetched;
      if (size > buf.size()) buf.resize(size);
      std::uint32_t capacity = static_cast<std::uint32_t>(buf.size());
      std::uint32_t typeWord = 0;
      if (DBResult e = reader.NextParam(name, &typeWord, &capacity, buf.data())) return e;
    }
  };
  for (;;) {
    DSColumnDesc column;
    DBResult r = reader.NextColumn(&column);
    if (r == dbr::kAtEnd) break;
    if (r) return dbr::kOk;
    if (packet::TypeCode(column.typeWord) == packet::kTcNested) return dbr::kOk;
    if (skipParams()) return dbr::kOk;
    names->emplace_back(column.name, strnlen(column.name, sizeof column.name));
  }
  if (names->empty() || skipParams()) return dbr::kOk;
  *examine = true;
  return dbr::kOk;
}

}  // namespace

DBResult FindPacketDamage(PacketBytes packet, std::vector<PacketDamage>* out) {
  out->clear();
  try {
    EngineRef<TDATAPACKET_READ> held;
    if (DBResult r = DATAPACKETREAD_Factory(held.Receive())) return r;
    DSEXTRACT& reader = *static_cast<DSEXTRACT*>(held.get());
    reader.ReadRowsToEnd();
    if (reader.StartPacket(std::move(packet)) != dbr::kOk) return dbr::kOk;
    std::vector<std::string> names;
    bool examine = false;
    if (DBResult r = SkipMetaData(reader, &names, &examine)) return r;
    if (!examine) return dbr::kOk;
    const std::uint32_t headerRows = reader.RowCount();

    PacketDamage unfetched;
    unfetched.kind = DamageKind::kUnfetchedValues;
    std::uint32_t wholeRows = 0;
    std::size_t afterWholeRows = reader.Position();
    std::size_t afterCountedRows = headerRows == 0 ? afterWholeRows : 0;
    const std::size_t size = reader.PacketSize();
    bool cleanEnd = false;
    std::vector<std::uint8_t> buf(256);
    for (;;) {
      std::uint8_t rowStatus[4] = {};
      std::uint32_t length = sizeof rowStatus;
      std::uint32_t status = 0;
      DBResult r = reader.NextField(&length, rowStatus, &status);
      if (r == dbr::kAtEnd) {
        cleanEnd = true;
        break;
      }
      if (r) break;
      bool whole = true;
      for (std::size_t c = 0; c < names.size() && whole; ++c) {
        const std::uint8_t* view = nullptr;
        r = reader.NextFieldView(&view, &length, &status);
        if (r == dbr::kNotApplicable) {
          length = static_cast<std::uint32_t>(buf.size());
          r = reader.NextField(&length, buf.data(), &status);
          if (r == dbr::kInvalidParameter && length > buf.size() &&
              !(length & packet::kNotFetchedBit)) {
            buf.resize(length);
            r = reader.NextField(&length, buf.data(), &status);
          }
        }
        if (r == dbr::kFieldIsBlank) continue;
        if (r) {
          whole = false;
          break;
        }
        // Only the rows a table loads count: others are damage already.
        if (status == packet::kFieldHasValue && (length & packet::kNotFetchedBit) &&
            wholeRows < headerRows) {
          if (unfetched.count++ == 0) {
            unfetched.firstRow = wholeRows + 1;
            unfetched.firstColumn = names[c];
          }
        }
      }
      if (!whole) break;
      ++wholeRows;
      afterWholeRows = reader.Position();
      if (wholeRows == headerRows) afterCountedRows = afterWholeRows;
    }

    if (unfetched.count > 0) out->push_back(unfetched);
    // Rows that end with the bytes are rows, whatever the header says;
    // when the bytes end in a row, what follows the counted rows is
    // damage that no row accounts for.
    if (cleanEnd ? wholeRows != headerRows : wholeRows < headerRows) {
      PacketDamage rows;
      rows.kind = wholeRows < headerRows ? DamageKind::kFewerRows : DamageKind::kMoreRows;
      rows.headerRows = headerRows;
      rows.wholeRows = wholeRows;
      out->push_back(rows);
    } else if (!cleanEnd) {
      PacketDamage trailing;
      trailing.kind = DamageKind::kTrailingBytes;
      trailing.offset = afterCountedRows;
      trailing.count = size - afterCountedRows;
      trailing.headerRows = headerRows;
      trailing.wholeRows = wholeRows;
      out->push_back(trailing);
    }
    return dbr::kOk;
  } catch (const std::bad_alloc&) {
    out->clear();
    return dbr::kOutOfMemory;
  }
}

DBResult FindPacketFileDamage(const std::string& path, std::vector<PacketDamage>* out) {
  out->clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return dbr::kOk;
  struct stat st {};
  MappedFile mapped;
  const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
                  mapped.Map(fd, static_cast<std::size_t>(st.st_size));
  ::close(fd);
  if (!ok) return dbr::kOk;
  // A file truncated under the check reads as zeros past its new end: what
  // was found then is not the file's.
  const std::uint64_t faultsBefore = MappedFile::FaultCount();
  const DBResult r = FindPacketDamage(PacketBytes(std::move(mapped), PacketSource{}), out);
  if (MappedFile::FaultCount() == faultsBefore) return r;
  out->clear();
  return dbr::kDataFileChangedWhileLoading;
}

std::string DamageText(const PacketDamage& d) {
  const auto n = [](std::uint64_t v) { return std::to_string(v); };
  switch (d.kind) {
    case DamageKind::kUnfetchedValues:
      return n(d.count) +
             " érték nem olvasható ki az adatfájlból (hiányzik a helyéről; először a(z) " +
             n(d.firstRow) + ". sor " + locale::ToUtf8(d.firstColumn, 1250) + " mezőjében)";
    case DamageKind::kFewerRows:
      return "a fejléc szerint " + n(d.headerRows) + " sor van az adatfájlban, de csak " +
             n(d.wholeRows) + " teljes sor olvasható ki belőle";
    case DamageKind::kMoreRows:
      return "a fejléc szerint " + n(d.headerRows) + " sor van az adatfájlban, de " +
             n(d.wholeRows) + " sor van benne: a többit a program nem mutatja";
    case DamageKind::kTrailingBytes:
      return n(d.count) + " bájt áll az utolsó teljes sor után (a(z) " + n(d.offset) +
             ". bájttól), amelyet egyetlen sor sem foglal magában";
  }
  return {};
}

std::vector<std::string> PacketFileDamageLines(const std::string& path) {
  std::vector<PacketDamage> damage;
  std::vector<std::string> lines;
  const DBResult r = FindPacketFileDamage(path, &damage);
  if (r == dbr::kDataFileChangedWhileLoading) {
    std::string line(MessageOf(r));
    if (!line.empty() && line.back() == '.') line.pop_back();
    lines.push_back(line);
  }
  if (r != dbr::kOk) return lines;
  for (const PacketDamage& d : damage) lines.push_back(DamageText(d));
  return lines;
}

}  // namespace dorvem
