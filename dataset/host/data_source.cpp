#include "dataset/host/data_source.h"

#include <algorithm>

#include "dataset/host/dataset.h"

namespace dorvem {

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
  for (TDataLink* link : std::vector<TDataLink*>(links_)) link->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) {
    auto& v = dataSet_->dataSources_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    // Moving from an open dataset to another one, the links first leave
    // the old one: they go inactive and become active again on the new
    // dataset, finding their fields there instead of keeping the old
    // dataset's.
    if (dataSet_->Active() && dataSet != nullptr) {
      dataSet_ = nullptr;
      Notify(TDataEvent::kStateChanged, 0);
    }
  }
  dataSet_ = dataSet;
  if (dataSet_) dataSet_->dataSources_.push_back(this);
  Notify(TDataEvent::kStateChanged, 0);
  if (dataSet_ && dataSet_->Active()) dataSet_->UpdateBufferCount();
}

void TDataSource::Notify(TDataEvent event, int info) {
  // A handler may attach or detach links; walk a copy.
  for (TDataLink* link : std::vector<TDataLink*>(links_)) link->DataEvent(event, info);
}

void TDataSource::AddLink(TDataLink* link) {
  links_.push_back(link);
}

void TDataSource::RemoveLink(TDataLink* link) {
  links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

TDataLink::~TDataLink() {
  if (dataSource_) dataSource_->RemoveLink(this);
}

TDataSet* TDataLink::DataSet() const {
  return dataSource_ ? dataSource_->DataSet() : nullptr;
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == dataSource_) return;
  if (dataSource_) dataSource_->RemoveLink(this);
  dataSource_ = source;
  if (dataSource_) dataSource_->AddLink(this);
  DataEvent(TDataEvent::kStateChanged, 0);
  if (TDataSet* ds = DataSet(); ds && ds->Active()) ds->UpdateBufferCount();
}

void TDataLink::SetBufferCount(int count) {
  if (count < 1) count = 1;
  if (count == bufferCount_) return;
  bufferCount_ = count;
  if (TDataSet* ds = DataSet(); ds && ds->Active()) {
    ds->UpdateBufferCount();
    UpdateRange();
  }
}

int TDataLink::ActiveRecord() const {
  const TDataSet* ds = DataSet();
  return ds && active_ ? ds->ActiveSlot() - firstRecord_ : 0;
}

int TDataLink::RecordCount() const {
  const TDataSet* ds = DataSet();
  if (!ds || !active_) return 0;
  const int n = ds->WindowRecordCount() - firstRecord_;
  return n < 0 ? 0 : n > bufferCount_ ? bufferCount_ : n;
}

void TDataLink::UpdateRange() {
  const TDataSet* ds = DataSet();
  if (!ds || !active_) {
    firstRecord_ = 0;
    return;
  }
  // Keep the active slot among the rows the view shows, and the shown rows
  // within the window.
  const int active = ds->ActiveSlot();
  int lowest = active - bufferCount_ + 1;
  if (lowest < 0) lowest = 0;
  int highest = ds->WindowSize() - bufferCount_;
  if (highest < 0) highest = 0;
  if (highest > active) highest = active;
  if (firstRecord_ < lowest) firstRecord_ = lowest;
  if (firstRecord_ > highest) firstRecord_ = highest;
}

void TDataLink::DataEvent(TDataEvent event, int info) {
  if (event == TDataEvent::kStateChanged) {
    const TDataSet* ds = DataSet();
    const bool nowActive = ds && ds->Active();
    if (nowActive != active_) {
      active_ = nowActive;
      firstRecord_ = 0;
      if (active_) UpdateRange();
      ActiveChanged();
    }
    StateChanged();
    return;
  }
  if (!active_) return;
  switch (event) {
    case TDataEvent::kCheckBrowse:
      CheckBrowseMode();
      break;
    case TDataEvent::kDataSetChanged:
      UpdateRange();
      DataSetChanged();
      break;
    case TDataEvent::kDataSetScrolled:
      firstRecord_ += info;
      UpdateRange();
      DataSetScrolled(info);
      break;
    case TDataEvent::kStateChanged:
      break;
  }
}

}  // namespace dorvem
