#include "dataset/host/table_preload.h"

#include <pthread.h>
#include <sys/stat.h>

#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "dataset/eval/collation_profile.h"
#include "dataset/filter/expr_parser.h"
#include "dataset/filter/field_lookup.h"
#include "dataset/host/db_errors.h"
#include "dataset/host/field_defs.h"
#include "dataset/host/field_types.h"
#include "dataset/host/index_defs.h"
#include "dataset/host/packet_file.h"
#include "dataset/index/index_list.h"

namespace dorvem {

struct TTablePreload::State {
  TTablePreloadRequest request;
  std::thread thread;
  // Written by the thread, read after it was joined.
  bool loaded = false;
  PacketSource source;
  EngineRef<TDSBASE> table;
  EngineRef<TDSCursor> cursor;
};

namespace {

std::mutex offerMutex;
// The live preload; guarded by offerMutex. A taker joins its thread under
// the lock, so the preload's destructor waits for a hand-over in progress.
TTablePreload::State* offered = nullptr;

// The fields a filter may name, as the table's definitions give them.
class DefinitionLookup final : public FieldLookup {
 public:
  explicit DefinitionLookup(const TFieldDefs& defs) : defs_(defs) {}
  FilterField FieldForFilter(std::string_view name) const override {
    const TFieldDef* def = defs_.Find(name);
    if (def == nullptr) DatabaseError(name);  // dropped: the open reports it
    return {def->name, def->fieldNo, def->dataType, def->size, fkData};
  }

 private:
  const TFieldDefs& defs_;
};

// The key fields' numbers, in order; false when one is not a field.
bool KeyFieldNumbers(const TFieldDefs& defs, const std::string& names,
                     std::vector<std::uint32_t>* numbers) {
  for (const std::string& name : SplitFieldList(names)) {
    const TFieldDef* def = defs.Find(name);
    if (def == nullptr || def->fieldNo < 1) return false;
    numbers->push_back(static_cast<std::uint32_t>(def->fieldNo));
  }
  return !numbers->empty();
}

// Loads and orders; anything that fails leaves `loaded` false.
void Load(TTablePreload::State& s) {
  PacketBytes packet = ReadPacketFileOf(s.request.fileName, s.request.cacheFolder, {});
  const PacketSource source = packet.Source();
  EngineRef<TDSBASE> table;
  EngineRef<TDSCursor> cursor;
  if (DSBASE_Factory(table.Receive()) != dbr::kOk ||
      table->AppendData(std::move(packet), true) != dbr::kOk ||
      DSCursor_Factory(cursor.Receive()) != dbr::kOk || cursor->InitCursor(table.get()) != dbr::kOk)
    return;
  DSProps props;
  if (cursor->GetCursorProps(&props) != dbr::kOk) return;
  std::vector<DSFLDDesc> descs(props.fieldCount);
  if (cursor->GetFieldDescs(descs.data()) != dbr::kOk) return;
  TFieldDefs defs;
  defs.Build(descs);
  // The collation profile the filter's comparisons use is made on a thread
  // of its own while this one orders the rows: the two share nothing, and
  // by then the window's thread mostly waits for this one.
  std::jthread profile;
  if (!s.request.filterText.empty()) {
    try {
      profile = std::jthread(
          [lcid = props.lcid, ignoreCase = (s.request.filterOptions & foCaseInsensitive) != 0] {
            try {
              (void)eval::CollationProfile::ForLocale(lcid, ignoreCase);
            } catch (...) {
              // Made by the filter's first compile instead.
            }
          });
    } catch (const std::system_error&) {
    }
  }
  // Ordered as the dataset's open orders by key field names: ascending,
  // case as it is.
  std::vector<std::uint32_t> keys;
  if (!s.request.indexFieldNames.empty() &&
      (!KeyFieldNumbers(defs, s.request.indexFieldNames, &keys) ||
       cursor->SortByFields(static_cast<std::uint32_t>(keys.size()), keys.data(), nullptr,
                            nullptr) != dbr::kOk))
    return;
  if (!s.request.filterText.empty()) {
    // Only for what the filter leaves on the table: a filter that does not
    // parse or attach is the open's to report.
    try {
      const DefinitionLookup lookup(defs);
      const TExprParser parser(lookup, s.request.filterText, s.request.filterOptions, kPoExtended,
                               "", nullptr, kFieldTypeMap);
      EngineRef<TDSCursor> scratch;
      std::uint32_t handle = 0;
      if (DSCursor_Factory(scratch.Receive()) == dbr::kOk &&
          scratch->InitCursor(table.get()) == dbr::kOk)
        (void)scratch->AttachFilter(parser.FilterData().data(),
                                    static_cast<std::uint32_t>(parser.FilterData().size()),
                                    &handle);
    } catch (const std::exception&) {
    }
  }
  s.source = source;
  s.table = std::move(table);
  s.cursor = std::move(cursor);
  s.loaded = true;
}

}  // namespace

TTablePreload::TTablePreload(TTablePreloadRequest request) {
  std::lock_guard lock(offerMutex);
  if (offered != nullptr) return;
  auto state = std::make_unique<State>();
  state->request = std::move(request);
  try {
    state->thread = std::thread([s = state.get()] {
      (void)::pthread_setname_np(::pthread_self(), "table preload");
      try {
        Load(*s);
      } catch (...) {
        // Not loaded: the open reads the file itself and reports.
      }
    });
  } catch (const std::system_error&) {
    return;
  }
  state_ = std::move(state);
  offered = state_.get();
}

TTablePreload::~TTablePreload() {
  if (!state_) return;
  std::lock_guard lock(offerMutex);
  if (offered == state_.get()) offered = nullptr;
  if (state_->thread.joinable()) state_->thread.join();
}

void TTablePreload::Wait() {
  std::lock_guard lock(offerMutex);
  if (state_ && state_->thread.joinable()) state_->thread.join();
}

bool TakePreloadedTable(const std::string& fileName, const std::string& cacheFolder,
                        const std::string& indexFieldNames, EngineRef<TDSBASE>* table,
                        EngineRef<TDSCursor>* cursor) {
  std::lock_guard lock(offerMutex);
  TTablePreload::State* s = offered;
  if (s == nullptr || s->request.fileName != fileName || s->request.cacheFolder != cacheFolder ||
      s->request.indexFieldNames != indexFieldNames)
    return false;
  offered = nullptr;  // one open takes it, or none
  if (s->thread.joinable()) s->thread.join();
  EngineRef<TDSCursor> ordered = std::move(s->cursor);
  EngineRef<TDSBASE> loaded = std::move(s->table);
  struct stat st {};
  if (!s->loaded || ::stat(fileName.c_str(), &st) != 0) return false;
  if (PacketSourceOf(fileName, cacheFolder, st) != s->source)
    return false;  // a file changed since: the open loads it anew
  *table = std::move(loaded);
  *cursor = std::move(ordered);
  return true;
}

}  // namespace dorvem
