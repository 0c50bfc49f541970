// TCustomClientDataSet and TClientDataSet: a dataset whose records live in
// an in-memory engine table loaded from a data packet file.
//
// Opening reads the file named by FileName whole, loads it into a new engine
// table (DSBASE), opens an engine cursor (DSCursor) on it, builds the field
// definitions, binds the field objects, and positions before the first
// record. Closing releases cursor and table. The dataset owns the table and
// the cursor while open; it never writes the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dataset/core/engine_object.h"
#include "dataset/cursor/ds_cursor.h"
#include "dataset/host/dataset.h"
#include "dataset/host/field_defs.h"
#include "dataset/store/dsbase.h"

namespace dorvem {

class TCustomClientDataSet : public TDataSet {
 public:
  explicit TCustomClientDataSet(std::string name = {});
  ~TCustomClientDataSet() override;

  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }
  // Semicolon-separated field names of the index that orders the records.
  // Only recorded for now: records stay in the packet's order.
  const std::string& IndexFieldNames() const { return indexFieldNames_; }
  void SetIndexFieldNames(std::string names) { indexFieldNames_ = std::move(names); }

  const TFieldDefs& FieldDefs() const { return fieldDefs_; }
  int RecordCount() override;
  std::uint32_t TextCodePage() const override { return codePage_; }
  // Locale of the loaded table (0 when it names none or an uninstalled one).
  std::uint32_t Lcid() const { return lcid_; }

  bool GetFieldData(const TField* field, void* buffer) override;
  void GetBlobBytes(const TField* field, std::vector<std::uint8_t>* out) override;

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
  std::vector<std::uint8_t> ReadPacketFile() const;
  void CreateFields();
  void BindFields();
  void UnbindFields();

  std::string fileName_;
  std::string indexFieldNames_;
  EngineRef<TDSBASE> table_;
  EngineRef<TDSCursor> cursor_;
  TFieldDefs fieldDefs_;
  std::vector<DSFLDDesc> descs_;
  std::size_t recordSize_ = 0;
  std::uint32_t lcid_ = 0;
  std::uint32_t codePage_ = 1250;
};

class TClientDataSet : public TCustomClientDataSet {
 public:
  using TCustomClientDataSet::TCustomClientDataSet;
};

}  // namespace dorvem
