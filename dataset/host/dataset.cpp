#include "dataset/host/dataset.h"

#include <algorithm>

#include "dataset/host/db_errors.h"
#include "dataset/host/host_messages.h"
#include "dataset/host/open_steps.h"
#include "dataset/locale/locale_services.h"

namespace dorvem {

TDataSet::TDataSet(std::string name) : TComponent(std::move(name)) {}

TDataSet::~TDataSet() {
  for (TDataSource* source : std::vector<TDataSource*>(dataSources_)) source->SetDataSet(nullptr);
  for (TField* field : std::vector<TField*>(fields_)) field->dataSet_ = nullptr;
}

// --- Opening and closing -----------------------------------------------

void TDataSet::SetActive(bool value) {
  if (value == Active()) return;
  if (value)
    DoOpen();
  else
    DoClose();
}

void TDataSet::DoOpen() {
  Fire(BeforeOpen);
  try {
    state_ = dsOpening;
    InternalOpen();
    // The window starts empty; sizing it fills it forwards from the engine
    // cursor, which stands before the first record.
    ClearWindow();
    windowSize_ = 0;
    buffers_.clear();
    int wanted = 1;
    for (TDataSource* source : dataSources_)
      for (TDataLink* link : source->Links()) wanted = std::max(wanted, link->BufferCount());
    SetWindowSize(wanted);
    OpenStepDone("window");
    bof_ = true;
    eof_ = recordCount_ == 0;
  } catch (...) {
    state_ = dsInactive;
    ClearWindow();
    buffers_.clear();
    windowSize_ = 0;
    InternalClose();
    throw;
  }
  SetState(dsBrowse);
  Fire(AfterOpen);
  if (recordCount_ > 0) Fire(AfterScroll);
}

void TDataSet::DoClose() {
  Fire(BeforeClose);
  SetState(dsInactive);
  ClearWindow();
  buffers_.clear();
  windowSize_ = 0;
  InternalClose();
  Fire(AfterClose);
}

void TDataSet::SetState(TDataSetState state) {
  if (state_ == state) return;
  state_ = state;
  DataEvent(TDataEvent::kStateChanged);
}

void TDataSet::DataEvent(TDataEvent event, int info) {
  for (TDataSource* source : std::vector<TDataSource*>(dataSources_)) source->Notify(event, info);
}

void TDataSet::EnsureBrowse() {
  if (!Active()) DatabaseError(msg::kDataSetClosed, Name());
  DataEvent(TDataEvent::kCheckBrowse);
}

int TDataSet::RecNo() const {
  if (!Active() || activeSlot_ >= recordCount_) return 0;
  return static_cast<int>(buffers_[activeSlot_].sequence);
}

// --- Record window -----------------------------------------------------

void TDataSet::ClearWindow() {
  recordCount_ = 0;
  activeSlot_ = 0;
  cursorSlot_ = -1;
  bof_ = true;
  eof_ = true;
}

void TDataSet::CursorToSlot(int slot) {
  if (cursorSlot_ == slot) return;
  InternalSetToRecord(buffers_[slot]);
  cursorSlot_ = slot;
}

bool TDataSet::FetchIntoSpare(TGetMode mode) {
  if (GetRecord(buffers_[recordCount_], mode, true) == TGetResult::kOk) return true;
  cursorSlot_ = -1;
  return false;
}

void TDataSet::FirstRecordArrived() {
  recordCount_ = 1;
  activeSlot_ = 0;
  bof_ = eof_ = false;
}

bool TDataSet::FetchNext() {
  if (recordCount_ > 0) CursorToSlot(recordCount_ - 1);
  if (!FetchIntoSpare(TGetMode::kNext)) return false;
  if (recordCount_ == 0) {
    FirstRecordArrived();
  } else if (recordCount_ < windowSize_) {
    ++recordCount_;
  } else {
    // Slide: buffer 0 leaves, the spare becomes the last buffer.
    std::rotate(buffers_.begin(), buffers_.begin() + 1, buffers_.end());
  }
  cursorSlot_ = recordCount_ - 1;
  return true;
}

bool TDataSet::FetchPrior() {
  if (recordCount_ > 0) CursorToSlot(0);
  if (!FetchIntoSpare(TGetMode::kPrior)) return false;
  // The spare becomes buffer 0; when the window was full its last buffer
  // becomes the new spare.
  std::rotate(buffers_.begin(), buffers_.begin() + recordCount_,
              buffers_.begin() + recordCount_ + 1);
  if (recordCount_ == 0) {
    FirstRecordArrived();
  } else if (recordCount_ < windowSize_) {
    ++recordCount_;
    ++activeSlot_;
  }
  cursorSlot_ = 0;
  return true;
}

void TDataSet::SetWindowSize(int w) {
  if (w == windowSize_) return;
  std::vector<TDataLink*> links;
  for (TDataSource* source : dataSources_)
    for (TDataLink* link : source->Links())
      if (link->Active()) links.push_back(link);

  if (w < windowSize_ && recordCount_ > 0) {
    int f = activeSlot_;
    for (TDataLink* link : links) f = std::min(f, link->FirstRecord());
    if (f + w >= windowSize_ + 1) f = windowSize_ + 1 - w - 1;
    if (f < 0) f = 0;
    if (f > 0) std::rotate(buffers_.begin(), buffers_.begin() + f, buffers_.end());
    activeSlot_ -= f;
    if (cursorSlot_ != -1) cursorSlot_ -= f;
    recordCount_ = std::min(recordCount_ - f, w);
    if (cursorSlot_ >= recordCount_) cursorSlot_ = -1;
    for (TDataLink* link : links) link->SetFirstRecord(link->FirstRecord() - f);
  }
  const std::size_t imageSize = RecordImageSize();
  buffers_.resize(static_cast<std::size_t>(w) + 1);
  for (RecordBuffer& b : buffers_)
    if (b.image.size() != imageSize) b.image.assign(imageSize, 0);
  windowSize_ = w;
  if (state_ == dsInactive) return;

  while (recordCount_ < windowSize_ && FetchNext()) {
  }
  while (recordCount_ < windowSize_) {
    const int before = recordCount_;
    if (!FetchPrior()) break;
    // Records that arrive in front push the views' rows down.
    if (before > 0)
      for (TDataLink* link : links) link->SetFirstRecord(link->FirstRecord() + 1);
  }
}

void TDataSet::UpdateBufferCount() {
  if (!Active()) return;
  int wanted = 1;
  for (TDataSource* source : dataSources_)
    for (TDataLink* link : source->Links()) wanted = std::max(wanted, link->BufferCount());
  SetWindowSize(wanted);
}

// --- Moves ---------------------------------------------------------------

template <class Move, class Finish>
void TDataSet::ScrollWith(Move&& move, Finish&& finish) {
  try {
    move();
  } catch (...) {
    finish();
    Fire(AfterScroll);
    throw;
  }
  finish();
  Fire(AfterScroll);
}

void TDataSet::GoFirst() {
  EnsureBrowse();
  Fire(BeforeScroll);
  ClearWindow();
  ScrollWith(
      [&] {
        InternalFirst();
        while (recordCount_ < windowSize_ && FetchNext()) {
        }
      },
      [&] {
        bof_ = true;
        DataEvent(TDataEvent::kDataSetChanged);
      });
}

void TDataSet::GoLast() {
  EnsureBrowse();
  Fire(BeforeScroll);
  ClearWindow();
  ScrollWith(
      [&] {
        InternalLast();
        while (recordCount_ < windowSize_ && FetchPrior()) {
        }
        // The last record is the current one.
        activeSlot_ = recordCount_ > 0 ? recordCount_ - 1 : 0;
      },
      [&] {
        eof_ = true;
        DataEvent(TDataEvent::kDataSetChanged);
      });
}

int TDataSet::MoveRecords(int n) {
  EnsureBrowse();
  int moved = 0;
  Fire(BeforeScroll);
  if (!((n > 0 && !eof_) || (n < 0 && !bof_))) return 0;
  bof_ = eof_ = false;
  const int countBefore = recordCount_;
  int distance = 0;
  ScrollWith(
      [&] {
        while (n > 0) {
          if (activeSlot_ < recordCount_ - 1) {
            ++activeSlot_;
          } else {
            const bool wasFull = recordCount_ >= windowSize_;
            if (!FetchNext()) {
              eof_ = true;
              break;
            }
            if (wasFull) --distance;
            if (activeSlot_ < recordCount_ - 1) ++activeSlot_;
          }
          --n;
          ++moved;
        }
        while (n < 0) {
          if (activeSlot_ > 0) {
            --activeSlot_;
          } else {
            const bool wasFull = recordCount_ >= windowSize_;
            if (!FetchPrior()) {
              bof_ = true;
              break;
            }
            if (wasFull) ++distance;
            if (activeSlot_ > 0) --activeSlot_;
          }
          ++n;
          --moved;
        }
      },
      [&] {
        if (recordCount_ != countBefore)
          DataEvent(TDataEvent::kDataSetChanged);
        else
          DataEvent(TDataEvent::kDataSetScrolled, distance);
      });
  return moved;
}

void TDataSet::GoToNumber(int k) {
  EnsureBrowse();
  if (k == RecNo()) return;
  Fire(BeforeScroll);
  const DBResult r = InternalMoveToSeqNo(k);
  if (r != dbr::kOk) {
    cursorSlot_ = -1;
    Check(r);
  }
  cursorSlot_ = -1;
  RefillWindow(false, true);
  Fire(AfterScroll);
}

void TDataSet::RefillWindow(bool exact, bool centre) {
  int target = centre ? (windowSize_ - 1) / 2 : activeSlot_;
  try {
    // The record the engine cursor stands on becomes the only one, in slot 0.
    TGetResult r;
    if (exact) {
      cursorSlot_ = -1;
      r = GetRecord(buffers_[0], TGetMode::kCurrent, false);
      if (r != TGetResult::kOk) DatabaseError(msg::kRecordNotFound, Name());
    } else {
      r = GetRecord(buffers_[0], TGetMode::kCurrent, false);
      if (r != TGetResult::kOk) r = GetRecord(buffers_[0], TGetMode::kNext, false);
      if (r != TGetResult::kOk) r = GetRecord(buffers_[0], TGetMode::kPrior, false);
      if (r != TGetResult::kOk) {
        ClearWindow();
        DataEvent(TDataEvent::kDataSetChanged);
        return;
      }
    }
    recordCount_ = 1;
    activeSlot_ = 0;
    cursorSlot_ = 0;
    bof_ = eof_ = false;
    if (target > windowSize_ - 1) target = windowSize_ - 1;
    while (activeSlot_ < target && FetchPrior()) {
    }
    while (recordCount_ < windowSize_ && FetchNext()) {
    }
    while (recordCount_ < windowSize_ && FetchPrior()) {
    }
  } catch (...) {
    DataEvent(TDataEvent::kDataSetChanged);
    throw;
  }
  DataEvent(TDataEvent::kDataSetChanged);
}

// --- Fields --------------------------------------------------------------

std::size_t TDataSet::ReadBlobPart(const TField* field, std::size_t offset, std::size_t count,
                                   std::uint8_t* out, std::size_t* size) {
  std::vector<std::uint8_t> bytes;
  GetBlobBytes(field, &bytes);
  *size = bytes.size();
  if (offset >= bytes.size()) return 0;
  const std::size_t n = std::min(count, bytes.size() - offset);
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), n, out);
  return n;
}

TField* TDataSet::FindField(std::string_view name) const {
  const std::string key(name);
  for (TField* f : fields_)
    if (locale::lstrcmpiA(f->FieldName().c_str(), key.c_str()) == 0) return f;
  return nullptr;
}

TField* TDataSet::FieldByName(std::string_view name) const {
  TField* f = FindField(name);
  if (!f) DatabaseError(msg::Fmt(msg::kFieldNotFound, {name}), Name());
  return f;
}

FilterField TDataSet::FieldForFilter(std::string_view name) const {
  const TField* f = FieldByName(name);
  return {f->FieldName(), f->FieldNo(), f->DataType(), f->Size(), f->FieldKind()};
}

void TDataSet::AddField(TField* field) {
  fields_.push_back(field);
}

void TDataSet::RemoveField(TField* field) {
  fields_.erase(std::remove(fields_.begin(), fields_.end(), field), fields_.end());
}

void TDataSet::AdoptField(std::unique_ptr<TField> field) {
  field->dataSet_ = this;
  fields_.push_back(field.get());
  ownFields_.push_back(std::move(field));
}

void TDataSet::DestroyOwnFields() {
  for (auto& f : ownFields_) RemoveField(f.get());
  ownFields_.clear();
}

}  // namespace dorvem
