// TDataSource and TDataLink: how views follow a dataset.
//
// A dataset sends its notices to every data source linked to it, and each
// data source passes them on to every data link attached to it. A view owns
// a data link (derives from TDataLink) and reacts in its handlers. A link
// asks for a number of rows (BufferCount, 1 by default); the dataset's record
// window holds as many records as the largest request. A link also keeps its
// first-row slot: the window slot it shows in its top row.
//
// Ownership: the data source is owned by whoever created it (the main
// window); links attach to it and detach themselves when destroyed. Neither
// owns the dataset.
#pragma once

#include <vector>

#include "dataset/host/component.h"

namespace dorvem {

class TDataSet;
class TDataLink;

enum class TDataEvent {
  kStateChanged,
  kCheckBrowse,
  kDataSetChanged,
  kDataSetScrolled,
};

class TDataSource : public TComponent {
 public:
  explicit TDataSource(std::string name = {}) : TComponent(std::move(name)) {}
  ~TDataSource() override;

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  // Whether a control may put the dataset into edit mode (never here).
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool v) { autoEdit_ = v; }

  const std::vector<TDataLink*>& Links() const { return links_; }

  // Passes a dataset notice to every link (used by the dataset).
  void Notify(TDataEvent event, int info);

 private:
  friend class TDataLink;
  void AddLink(TDataLink* link);
  void RemoveLink(TDataLink* link);

  TDataSet* dataSet_ = nullptr;
  bool autoEdit_ = true;
  std::vector<TDataLink*> links_;
};

class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return dataSource_; }
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const;

  // True while the link's dataset is open.
  bool Active() const { return active_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }

  // Rows the view asks for (at least 1). Changing it resizes the dataset's
  // record window at once when the dataset is open.
  int BufferCount() const { return bufferCount_; }
  void SetBufferCount(int count);

  // Window slot shown in the view's top row.
  int FirstRecord() const { return firstRecord_; }
  void SetFirstRecord(int slot) { firstRecord_ = slot; }
  // Row of the current record within the view (active slot - first row).
  int ActiveRecord() const;
  // Records the view shows (up to BufferCount).
  int RecordCount() const;

  // Handles one notice: keeps Active() and the first-row slot up to date,
  // then calls the handler below. Called by the data source.
  void DataEvent(TDataEvent event, int info);

 protected:
  // Handlers for views; the defaults do nothing.
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() {}
  virtual void DataSetScrolled(int distance) { (void)distance; }
  virtual void StateChanged() {}

 private:
  void UpdateRange();

  TDataSource* dataSource_ = nullptr;
  bool active_ = false;
  bool readOnly_ = false;
  int bufferCount_ = 1;
  int firstRecord_ = 0;
};

}  // namespace dorvem
