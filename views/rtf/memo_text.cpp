#include "views/rtf/memo_text.h"

#include <QString>
#include <QTextDocument>

#include "views/rtf/document_builder.h"
#include "views/rtf/rtf_reader.h"
#include "views/rtf/text_decoder.h"

namespace dorvem {

namespace {

// The plain text of `bytes` with every line break as one '\n' and every
// character made safe for a document.
QString PlainText(std::string_view bytes, std::uint32_t codePage) {
  QString decoded;
  decoded.reserve(static_cast<qsizetype>(bytes.size()));
  rtf::TTextDecoder decoder(static_cast<int>(codePage));
  decoder.Append(bytes, decoded);
  decoder.Flush(decoded);

  QString text;
  text.reserve(decoded.size());
  for (qsizetype i = 0; i < decoded.size(); ++i) {
    const char16_t c = decoded[i].unicode();
    if (c == u'\r') {
      if (i + 1 < decoded.size() && decoded[i + 1] == u'\n') ++i;
      text.append(u'\n');
    } else if (c == u'\n') {
      text.append(u'\n');
    } else if (const char16_t safe = rtf::DocumentSafe(c)) {
      text.append(QChar(safe));
    }
  }
  return text;
}

void SetPlainText(QTextDocument& doc, const QString& text) {
  const bool undo = doc.isUndoRedoEnabled();
  doc.setUndoRedoEnabled(false);
  doc.setPlainText(text);
  doc.setUndoRedoEnabled(undo);
}

// While it lives, the document has no page size, so that a view's layout
// does nothing while the content is replaced; giving the size back makes
// the view lay the new content out from its start, in steps (the first
// screen at once, the rest while the program is idle).
class LayoutPause {
 public:
  explicit LayoutPause(QTextDocument& doc) : doc_(doc), size_(doc.pageSize()) {
    doc_.setPageSize(QSizeF(0, 0));  // a null size: layouts wait
  }
  ~LayoutPause() { doc_.setPageSize(size_); }
  LayoutPause(const LayoutPause&) = delete;
  LayoutPause& operator=(const LayoutPause&) = delete;

 private:
  QTextDocument& doc_;
  QSizeF size_;
};

TMemoOutcome Load(std::string_view bytes, std::uint32_t codePage, QTextDocument& doc,
                  bool plainTextOnly) {
  if (!plainTextOnly && rtf::IsRichText(bytes)) {
    rtf::ReadRichText(bytes, doc);
    return TMemoOutcome::kRichText;
  }
  if (bytes.find('\0') == std::string_view::npos) {
    SetPlainText(doc, PlainText(bytes, codePage));
    return TMemoOutcome::kPlainText;
  }
  SetPlainText(doc, QStringLiteral("(%1)").arg(QLatin1String(kFailedToLoadStream)));
  return TMemoOutcome::kFailed;
}

}  // namespace

TMemoOutcome LoadMemoText(std::string_view bytes, std::uint32_t codePage, QTextDocument& doc,
                          bool plainTextOnly) {
  const LayoutPause pause(doc);
  return Load(bytes, codePage, doc, plainTextOnly);
}

}  // namespace dorvem
