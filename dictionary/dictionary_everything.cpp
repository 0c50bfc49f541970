// TDictionary's everything search and the headword test of cross-references.
#include <algorithm>
#include <cstring>

#include "dataset/store/table.h"
#include "dictionary/dictionary.h"
#include "dictionary/everything_source.h"
#include "dictionary/search_key.h"
#include "dictionary/word_fold.h"

namespace dorvem {

namespace {

DSBASE* EngineTable(const TClientDataSet& ds) {
  // The engine's only table class.
  return static_cast<DSBASE*>(ds.Table());
}

std::string_view StoredString(const DSBASE& table, std::uint32_t record, std::uint32_t field) {
  const auto* bytes = reinterpret_cast<const char*>(table.ValuePtr(record, field));
  return {bytes, strnlen(bytes, table.Field(field).recordLength)};
}

}  // namespace

const TEverythingIndex& TDictionary::EverythingIndex() {
  DSBASE* table = EngineTable(tblAdat);
  if (table == nullptr) {
    everything_ = std::make_unique<TEverythingIndex>();
    everythingTable_ = nullptr;
    return *everything_;
  }
  if (!everything_ || everythingTable_ != table) {
    everything_ = std::make_unique<TEverythingIndex>(BuildEverythingIndex(
        *table, static_cast<std::uint32_t>(Fields[TColumnRole::crHeadword].FieldNo()),
        static_cast<std::uint32_t>(Fields[TColumnRole::crExplanation].FieldNo()),
        tblAdat.TextCodePage()));
    everythingTable_ = table;
  }
  return *everything_;
}

void TDictionary::SearchEverything(const QString& text) {
  const std::vector<std::string> words = FoldedWords(text);
  if (words.empty()) {
    // Both in one change, so that the order never shows every entry
    // between two steps.
    tblAdat.SetFilters(kEmptySearchFilter, std::nullopt);
    return;
  }
  if (!tblAdat.Active()) tblAdat.Open();
  tblAdat.SetFilters(std::string(), EverythingIndex().Matches(words));
}

void TDictionary::EndEverythingSearch() {
  if (tblAdat.HasRecordFilter()) tblAdat.SetRecordFilter(std::nullopt);
}

bool TDictionary::IsHeadword(const QString& text) const {
  const DSBASE* table = EngineTable(tblAdat);
  if (table == nullptr || text.isEmpty()) return false;
  const std::uint32_t codePage = tblAdat.TextCodePage();
  const std::string key = ToCodePage(text, codePage);
  // A character the code page lacks names no headword.
  if (DataText(key) != text) return false;
  const auto field = static_cast<std::uint32_t>(Fields[TColumnRole::crHeadword].FieldNo());
  std::uint32_t count = 0;
  const std::uint32_t* order = table->Ranks().ByteOrder(*table, field, &count);
  if (order == nullptr) {
    for (std::uint32_t r = 1; r <= table->RecordCount(); ++r)
      if (table->RecordVisible(r) && table->NullFlag(r, field) == kNullFlagValue &&
          StoredString(*table, r, field) == key)
        return true;
    return false;
  }
  const std::uint32_t* end = order + count;
  const std::uint32_t* at =
      std::lower_bound(order, end, key, [&](std::uint32_t r, const std::string& k) {
        return StoredString(*table, r, field) < std::string_view(k);
      });
  for (; at != end && StoredString(*table, *at, field) == key; ++at)
    if (table->RecordVisible(*at)) return true;
  return false;
}

bool TDictionary::IsReferenceTarget(const QString& text) const {
  if (!tblAdat.Active() || !IsHeadword(text)) return false;
  return tblAdat.IsEmpty() || text != DataText(Headword());
}

}  // namespace dorvem
