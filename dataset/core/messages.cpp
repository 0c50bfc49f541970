#include "dataset/core/messages.h"

#include <algorithm>
#include <array>
#include <utility>

namespace dorvem {
namespace {

struct Entry {
  DBResult code;
  std::string_view text;
};

// Sorted by code so that the lookup is a binary search.
constexpr std::array kMessages = {
    Entry{dbr::kAtBeginning, "At beginning of table."},
    Entry{dbr::kAtEnd, "At end of table."},
    Entry{dbr::kRecordDeleted, "Record/Key deleted."},
    Entry{dbr::kNoCurrentRecord, "No current record."},
    Entry{dbr::kObjectNotFound, "Could not find object."},
    Entry{dbr::kOutOfMemory, "Insufficient memory for this operation."},
    Entry{dbr::kKeyViolation, "Key violation."},
    Entry{dbr::kFieldIsBlank, "Field is blank."},
    Entry{dbr::kNumberOutOfRange, "Number is out of range."},
    Entry{dbr::kInvalidParameter, "Invalid parameter."},
    Entry{dbr::kIndexNotFound, "Index not found."},
    Entry{dbr::kInvalidFieldType, "Invalid field type."},
    Entry{dbr::kInvalidBlobHandle, "Invalid BLOB handle in record buffer."},
    Entry{dbr::kFieldNameNull, "Field name can't be null, datapacket may be corrupted"},
    Entry{dbr::kNotApplicable, "Operation not applicable."},
    Entry{dbr::kTypeMismatch, "Type mismatch in expression."},
    Entry{dbr::kNoMetaData, "Datapacket contains no meta data."},
    Entry{dbr::kAppendToNonPartial, "Trying to append data to a non-partial dataset."},
    Entry{dbr::kPacketMismatch, "Mismatch in datapacket."},
    Entry{dbr::kBlobNotFetched, "Blob has not been fetched."},
    Entry{dbr::kDataFileChanged,
          "Az adatfájl megváltozott, mióta a program betöltötte; a szövegek és képek "
          "újraindítás után jelennek meg."},
    Entry{dbr::kDataFileChangedWhileLoading,
          "Az adatfájl megváltozott, miközben a program betöltötte; indítsa újra a programot."},
};

constexpr bool SortedByCode() {
  for (std::size_t i = 1; i < kMessages.size(); ++i)
    if (kMessages[i - 1].code >= kMessages[i].code) return false;
  return true;
}
static_assert(SortedByCode(), "message table must be sorted by code");

constexpr bool WithinLimit() {
  for (const Entry& e : kMessages)
    if (e.text.size() > kMaxMessageLength) return false;
  return true;
}
static_assert(WithinLimit(), "a message is longer than a string resource can hold");

}  // namespace

std::string_view MessageOf(DBResult code) {
  auto it = std::lower_bound(kMessages.begin(), kMessages.end(), code,
                             [](const Entry& e, DBResult c) { return e.code < c; });
  if (it == kMessages.end() || it->code != code) return {};
  return it->text;
}

}  // namespace dorvem
