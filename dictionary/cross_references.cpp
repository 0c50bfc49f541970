#include "dictionary/cross_references.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>

namespace dorvem {

namespace {

std::optional<TCrossReference> AsReference(const QTextFragment& fragment,
                                           const TReferenceTest& isTarget) {
  if (!fragment.isValid() || !MarksReference(fragment.charFormat())) return std::nullopt;
  const QString text = fragment.text().trimmed();
  if (text.isEmpty() || !isTarget(text)) return std::nullopt;
  return TCrossReference{fragment.position(), fragment.length(), text};
}

// Calls `visit` with each fragment from the block holding `position` on,
// until it returns true.
template <class Visit>
void ForEachFragmentFrom(const QTextDocument& doc, int position, Visit&& visit) {
  for (QTextBlock block = doc.findBlock(position); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it)
      if (visit(it.fragment())) return;
}

}  // namespace

bool MarksReference(const QTextCharFormat& format) {
  return format.fontWeight() >= QFont::Bold && format.hasProperty(QTextFormat::ForegroundBrush) &&
         format.foreground().style() != Qt::NoBrush;
}

std::optional<TCrossReference> ReferenceAt(const QTextDocument& doc, int position,
                                           const TReferenceTest& isTarget) {
  std::optional<TCrossReference> found;
  if (position < 0) return found;
  const QTextBlock block = doc.findBlock(position);
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QTextFragment f = it.fragment();
    if (position >= f.position() && position < f.position() + f.length()) {
      found = AsReference(f, isTarget);
      break;
    }
  }
  return found;
}

std::optional<TCrossReference> ReferenceFrom(const QTextDocument& doc, int position,
                                             const TReferenceTest& isTarget) {
  std::optional<TCrossReference> found;
  ForEachFragmentFrom(doc, std::max(position, 0), [&](const QTextFragment& f) {
    if (f.position() + f.length() <= position) return false;
    found = AsReference(f, isTarget);
    return found.has_value();
  });
  return found;
}

std::vector<TCrossReference> References(const QTextDocument& doc, const TReferenceTest& isTarget) {
  std::vector<TCrossReference> found;
  ForEachFragmentFrom(doc, 0, [&](const QTextFragment& f) {
    if (auto r = AsReference(f, isTarget)) found.push_back(std::move(*r));
    return false;
  });
  return found;
}

}  // namespace dorvem
