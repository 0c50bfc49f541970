#include "dictionary/everything_source.h"

#include <QTextDocument>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "dataset/core/byte_layout.h"
#include "dataset/store/blob_read_ahead.h"
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

// The explanation of `record` into `out`; false when it cannot be read.
bool ReadBlob(const DSBASE& table, BlobReadAhead& blobs, std::uint32_t record, std::uint32_t field,
              std::string& out) {
  out.clear();
  if (!Present(table, record, field)) return true;
  const std::uint32_t handle = LoadU32(table.ValuePtr(record, field));
  return handle == 0 || blobs.Read(handle, out) == dbr::kOk;
}

}  // namespace

TEverythingIndex BuildEverythingIndex(DSBASE& table, std::uint32_t headwordField,
                                      std::uint32_t explanationField, std::uint32_t codePage) {
  std::lock_guard<std::recursive_mutex> lock(table.Lock());
  const std::uint32_t records = table.RecordCount();
  TEverythingIndexBuilder builder(records);
  const TByteFolder folder(codePage);
  QTextDocument document;
  // The memos lie in the data file in record order: read them a window at a time.
  BlobReadAhead blobs(*table.Blobs());
  std::string memo;
  // Each record's words, added together (TEverythingIndexBuilder::AddWords).
  std::string text;
  std::vector<std::size_t> ends;
  std::vector<std::string_view> words;
  for (std::uint32_t r = 1; r <= records; ++r) {
    if (!table.RecordVisible(r)) continue;
    text.clear();
    ends.clear();
    if (Present(table, r, headwordField))
      folder.AppendWords(StringValue(table, r, headwordField), text, ends);
    if (ReadBlob(table, blobs, r, explanationField, memo) && !memo.empty()) {
      // The view shows no more of a long memo than its start.
      if (MemoShownInPart(memo.size())) memo.resize(kMaxShownMemoBytes);
      if (rtf::IsRichText(memo)) {
        rtf::ReadRichText(memo, document);
        for (const std::string& word : FoldedWords(document.toPlainText())) {
          text.append(word);
          ends.push_back(text.size());
        }
      } else if (memo.find('\0') == std::string::npos) {
        folder.AppendWords(memo, text, ends);
      }
    }
    words.clear();
    std::size_t start = 0;
    for (const std::size_t end : ends) {
      words.emplace_back(text.data() + start, end - start);
      start = end;
    }
    builder.AddWords(r, words);
  }
  return builder.Finish();
}

}  // namespace dorvem
