// The client dataset's filter: Filter, FilterOptions, Filtered and
// OnFilterRecord turned into filters attached to and detached from the
// engine cursor.
//
// The dataset keeps the engine handle of its expression filter, of its
// callback filter and of its record set filter (0 = none). An expression
// filter's handle is forgotten as soon as it is detached, also when its
// replacement then fails to parse: once a list has emptied, the engine
// starts a new one whose handles count from 1 again, so a remembered old
// number could name another filter (a record set attached meanwhile).
// Detaching a handle the list does not hold is refused by the engine (8712
// or 10756) and ignored.
#include "dataset/filter/expr_parser.h"
#include "dataset/host/application_errors.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"

namespace dorvem {

void TCustomClientDataSet::SetFilter(const std::string& text) {
  UpdateFilter(text, filterOptions_);
}

void TCustomClientDataSet::SetFilterOptions(TFilterOptions options) {
  UpdateFilter(filterText_, options);
}

void TCustomClientDataSet::UpdateFilter(const std::string& text, TFilterOptions options) {
  if (Active() && filtered_) {
    EnsureBrowse();
    if (text != filterText_ || options != filterOptions_) AttachExpressionFilter(text, options);
    // Kept before the move: the filter attached now is this one, also when
    // a notice of the move to its first record raises.
    filterText_ = text;
    filterOptions_ = options;
    GoFirst();
    return;
  }
  filterText_ = text;
  filterOptions_ = options;
}

void TCustomClientDataSet::AttachExpressionFilter(const std::string& text, TFilterOptions options) {
  // Every caller moves to the first record next, or is opening before it.
  // A cursor left on its record would first look for it in the rebuilt
  // list: at a million records, two fifths of a backspace's search.
  // So a filter that parses is attached with the cursor before the first
  // record, and when the engine refuses it, the cursor goes back where it
  // stood.
  EngineBookmark stood;
  Check(cursor_->GetPosition(&stood));
  // The old filter goes first; a stale handle is refused and ignored.
  if (exprFilter_ != 0) (void)cursor_->DetachFilter(exprFilter_);
  exprFilter_ = 0;
  if (text.empty()) return;
  const TExprParser parser(*this, text, options, kPoExtended, "", nullptr, kFieldTypeMap);
  const std::vector<std::uint8_t>& buffer = parser.FilterData();
  Check(cursor_->ToBeforeFirst());
  std::uint32_t handle = 0;
  const DBResult attached =
      cursor_->AttachFilter(buffer.data(), static_cast<std::uint32_t>(buffer.size()), &handle);
  if (attached != dbr::kOk) (void)cursor_->GoToPosition(stood);
  Check(attached);
  exprFilter_ = handle;
}

void TCustomClientDataSet::AttachCallbackFilter() {
  std::uint32_t handle = 0;
  Check(cursor_->AttachFilterCallback(this, &TCustomClientDataSet::FilterRecord, &handle));
  callbackFilter_ = handle;
}

void TCustomClientDataSet::AttachRecordFilter() {
  std::uint32_t handle = 0;
  Check(cursor_->AttachRecordSetFilter(recordFilter_->data(),
                                       static_cast<std::uint32_t>(recordFilter_->size()), &handle));
  recordFilterHandle_ = handle;
}

void TCustomClientDataSet::ActivateFilters() {
  if (!filterText_.empty()) AttachExpressionFilter(filterText_, filterOptions_);
  if (onFilterRecord_) AttachCallbackFilter();
  if (recordFilter_) AttachRecordFilter();
}

void TCustomClientDataSet::DeactivateFilters() {
  if (!cursor_) {
    callbackFilter_ = exprFilter_ = recordFilterHandle_ = 0;
    return;
  }
  if (recordFilterHandle_ != 0) (void)cursor_->DetachFilter(recordFilterHandle_);
  recordFilterHandle_ = 0;
  if (callbackFilter_ != 0) (void)cursor_->DetachFilter(callbackFilter_);
  callbackFilter_ = 0;
  if (exprFilter_ != 0) (void)cursor_->DetachFilter(exprFilter_);
  exprFilter_ = 0;
}

void TCustomClientDataSet::SetFiltered(bool value) {
  if (!Active()) {
    filtered_ = value;
    return;
  }
  EnsureBrowse();
  if (value != filtered_) {
    Check(cursor_->ToBeforeFirst());
    if (value)
      ActivateFilters();
    else
      DeactivateFilters();
    filtered_ = value;
  }
  GoFirst();
}

void TCustomClientDataSet::SetOnFilterRecord(TFilterRecordEvent handler) {
  if (Active() && filtered_) {
    EnsureBrowse();
    const bool had = static_cast<bool>(onFilterRecord_);
    const bool has = static_cast<bool>(handler);
    // The callback filter calls the stored handler, so it is stored first.
    onFilterRecord_ = std::move(handler);
    if (!had && has) {
      AttachCallbackFilter();
    } else if (had && !has) {
      (void)cursor_->DetachFilter(callbackFilter_);
      callbackFilter_ = 0;
    }
    GoFirst();
    return;
  }
  onFilterRecord_ = std::move(handler);
}

void TCustomClientDataSet::SetRecordFilter(std::optional<std::vector<std::uint64_t>> records) {
  recordFilter_ = std::move(records);
  if (!Active() || !filtered_) return;
  EnsureBrowse();
  // The old set goes first (its rebuild is owed to the next attach or
  // move), then the new one is attached, which rebuilds the order once.
  if (recordFilterHandle_ != 0) (void)cursor_->DetachFilter(recordFilterHandle_);
  recordFilterHandle_ = 0;
  if (recordFilter_) AttachRecordFilter();
  GoFirst();
}

void TCustomClientDataSet::SetFilters(const std::string& text,
                                      std::optional<std::vector<std::uint64_t>> records) {
  recordFilter_ = std::move(records);
  if (!Active() || !filtered_) {
    filterText_ = text;
    return;
  }
  EnsureBrowse();
  // Detaching owes a rebuild to the next attach or move; each attach
  // rebuilds, so the expression (when it changes) and then the set are
  // attached, and the move comes last.
  if (recordFilterHandle_ != 0) (void)cursor_->DetachFilter(recordFilterHandle_);
  recordFilterHandle_ = 0;
  if (text != filterText_) AttachExpressionFilter(text, filterOptions_);
  filterText_ = text;
  if (recordFilter_) AttachRecordFilter();
  GoFirst();
}

int TCustomClientDataSet::FilterRecord(void* self, const std::uint8_t* image) {
  auto* ds = static_cast<TCustomClientDataSet*>(self);
  bool accept = true;
  const TDataSetState saved = ds->SetTempState(dsFilter);
  const std::uint8_t* savedImage = std::exchange(ds->filterImage_, image);
  try {
    if (ds->onFilterRecord_) ds->onFilterRecord_(*ds, accept);
  } catch (...) {
    // The engine cannot carry exceptions; the flag keeps what it had.
    HandleApplicationException(std::current_exception());
  }
  ds->filterImage_ = savedImage;
  ds->RestoreState(saved);
  return accept ? 1 : 0;
}

}  // namespace dorvem
