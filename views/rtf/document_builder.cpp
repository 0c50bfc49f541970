#include "views/rtf/document_builder.h"

#include <QTextImageFormat>
#include <QUrl>

namespace dorvem::rtf {

TRtfDocumentBuilder::TRtfDocumentBuilder(QTextDocument& doc, const TRtfFontTable& fonts,
                                         const TRtfColourTable& colours)
    : doc_(doc), fonts_(fonts), colours_(colours), cursor_(&doc) {
  cursor_.movePosition(QTextCursor::End);
  cursor_.beginEditBlock();
}

TRtfDocumentBuilder::~TRtfDocumentBuilder() {
  cursor_.endEditBlock();
}

void TRtfDocumentBuilder::SetDefaultFont(int font) {
  if (font == defaultFont_) return;
  FlushRun();
  defaultFont_ = font;
  cachedProps_.reset();
}

const QTextCharFormat& TRtfDocumentBuilder::Format(const TRtfCharProps& props) {
  if (!cachedProps_ || !(*cachedProps_ == props)) {
    cachedFormat_ = ToCharFormat(props, defaultFont_, fonts_, colours_);
    cachedProps_ = props;
  }
  return cachedFormat_;
}

void TRtfDocumentBuilder::OpenPendingParagraph() {
  if (!paragraphDue_) return;
  paragraphDue_ = false;
  cursor_.insertBlock();
  blockEmpty_ = true;
}

void TRtfDocumentBuilder::FlushRun() {
  if (run_.isEmpty()) return;
  cursor_.insertText(run_, Format(runProps_));
  run_.clear();
}

void TRtfDocumentBuilder::AppendText(QStringView text, const TRtfCharProps& props) {
  if (props.hidden || text.isEmpty()) return;
  if (!(props == runProps_)) {
    FlushRun();
    runProps_ = props;
  }
  for (QChar q : text) {
    const char16_t c = DocumentSafe(q.unicode());
    if (c == 0) continue;
    if (paragraphDue_) {
      FlushRun();
      OpenPendingParagraph();
    }
    run_.append(QChar(c));
    blockEmpty_ = false;
  }
}

void TRtfDocumentBuilder::InsertImage(const QImage& image, QSizeF size,
                                      const TRtfCharProps& props) {
  if (props.hidden) return;
  FlushRun();
  OpenPendingParagraph();
  const QString name = QStringLiteral("rtf-picture:%1").arg(++imageCount_);
  doc_.addResource(QTextDocument::ImageResource, QUrl(name), QVariant(image));
  QTextImageFormat f;
  f.setName(name);
  f.setWidth(size.width());
  f.setHeight(size.height());
  cursor_.insertImage(f);
  blockEmpty_ = false;
}

void TRtfDocumentBuilder::EndParagraph(const TRtfParaProps& para, const TRtfCharProps& chars) {
  FlushRun();
  OpenPendingParagraph();
  cursor_.setBlockFormat(ToBlockFormat(para));
  if (blockEmpty_) cursor_.setBlockCharFormat(Format(chars));
  paragraphDue_ = true;
}

void TRtfDocumentBuilder::Finish(const TRtfParaProps& para, const TRtfCharProps& chars) {
  FlushRun();
  if (paragraphDue_) return;
  cursor_.setBlockFormat(ToBlockFormat(para));
  if (blockEmpty_) cursor_.setBlockCharFormat(Format(chars));
}

}  // namespace dorvem::rtf
