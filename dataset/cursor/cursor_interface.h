// DSCursor: a position over the active index of one table.
//
// The cursor walks the entries of its active index (DSIDX) within a range
// (first .. last, without a key range the whole index), reads the record it
// stands on into a caller's record image, and reads fields and blobs out of
// record images. It holds a reference to its table and one to its active
// index. When the index changes under it (its change counter moved), every
// operation first re-finds the cursor's record.
//
// Positions are 1-based; first - 1 means before the first entry and last + 1
// after the last. Status: 0 on a record, kAtBeginning, kAtEnd,
// kRecordDeleted (the record left the index), kNoCurrentRecord.
//
// The cursor also chooses its order: by key fields (SortByFields, which
// makes a temporary index for the cursor) or by the name of one of the
// table's indexes (UseIndex). Whenever its index is replaced or rebuilt it
// returns to the record it stood on if that record is still in the index,
// else it goes before the first entry.
#pragma once

#include <cstdint>

#include "dataset/core/engine_object.h"
#include "dataset/store/table.h"

namespace dorvem {

class DSIDX;

// An engine bookmark: where the cursor stood and on which index.
struct EngineBookmark {
  std::uint32_t position = 0;
  std::uint32_t status = 0;
  std::uint32_t record = 0;         // 0 when none
  std::uint32_t changeCounter = 0;  // of the index, as the cursor had seen it
  std::uint32_t indexSerial = 0;    // identity of the index in its table
};

// What a window row keeps with a record besides its image.
struct RecordInfo {
  std::uint32_t sequence = 0;  // 1-based position among the visible records
  std::uint8_t status = 0;     // the record's status byte
  EngineBookmark bookmark;     // where the cursor stood on it
};

class TDSCursor : public TEngineUnknown {
 public:
  // Opens the cursor on `table`, on its "DEFAULT_ORDER", before the first entry.
  virtual DBResult InitCursor(TDSBASE* table) = 0;
  virtual DBResult GetCursorProps(DSProps* props) = 0;
  virtual DBResult GetFieldDescs(DSFLDDesc* descs) = 0;

  virtual DBResult ToBeforeFirst() = 0;
  virtual DBResult ToAfterLast() = 0;
  // Moves n entries (n may be negative or 0); returns the new status.
  virtual DBResult Advance(std::int32_t n) = 0;
  // Copies the current record into `image` (record size bytes).
  virtual DBResult ReadCurrent(std::uint8_t* image) = 0;
  // Moves n entries as Advance does and, on a record, reads it at once:
  // its image into `image`, its sequence number, status byte and bookmark
  // into *info. The status of the move when it ends off the records.
  virtual DBResult ReadRecord(std::int32_t n, std::uint8_t* image, RecordInfo* info) = 0;
  // The current record's status byte.
  virtual DBResult GetRecordAttribute(std::uint8_t* status) = 0;
  // 1-based position of the current record among the visible ones.
  virtual DBResult SequenceNumber(std::uint32_t* seq) = 0;
  // Number of visible records.
  virtual DBResult GetRecordCount(std::uint32_t* count) = 0;
  // Goes to 1-based sequence number k: kAtBeginning (before the first
  // entry) when k is 0, kAtEnd (after the last) when k is beyond the count.
  virtual DBResult MoveToSeqNo(std::uint32_t k) = 0;
  virtual DBResult GetPosition(EngineBookmark* bookmark) = 0;
  // Returns to a bookmark: to its position when it was taken on the active
  // index in its present state, else to its record wherever it now stands;
  // before the first entry when the record is not in the index.
  virtual DBResult GoToPosition(const EngineBookmark& bookmark) = 0;

  // Orders by `count` key fields (1-based column numbers); `descending` and
  // `caseInsensitive` are arrays of `count` flags (nonzero: set), or null
  // for none. Keeps the active index when its leading key fields already
  // are the request; otherwise the cursor gets an index of its own named
  // after the first key field (a temporary or filtered active index is
  // redefined in place). kInvalidParameter for no fields, more than 16, or
  // a column outside the table; kInvalidFieldType for a blob, memo or
  // nested key field. On failure the cursor keeps its previous order.
  virtual DBResult SortByFields(std::uint32_t count, const std::uint32_t* fields,
                                const std::int32_t* descending,
                                const std::int32_t* caseInsensitive) = 0;
  // Orders by the table's index named `name` (compared by the table's
  // collation, case distinguished; temporary indexes are not found);
  // empty or null: "DEFAULT_ORDER". kIndexNotFound when there is none. A
  // filtered active index is redefined with that index's descriptor and
  // rebuilt from it, keeping its filters.
  virtual DBResult UseIndex(const char* name) = 0;
  // The active index's descriptor.
  virtual DBResult GetIndexDescriptor(IndexDescriptor* descriptor) = 0;

  // Reads a field (record length bytes) and its null flag out of `image`,
  // or out of the current record when `image` is null. Takes no lock when
  // reading an image.
  virtual DBResult GetField(const std::uint8_t* image, std::uint32_t fieldId, void* value,
                            std::uint8_t* nullFlag) = 0;
  // Writes a field into an image (null value: blank). Strings lose their
  // trailing blanks unless the table disables trimming.
  virtual DBResult PutField(std::uint8_t* image, std::uint32_t fieldId, const void* value) = 0;
  // Length of a blob field of an image: 0 when blank or its handle is 0.
  virtual DBResult GetBlobLen(const std::uint8_t* image, std::uint32_t fieldId,
                              std::uint32_t* length) = 0;
  // Copies up to *count bytes of a blob from `offset`; *count receives the
  // number copied. kFieldIsBlank for a blank field.
  virtual DBResult GetBlob(const std::uint8_t* image, std::uint32_t fieldId, std::uint32_t offset,
                           std::uint32_t* count, void* bytes) = 0;

  // --- Filters ------------------------------------------------------------
  // Each of these rebuilds the active index as a filtered one (the records
  // that pass every attached filter, in the active order) and keeps the
  // cursor on its record when that record still passes, else puts it
  // before the first entry.
  //
  // Compiles an expression buffer of `size` bytes and attaches it; *handle
  // receives its handle. On a refusal (kTypeMismatch, kObjectNotFound,
  // kNotApplicable, kInvalidParameter, kOutOfMemory) nothing changes.
  virtual DBResult AttachFilter(const std::uint8_t* buffer, std::uint32_t size,
                                std::uint32_t* handle) = 0;
  // Detaches a filter. Nothing happens for handle 0 or when the active index
  // is not filtered; kObjectNotFound for a handle the list does not hold,
  // kNotApplicable when the index has no filter list any more.
  virtual DBResult DetachFilter(std::uint32_t handle) = 0;
  // Attaches a record callback: `callback(userData, recordImage)` returns
  // nonzero to accept the record whose image it is given.
  using RecordCallback = int (*)(void* userData, const std::uint8_t* recordImage);
  virtual DBResult AttachFilterCallback(void* userData, RecordCallback callback,
                                        std::uint32_t* handle) = 0;
  // Attaches a set of records: `words` (`wordCount` 64-bit words, bit
  // r - 1 of the set for record r) is copied, and a record passes when its
  // bit is set; records beyond the set never pass. Answered for the whole
  // table at once, so the filtered order costs no call per record.
  virtual DBResult AttachRecordSetFilter(const std::uint64_t* words, std::uint32_t wordCount,
                                         std::uint32_t* handle) = 0;
};

// Creates an unopened cursor with one reference.
DBResult DSCursor_Factory(TDSCursor** out);

}  // namespace dorvem
