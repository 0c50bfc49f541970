#include "dictionary/everything_source.h"

#include <QTextDocument>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "dataset/core/byte_layout.h"
#include "dataset/store/field_desc.h"
#include "dataset/store/table.h"
#include "dictionary/word_fold.h"
#include "views/rtf/memo_text.h"
#include "views/rtf/rtf_reader.h"

namespace dorvem {

namespace {

bool Present(const DSBASE& table, std::uint32_t record, std::uint32_t field) {
  return table.NullFlag(record, field) == kNullFlagValue;
}

std::string_view StringValue(const DSBASE& table, std::uint32_t record, std::uint32_t field) {
  const auto* bytes = reinterpret_cast<const char*>(table.ValuePtr(record, field));
  return {bytes, strnlen(bytes, table.Field(field).recordLength)};
}

bool ReadBlob(const DSBASE& table, std::uint32_t record, std::uint32_t field, std::string& out) {
  out.clear();
  if (!Present(table, record, field)) return true;
  const std::uint32_t handle = LoadU32(table.ValuePtr(record, field));
  if (handle == 0) return true;
  std::uint32_t length = 0;
  if (table.Blobs()->Length(handle, &length) != dbr::kOk) return false;
  out.resize(length);
  std::uint32_t count = 0;
  if (table.Blobs()->Read(handle, 0, length, out.data(), &count) != dbr::kOk) return false;
  out.resize(count);
  return true;
}

}  // namespace

TEverythingIndex BuildEverythingIndex(DSBASE& table, std::uint32_t headwordField,
                                      std::uint32_t explanationField, std::uint32_t codePage) {
  std::lock_guard<std::recursive_mutex> lock(table.Lock());
  const std::uint32_t records = table.RecordCount();
  TEverythingIndexBuilder builder(records);
  const TByteFolder folder(codePage);
  QTextDocument document;
  std::string memo;
  for (std::uint32_t r = 1; r <= records; ++r) {
    if (!table.RecordVisible(r)) continue;
    auto add = [&](std::string_view word) { builder.Add(r, word); };
    if (Present(table, r, headwordField))
      folder.ForEachWord(StringValue(table, r, headwordField), add);
    if (!ReadBlob(table, r, explanationField, memo) || memo.empty()) continue;
    // The view shows no more of a long memo than its start.
    if (MemoShownInPart(memo.size())) memo.resize(kMaxShownMemoBytes);
    if (rtf::IsRichText(memo)) {
      rtf::ReadRichText(memo, document);
      for (const std::string& word : FoldedWords(document.toPlainText())) builder.Add(r, word);
    } else if (memo.find('\0') == std::string::npos) {
      folder.ForEachWord(memo, add);
    }
  }
  return builder.Finish();
}

}  // namespace dorvem
