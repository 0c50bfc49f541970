#include "dictionary/headword_lookup.h"

#include <vector>

#include "dataset/host/fields.h"
#include "dataset/locale/locale_services.h"
#include "dictionary/memo_plain_text.h"
#include "dictionary/search_key.h"
#include "dictionary/word_fold.h"

namespace dorvem {

TLookupEntry ReadLookupEntry(const TDictionary& dictionary) {
  TLookupEntry entry;
  entry.headword = dictionary.DataText(dictionary.Headword());
  std::vector<std::uint8_t> memo;
  static_cast<const TBlobField&>(dictionary.Fields[TColumnRole::crExplanation]).SaveToBytes(&memo);
  entry.text =
      MemoPlainText(std::string_view(reinterpret_cast<const char*>(memo.data()), memo.size()),
                    dictionary.tblAdat.TextCodePage());
  entry.hasMedia = dictionary.HasMedia();
  if (entry.hasMedia) entry.media = dictionary.MediaFile();
  const LocatedFile score = dictionary.ScoreFile();
  if (score.exists) entry.score = score.path;
  return entry;
}

void ForEachHeadwordMatch(TDictionary& dictionary, const QString& term,
                          const std::function<void()>& visit) {
  dictionary.Open();
  const QString typed = QString::fromStdU16String(
      locale::CharUpperW(dictionary.tblAdat.Lcid(), term.toStdU16String()));
  // The box's text, trimmed as the search key will be: a term of blanks
  // would list every entry, which is not a look-up.
  if (SearchKey(ToCodePage(typed, dictionary.tblAdat.TextCodePage())).empty()) return;
  dictionary.Search(typed);
  for (dictionary.tblAdat.GoFirst(); !dictionary.tblAdat.IsEmpty() && !dictionary.tblAdat.AtEnd();
       dictionary.tblAdat.GoNext())
    visit();
}

void ForEachEverythingMatch(TDictionary& dictionary, const QString& words,
                            const std::function<void()>& visit) {
  dictionary.Open();
  // Nothing to look for would list every entry, which is not a look-up.
  if (FoldedWords(words).empty()) return;
  dictionary.SearchEverything(words);
  for (dictionary.tblAdat.GoFirst(); !dictionary.tblAdat.IsEmpty() && !dictionary.tblAdat.AtEnd();
       dictionary.tblAdat.GoNext())
    visit();
}

}  // namespace dorvem
