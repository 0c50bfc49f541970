// TDataSet: the moving half of a dataset, independent of where records come
// from.
//
// A dataset is inactive or browsing. While browsing it keeps a record window:
// window size + 1 record buffers, of which the first `record count` hold
// consecutive visible records in index order; the active slot is the current
// record, the one field objects read. It moves through the records (GoFirst,
// GoLast, MoveRecords, GoToNumber) by fetching from its source one record at
// a time, keeps the two end flags, and tells its data sources and its event
// handlers about every change in a fixed rhythm (see each operation).
//
// Subclasses supply the records (TCustomClientDataSet reads them from the
// engine cursor). The dataset owns its record buffers and the field objects
// it creates for itself; persistent field objects belong to their creator.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dataset/cursor/cursor_interface.h"
#include "dataset/filter/field_lookup.h"
#include "dataset/host/component.h"
#include "dataset/host/data_source.h"
#include "dataset/host/fields.h"
#include "dataset/locale/code_page.h"

namespace dorvem {

enum TDataSetState { dsInactive, dsBrowse, dsFilter, dsOpening };

using TDataSetNotifyEvent = std::function<void(class TDataSet&)>;

// One buffered record: the engine's record image and what the dataset keeps
// with it.
struct RecordBuffer {
  std::vector<std::uint8_t> image;
  std::uint32_t sequence = 0;     // 1-based position among the visible records
  std::uint8_t bookmarkFlag = 0;  // 0: an ordinary fetched record
  std::uint8_t status = 0;        // the record's status byte
  EngineBookmark bookmark;
};

enum class TGetMode { kCurrent, kNext, kPrior };
enum class TGetResult { kOk, kBOF, kEOF, kError };

class TDataSet : public TComponent, public FieldLookup {
 public:
  explicit TDataSet(std::string name = {});
  ~TDataSet() override;

  TDataSetState State() const { return state_; }
  bool Active() const { return state_ != dsInactive && state_ != dsOpening; }
  // Opens or closes; setting the current value does nothing at all.
  void SetActive(bool value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }

  // --- Moves ------------------------------------------------------------
  void GoFirst();
  void GoLast();
  void GoNext() { MoveRecords(1); }
  void GoPrior() { MoveRecords(-1); }
  // Moves n records (signed); returns how many it actually moved.
  int MoveRecords(int n);
  // Moves to sequence number k (1-based).
  void GoToNumber(int k);
  // Re-reads the window around the engine cursor's record, without scroll
  // events: `exact` requires that record to be there, `centre` puts it in
  // the middle of the window.
  void RefillWindow(bool exact, bool centre);
  // The browse check before every move: raises on a closed dataset and
  // sends CheckBrowse.
  void EnsureBrowse();

  bool AtBeginning() const { return bof_; }
  bool AtEnd() const { return eof_; }
  bool IsEmpty() const { return activeSlot_ >= recordCount_; }
  // Number of visible records (asked of the source).
  virtual int RecordCount() = 0;
  // Sequence number kept with the active record's buffer (0 when none).
  int RecNo() const;

  // --- Record window (read by views) ----------------------------------
  int WindowSize() const { return windowSize_; }
  int WindowRecordCount() const { return recordCount_; }
  int ActiveSlot() const { return activeSlot_; }
  int CursorSlot() const { return cursorSlot_; }
  const RecordBuffer& Buffer(int slot) const { return buffers_[slot]; }
  // Makes `slot` the active slot for a moment, to read fields of another
  // windowed record; restores it when the returned guard goes.
  class ActiveSlotScope {
   public:
    ActiveSlotScope(TDataSet& ds, int slot) : ds_(ds), saved_(ds.activeSlot_) {
      ds.activeSlot_ = slot;
    }
    ~ActiveSlotScope() { ds_.activeSlot_ = saved_; }
    ActiveSlotScope(const ActiveSlotScope&) = delete;
    ActiveSlotScope& operator=(const ActiveSlotScope&) = delete;

   private:
    TDataSet& ds_;
    int saved_;
  };

  // --- Fields -----------------------------------------------------------
  const std::vector<TField*>& Fields() const { return fields_; }
  TField* FindField(std::string_view name) const;
  // Raises "<name>: Field '<field>' not found" when absent.
  TField* FieldByName(std::string_view name) const;
  // The filter parser's view of FieldByName(name).
  FilterField FieldForFilter(std::string_view name) const override;
  // Reads a field of the active record (or of the record under a filter
  // test); false when it has no value or there is no record.
  virtual bool GetFieldData(const TField* field, void* buffer) = 0;
  // Copies a blob field's value of the active record; empty when null.
  virtual void GetBlobBytes(const TField* field, std::vector<std::uint8_t>* out) = 0;
  // Copies up to `count` bytes of that value, from byte `offset`, to `out`;
  // returns how many (0 when null or from its end on). `*size` gets the
  // value's whole length (0 when null). This one reads the whole value.
  virtual std::size_t ReadBlobPart(const TField* field, std::size_t offset, std::size_t count,
                                   std::uint8_t* out, std::size_t* size);
  // Code page of the dataset's single-byte text.
  virtual std::uint32_t TextCodePage() const { return locale::kDefaultCodePage; }

  // --- Events -----------------------------------------------------------
  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeScroll, AfterScroll;

  // --- Data sources -----------------------------------------------------
  const std::vector<TDataSource*>& DataSources() const { return dataSources_; }
  // Re-reads the links' row requests and resizes the window.
  void UpdateBufferCount();

 protected:
  // Source of records, supplied by the subclass.
  virtual void InternalOpen() = 0;   // creates table, cursor, fields, order, filters
  virtual void InternalClose() = 0;  // releases them; must not throw
  virtual std::size_t RecordImageSize() const = 0;
  virtual TGetResult GetRecord(RecordBuffer& buffer, TGetMode mode, bool check) = 0;
  virtual void InternalFirst() = 0;  // engine cursor before the first record
  virtual void InternalLast() = 0;   // engine cursor after the last record
  virtual void InternalSetToRecord(const RecordBuffer& buffer) = 0;
  // Engine cursor to sequence number k; returns kOk, kAtBeginning or kAtEnd.
  virtual DBResult InternalMoveToSeqNo(int k) = 0;

  // Sends a notice to every data source.
  void DataEvent(TDataEvent event, int info = 0);
  void SetState(TDataSetState state);
  // Switches the state for a moment (the filter state while a record is
  // tested) without any notice; returns the state to restore afterwards.
  TDataSetState SetTempState(TDataSetState state) { return std::exchange(state_, state); }
  void RestoreState(TDataSetState state) { state_ = state; }
  void ClearWindow();
  // Engine cursor to the record of `slot` unless the cursor slot names it.
  void CursorToSlot(int slot);
  // Fetches one record forwards / backwards (sliding the window); false at
  // the end / beginning.
  bool FetchNext();
  bool FetchPrior();
  // Reads the next or prior record into the spare buffer (the one after the
  // window's records); false, forgetting the cursor slot, when there is none.
  bool FetchIntoSpare(TGetMode mode);
  // The window held nothing and now holds the one record fetched.
  void FirstRecordArrived();
  void SetWindowSize(int size);

  // Field list management for subclasses and field objects.
  void AddField(TField* field);
  void RemoveField(TField* field);
  bool HasOwnFields() const { return !ownFields_.empty(); }
  void AdoptField(std::unique_ptr<TField> field);
  void DestroyOwnFields();

 private:
  friend class TField;
  friend class TDataSource;
  void DoOpen();
  void DoClose();
  void Fire(const TDataSetNotifyEvent& event) {
    if (event) event(*this);
  }
  // The end of every move: runs `move`, then - also when it throws, before
  // the exception goes on - `finish` (the end flags and the notice to the
  // data sources) and AfterScroll.
  template <class Move, class Finish>
  void ScrollWith(Move&& move, Finish&& finish);

  TDataSetState state_ = dsInactive;
  std::vector<RecordBuffer> buffers_;
  int windowSize_ = 0;
  int recordCount_ = 0;
  int activeSlot_ = 0;
  int cursorSlot_ = -1;
  bool bof_ = true;
  bool eof_ = true;
  std::vector<TField*> fields_;
  std::vector<std::unique_ptr<TField>> ownFields_;
  std::vector<TDataSource*> dataSources_;
};

}  // namespace dorvem
