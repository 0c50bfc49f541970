// The engine's cursor class implementing TDSCursor (see ds_cursor.h).
#pragma once

#include "dataset/cursor/ds_cursor.h"

namespace dorvem {

class DSCursor final : public RefCounted<TDSCursor> {
 public:
  DSCursor() = default;
  ~DSCursor() override;

  DBResult QueryInterface(InterfaceId id, void** out) override;
  DBResult InitCursor(TDSBASE* table) override;
  DBResult GetCursorProps(DSProps* props) override;
  DBResult GetFieldDescs(DSFLDDesc* descs) override;
  DBResult ToBeforeFirst() override;
  DBResult ToAfterLast() override;
  DBResult Advance(std::int32_t n) override;
  DBResult ReadCurrent(std::uint8_t* image) override;
  DBResult GetRecordAttribute(std::uint8_t* status) override;
  DBResult SequenceNumber(std::uint32_t* seq) override;
  DBResult GetRecordCount(std::uint32_t* count) override;
  DBResult MoveToSeqNo(std::uint32_t k) override;
  DBResult GetPosition(EngineBookmark* bookmark) override;
  DBResult GoToPosition(const EngineBookmark& bookmark) override;
  DBResult GetField(const std::uint8_t* image, std::uint32_t fieldId, void* value,
                    std::uint8_t* nullFlag) override;
  DBResult PutField(std::uint8_t* image, std::uint32_t fieldId, const void* value) override;
  DBResult GetBlobLen(const std::uint8_t* image, std::uint32_t fieldId,
                      std::uint32_t* length) override;
  DBResult GetBlob(const std::uint8_t* image, std::uint32_t fieldId, std::uint32_t offset,
                   std::uint32_t* count, void* bytes) override;

  // --- Engine-internal ---------------------------------------------------
  DSBASE* Table() const { return table_.get(); }
  DSIDX* ActiveIndex() const { return index_; }
  // Makes `index` the active index (taking over one reference the caller
  // holds for the cursor), releases the previous one and returns to
  // `bookmark` in the new order: on its record if still there, else before
  // the first entry.
  void SwitchIndex(DSIDX* index, const EngineBookmark& bookmark);
  // Re-reads the range and re-finds the record after the index changed.
  void Resync();

 private:
  void Remember();
  void RecomputeRange();

  EngineRef<DSBASE> table_;
  DSIDX* index_ = nullptr;
  std::uint32_t counterCopy_ = 0;
  std::uint32_t first_ = 1;
  std::uint32_t last_ = 0;
  std::uint32_t pos_ = 0;
  DBResult status_ = dbr::kAtBeginning;
  std::uint32_t record_ = 0;
};

}  // namespace dorvem
