#include "views/rtf/document_builder.h"

#include <QTextImageFormat>
#include <QUrl>
#include <algorithm>

namespace dorvem::rtf {

TRtfDocumentBuilder::TRtfDocumentBuilder(QTextDocument& doc, const TRtfFontTable& fonts,
                                         const TRtfColourTable& colours)
    : doc_(doc), fonts_(fonts), colours_(colours), cursor_(&doc) {
  cursor_.movePosition(QTextCursor::End);
}

void TRtfDocumentBuilder::BeginEdit() {
  cursor_.beginEditBlock();
}

void TRtfDocumentBuilder::EndEdit() {
  FlushRun();
  cursor_.endEditBlock();
}

void TRtfDocumentBuilder::SetDefaultFont(int font) {
  if (font == defaultFont_) return;
  FlushRun();
  defaultFont_ = font;
  formats_.clear();
}

void TRtfDocumentBuilder::TablesChanged() {
  FlushRun();
  formats_.clear();
}

const QTextCharFormat& TRtfDocumentBuilder::Format(const TRtfCharProps& props) {
  for (const auto& [p, f] : formats_)
    if (p == props) return f;
  // Hostile input may ask for many; keep the list short.
  if (formats_.size() >= 64) formats_.clear();
  formats_.emplace_back(props, ToCharFormat(props, defaultFont_, fonts_, colours_));
  return formats_.back().second;
}

const QTextBlockFormat& TRtfDocumentBuilder::BlockFormat(const TRtfParaProps& props) {
  for (const auto& [p, f] : blockFormats_)
    if (p == props) return f;
  if (blockFormats_.size() >= 64) blockFormats_.clear();
  blockFormats_.emplace_back(props, ToBlockFormat(props));
  return blockFormats_.back().second;
}

void TRtfDocumentBuilder::OpenPendingParagraph(const TRtfParaProps& para,
                                               const TRtfCharProps& chars) {
  if (!paragraphDue_) return;
  paragraphDue_ = false;
  cursor_.insertBlock(BlockFormat(para), Format(chars));
  blockPara_ = para;
  blockChars_ = chars;
  blockEmpty_ = true;
  length_.NewBlock();
}

void TRtfDocumentBuilder::FormatBlock(const TRtfParaProps& para, const TRtfCharProps& chars) {
  if (!blockPara_ || !(*blockPara_ == para)) cursor_.setBlockFormat(BlockFormat(para));
  if (blockEmpty_ && !(blockChars_ == chars)) cursor_.setBlockCharFormat(Format(chars));
}

void TRtfDocumentBuilder::FlushRun() {
  if (run_.isEmpty()) return;
  cursor_.insertText(run_, Format(runProps_));
  run_.resize(0);
}

void TRtfDocumentBuilder::AppendText(QStringView text, const TRtfCharProps& chars,
                                     const TRtfParaProps& para) {
  if (chars.hidden || text.isEmpty()) return;
  if (!(chars == runProps_)) {
    FlushRun();
    runProps_ = chars;
  }
  // Most text needs no filtering and no new block, and goes in whole.
  const auto safe = [](QChar q) {
    return q.unicode() != 0 && DocumentSafe(q.unicode()) == q.unicode();
  };
  if (!paragraphDue_ && std::all_of(text.begin(), text.end(), safe) && length_.AppendAll(text)) {
    run_.append(text);
    blockEmpty_ = false;
    return;
  }
  for (QChar q : text) {
    const char16_t c = DocumentSafe(q.unicode());
    if (c == 0) continue;
    if (!paragraphDue_ && length_.NeedsNewBlock(c)) ContinueParagraph(para, chars);
    if (paragraphDue_) {
      FlushRun();
      OpenPendingParagraph(para, chars);
    }
    run_.append(QChar(c));
    length_.Append(c);
    blockEmpty_ = false;
  }
}

void TRtfDocumentBuilder::ContinueParagraph(const TRtfParaProps& para, const TRtfCharProps& chars) {
  FlushRun();
  FormatBlock(para, chars);
  paragraphDue_ = true;
}

void TRtfDocumentBuilder::InsertImage(const QImage& image, QSizeF size, const TRtfCharProps& chars,
                                      const TRtfParaProps& para) {
  if (chars.hidden) return;
  FlushRun();
  if (!paragraphDue_ && length_.NeedsNewBlock(QChar::ObjectReplacementCharacter))
    ContinueParagraph(para, chars);
  OpenPendingParagraph(para, chars);
  const QString name = QStringLiteral("rtf-picture:%1").arg(++imageCount_);
  doc_.addResource(QTextDocument::ImageResource, QUrl(name), QVariant(image));
  QTextImageFormat f;
  f.setName(name);
  f.setWidth(size.width());
  f.setHeight(size.height());
  cursor_.insertImage(f);
  length_.Append(QChar::ObjectReplacementCharacter);
  blockEmpty_ = false;
}

void TRtfDocumentBuilder::EndParagraph(const TRtfParaProps& para, const TRtfCharProps& chars) {
  FlushRun();
  OpenPendingParagraph(para, chars);
  FormatBlock(para, chars);
  paragraphDue_ = true;
  ++paragraphsEnded_;
}

void TRtfDocumentBuilder::Finish(const TRtfParaProps& para, const TRtfCharProps& chars) {
  FlushRun();
  if (!paragraphDue_) FormatBlock(para, chars);
}

}  // namespace dorvem::rtf
