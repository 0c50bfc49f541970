// Result codes of the data engine.
//
// Every engine operation returns a 16-bit result code and never throws.
// 0 is success; every other code is also the identifier of its message in
// the message table (messages.h). The host-side dataset turns a nonzero code
// into an EDBClient exception carrying the code and its text.
//
// DBResult is a 16-bit number that the compiler refuses to see ignored: a
// call whose result is dropped does not build. Where dropping one is what
// the code means, IgnoreResult says so.
#pragma once

#include <cstdint>

namespace dorvem {

class [[nodiscard]] DBResult {
 public:
  constexpr DBResult(std::uint16_t code = 0) noexcept : code_(code) {}
  constexpr operator std::uint16_t() const noexcept { return code_; }

 private:
  std::uint16_t code_;
};

// Drops a result on purpose; the call site says why in a comment.
constexpr void IgnoreResult(DBResult) noexcept {}

namespace dbr {
inline constexpr DBResult kOk = 0;

// Cursor positions and ends (not errors when they end a list).
inline constexpr DBResult kAtBeginning = 8705;    // "At beginning of table."
inline constexpr DBResult kAtEnd = 8706;          // "At end of table."
inline constexpr DBResult kRecordDeleted = 8708;  // "Record/Key deleted."
inline constexpr DBResult kNoCurrentRecord = 8709;
inline constexpr DBResult kObjectNotFound = 8712;

// Resources and parameters.
inline constexpr DBResult kOutOfMemory = 9473;
inline constexpr DBResult kKeyViolation = 9729;
inline constexpr DBResult kNumberOutOfRange = 9985;
inline constexpr DBResult kInvalidParameter = 9986;
inline constexpr DBResult kIndexNotFound = 9997;
inline constexpr DBResult kFieldIsBlank = 9740;

// Packet and layout.
inline constexpr DBResult kInvalidFieldType = 10000;
inline constexpr DBResult kInvalidBlobHandle = 10030;
inline constexpr DBResult kFieldNameNull = 10038;
inline constexpr DBResult kNotApplicable = 10756;
inline constexpr DBResult kTypeMismatch = 11871;
inline constexpr DBResult kNoMetaData = 16387;
inline constexpr DBResult kAppendToNonPartial = 16388;
inline constexpr DBResult kPacketMismatch = 16389;
inline constexpr DBResult kBlobNotFetched = 16393;
// The data file a table's blob values lie in was truncated or rewritten in
// place after it was loaded (blob_store.h).
inline constexpr DBResult kDataFileChanged = 16420;
// The data file was truncated in place while a table was being loaded from
// it: what was read is not the file (table_loader.cpp).
inline constexpr DBResult kDataFileChangedWhileLoading = 16421;
}  // namespace dbr

}  // namespace dorvem
