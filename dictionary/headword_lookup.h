// Looking entries up without a window (`dorvem --lookup`): the entries a
// search finds, each read as what the window would show of it.
//
// ForEachHeadwordMatch runs the window's headword search (TDictionary::
// Search, after the search box's upper-casing), ForEachEverythingMatch its
// everything search, and each visits the entries it lists, in the list's
// order. ReadLookupEntry reads the current entry.
#pragma once

#include <QString>
#include <functional>

#include "dictionary/dictionary.h"

namespace dorvem {

// One entry as text (UTF-8 when converted with toStdString).
struct TLookupEntry {
  QString headword;
  QString text;           // the explanation as plain text (memo_plain_text.h)
  bool hasMedia = false;  // the entry names a media file (FAJLNEV is not null)
  LocatedFile media;      // that file, looked up as the play button looks it up
  QString score;          // the score document, when it exists; else empty
};

// The current entry of `dictionary` (open, a record current). Needs the
// GUI application object.
TLookupEntry ReadLookupEntry(const TDictionary& dictionary);

// Opens `dictionary` (closed; raises what the dataset raises), searches it
// for `term` as the search box would after it was typed there (upper-cased
// by the data's casing rules), and calls `visit` once per entry of the list,
// the entry current. An empty term (after trimming) visits nothing.
void ForEachHeadwordMatch(TDictionary& dictionary, const QString& term,
                          const std::function<void()>& visit);

// The same for the everything search (TDictionary::SearchEverything):
// opens `dictionary`, lists the entries that have a word of their headword
// or explanation beginning with each word of `words`, and visits them in
// headword order. Words without a letter or digit visit nothing.
void ForEachEverythingMatch(TDictionary& dictionary, const QString& words,
                            const std::function<void()>& visit);

}  // namespace dorvem
