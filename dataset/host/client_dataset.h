// TCustomClientDataSet and TClientDataSet: a dataset whose records live in
// an in-memory engine table loaded from a data packet file.
//
// Opening reads the file named by FileName whole, loads it into a new engine
// table (DSBASE), opens an engine cursor (DSCursor) on it, builds the field
// definitions, binds the field objects, and positions before the first
// record. Closing releases cursor and table. The dataset owns the table and
// the cursor while open; it never writes the file. A table preloaded for
// this open (table_preload.h) takes the place of the reading and loading.
//
// The records show in the order of one index: chosen by key field names
// (IndexFieldNames) or by index name (IndexName), the last one set wins.
// While closed the choice is only stored; opening applies it before any
// filter, and changing it while open re-orders at once, keeping the current
// record. The dataset owns its IndexDefs.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dataset/core/engine_object.h"
#include "dataset/cursor/cursor_interface.h"
#include "dataset/expr/expr_codes.h"
#include "dataset/host/dataset.h"
#include "dataset/host/field_defs.h"
#include "dataset/host/index_defs.h"
#include "dataset/store/table.h"

namespace dorvem {

class TCustomClientDataSet : public TDataSet {
 public:
  explicit TCustomClientDataSet(std::string name = {});
  ~TCustomClientDataSet() override;

  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }

  // The folder where what opening computes from the file (the collation
  // ranks and byte order of its string columns, rank_cache.h) is kept
  // between runs: an absolute path chosen by the dataset's owner, taken at
  // the next open. Empty (the default): nothing is kept.
  const std::string& CacheFolder() const { return cacheFolder_; }
  void SetCacheFolder(std::string folder) { cacheFolder_ = std::move(folder); }

  const TFieldDefs& FieldDefs() const { return fieldDefs_; }
  int RecordCount() override;
  std::uint32_t TextCodePage() const override { return codePage_; }
  // Locale of the loaded table (0 when it names none or an uninstalled one).
  std::uint32_t Lcid() const { return lcid_; }

  bool GetFieldData(const TField* field, void* buffer) override;
  void GetBlobBytes(const TField* field, std::vector<std::uint8_t>* out) override;
  // Reads only the part asked for.
  std::size_t ReadBlobPart(const TField* field, std::size_t offset, std::size_t count,
                           std::uint8_t* out, std::size_t* size) override;

  // --- Order (client_dataset_index.cpp) --------------------------------
  // Key field names separated by ";" when the order was chosen by fields,
  // else "".
  std::string IndexFieldNames() const { return byFields_ ? indexText_ : std::string(); }
  // Orders by these fields, ascending and case-sensitive; "" returns to the
  // default order. Raises "Field '%s' not found", "Field index out of range"
  // or the engine's error (EDBClient) when applied; the stored text then
  // stays as it was.
  void SetIndexFieldNames(const std::string& names) { SetIndex(names, !names.empty()); }
  // The index name when the order was chosen by name, else "".
  std::string IndexName() const { return byFields_ ? std::string() : indexText_; }
  // Orders by the named index: one of the engine's, or one of IndexDefs
  // (created in the engine on first use). Raises "Index '%s' not found",
  // "Cannot access index field '%s'" or the engine's error when applied.
  void SetIndexName(const std::string& name) { SetIndex(name, false); }
  TIndexDefs& IndexDefs() { return indexDefs_; }
  // Replaces IndexDefs with the engine's named indexes (only while open).
  void UpdateIndexDefs();
  // The active index's key field count, column numbers and key length, as
  // last read from the engine (none while closed).
  int IndexFieldCount() const { return static_cast<int>(indexColumns_.size()); }
  std::uint32_t IndexKeyLength() const { return indexKeyLength_; }
  // True when `field` is a key field of the active index.
  bool IsIndexField(const TField* field) const;

  // --- Filter (client_dataset_filter.cpp) --------------------------------
  // While the dataset is open and Filtered, setting Filter or FilterOptions
  // replaces the expression filter when the value differs, then moves to
  // the first record (GoFirst) in any case; otherwise the value is only
  // stored. A parse error (EDatabaseError) or an engine refusal (EDBClient)
  // leaves the stored value unchanged, the old filter already detached.
  const std::string& Filter() const { return filterText_; }
  void SetFilter(const std::string& text);
  TFilterOptions FilterOptions() const { return filterOptions_; }
  void SetFilterOptions(TFilterOptions options);
  // Switches filtering on (attaching Filter and OnFilterRecord) or off, then
  // GoFirst; while closed the value is only stored.
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool value);
  // Asked for every record while a filtered order is built: the handler
  // reads the record's fields and clears `accept` to hide it. Exceptions it
  // raises go to the application's exception handler.
  using TFilterRecordEvent = std::function<void(TDataSet& dataSet, bool& accept)>;
  const TFilterRecordEvent& OnFilterRecord() const { return onFilterRecord_; }
  void SetOnFilterRecord(TFilterRecordEvent handler);

  // A set of records the filtered order is narrowed to, besides Filter and
  // OnFilterRecord: bit r - 1 of `records` for record r of the table
  // (Table()'s record numbers). Setting it while the dataset is open and
  // Filtered rebuilds the order at once, also for the same set again, then
  // moves to the first record (GoFirst); otherwise it is only stored. An
  // empty optional removes it. Raises the engine's error (EDBClient); the
  // set is stored all the same.
  void SetRecordFilter(std::optional<std::vector<std::uint64_t>> records);
  // SetFilter(text) and SetRecordFilter(records) as one change: the order
  // is rebuilt once for both (twice when both a new expression and a set
  // are attached), never for the state in between, then GoFirst. Errors as
  // the two raise them.
  void SetFilters(const std::string& text, std::optional<std::vector<std::uint64_t>> records);
  bool HasRecordFilter() const { return recordFilter_.has_value(); }

  // Engine objects while open (null while closed); for tools and tests.
  TDSCursor* Cursor() const { return cursor_.get(); }
  TDSBASE* Table() const { return table_.get(); }

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  std::size_t RecordImageSize() const override { return recordSize_; }
  TGetResult GetRecord(RecordBuffer& buffer, TGetMode mode, bool check) override;
  void InternalFirst() override;
  void InternalLast() override;
  void InternalSetToRecord(const RecordBuffer& buffer) override;
  DBResult InternalMoveToSeqNo(int k) override;

  // The record image fields read from, or null when there is none.
  virtual const std::uint8_t* ActiveImage() const;

 private:
  PacketBytes ReadPacketFile() const;
  void CreateFields();
  void BindFields();
  void UnbindFields();

  // Order (client_dataset_index.cpp).
  void SetIndex(const std::string& text, bool byFields);
  void ApplyIndex(const std::string& text, bool byFields);
  void SortByFieldNames(const std::string& names, bool descending, bool caseInsensitive);
  void UseNamedIndex(const std::string& name);
  void ReadIndexDescriptor();
  // On open, after the fields are bound: applies the stored choice.
  void ApplyStoredIndex();
  void ForgetIndexDescriptor();

  // Filter (client_dataset_filter.cpp).
  void UpdateFilter(const std::string& text, TFilterOptions options);
  void AttachExpressionFilter(const std::string& text, TFilterOptions options);
  void AttachCallbackFilter();
  void AttachRecordFilter();
  void ActivateFilters();
  void DeactivateFilters();
  static int FilterRecord(void* self, const std::uint8_t* image);

  std::string fileName_;
  std::string cacheFolder_;
  EngineRef<TDSBASE> table_;
  EngineRef<TDSCursor> cursor_;
  TFieldDefs fieldDefs_;
  std::vector<DSFLDDesc> descs_;
  std::size_t recordSize_ = 0;
  std::uint32_t lcid_ = 0;
  std::uint32_t codePage_ = locale::kDefaultCodePage;

  std::string indexText_;  // IndexFieldNames or IndexName
  bool byFields_ = false;
  std::vector<int> indexColumns_;
  std::uint32_t indexKeyLength_ = 0;
  TIndexDefs indexDefs_;

  std::string filterText_;
  TFilterOptions filterOptions_ = 0;
  bool filtered_ = false;
  TFilterRecordEvent onFilterRecord_;
  std::uint32_t exprFilter_ = 0;  // engine handles; 0 = none
  std::uint32_t callbackFilter_ = 0;
  std::optional<std::vector<std::uint64_t>> recordFilter_;
  std::uint32_t recordFilterHandle_ = 0;
  const std::uint8_t* filterImage_ = nullptr;  // the record under test
};

class TClientDataSet : public TCustomClientDataSet {
 public:
  using TCustomClientDataSet::TCustomClientDataSet;
};

}  // namespace dorvem
