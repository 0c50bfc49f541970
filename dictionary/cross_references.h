// Cross-references in an explanation: the runs it marks as references and
// whose text names an entry.
//
// An explanation marks a reference by writing it bold in a colour of its
// own (the demo dictionary's "Vö. STACCATO, KÖTŐÍV"). A run is a stretch of
// the document's text in one character format (a QTextFragment); it is a
// reference when its format is bold with a foreground colour of its own
// and its text, blanks trimmed, passes the caller's test (a headword of the
// dictionary other than the entry's own: TDictionary::IsReferenceTarget).
// A marked run whose text names no entry stays plain text.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QTextCharFormat;
class QTextDocument;

namespace dorvem {

struct TCrossReference {
  int position = 0;  // of the run's first character in the document
  int length = 0;    // of the run
  QString target;    // the run's text, blanks trimmed
  bool operator==(const TCrossReference&) const = default;
};

// Whether a piece of text names an entry a reference may lead to.
using TReferenceTest = std::function<bool(const QString& text)>;

// Whether text in `format` is marked as a reference: bold, with a colour.
bool MarksReference(const QTextCharFormat& format);

// The reference whose run holds the character at `position`, if any.
std::optional<TCrossReference> ReferenceAt(const QTextDocument& doc, int position,
                                           const TReferenceTest& isTarget);
// The first reference whose run ends after `position` (the one at it, or
// the next one), if any.
std::optional<TCrossReference> ReferenceFrom(const QTextDocument& doc, int position,
                                             const TReferenceTest& isTarget);
// Every reference of the document, in order.
std::vector<TCrossReference> References(const QTextDocument& doc, const TReferenceTest& isTarget);

}  // namespace dorvem
