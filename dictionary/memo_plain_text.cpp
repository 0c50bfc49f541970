#include "dictionary/memo_plain_text.h"

#include <QTextDocument>

#include "views/rtf/memo_text.h"

namespace dorvem {

QString MemoPlainText(std::string_view bytes, std::uint32_t codePage) {
  QTextDocument doc;
  doc.setUndoRedoEnabled(false);
  LoadMemoText(bytes, codePage, doc);
  const QString raw = doc.toRawText();
  QString text;
  text.reserve(raw.size());
  for (const QChar c : raw) {
    switch (c.unicode()) {
      case QChar::ParagraphSeparator:
      case QChar::LineSeparator:
        text += u'\n';
        break;
      case QChar::Nbsp:
        text += u' ';
        break;
      case QChar::ObjectReplacementCharacter:
        break;
      default:
        text += c;
    }
  }
  return text;
}

}  // namespace dorvem
