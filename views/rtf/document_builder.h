// TRtfDocumentBuilder: writes what the RTF reader reads into a
// QTextDocument, through one cursor at the document's end.
//
// Text is gathered into a run while the character properties stay the same
// and inserted in one piece when they change, so a document costs one
// insertion per formatting run; formats are made once per distinct set of
// properties. Every character passes one filter before it enters the
// document (document-safe text, below).
//
// Paragraphs: RTF gives a paragraph its properties at its end (\par, or the
// end of the document). EndParagraph only notes that a new block is due;
// the next content opens it with the settings in force then, which are
// nearly always the final ones, and the paragraph's end formats the block
// again only when they changed.
// A document ending in \par therefore has no empty last paragraph, while
// "\par\par" still makes one empty paragraph between. An empty paragraph
// takes the character format of its mark, so its height follows \fs. A
// paragraph too long for one block (block_length.h) goes on in a new block
// with the settings in force there, which its end then formats as above.
//
// The reader writes in steps, each between BeginEdit and EndEdit and so one
// edit block of the document: a view showing the document lays each step
// out once, when it ends. A step that ends where a paragraph ended
// (AtParagraphEnd) leaves every block in the document in its final form;
// the next block is opened by the next step. The builder does not own the
// document or the tables; it lives for one reading.
#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringView>
#include <QTextCursor>
#include <QTextDocument>
#include <optional>
#include <utility>
#include <vector>

#include "views/rtf/block_length.h"
#include "views/rtf/rtf_formats.h"

namespace dorvem::rtf {

class TRtfFontTable;
class TRtfColourTable;

// The character that may stand in a document for `c`, or 0 when `c` is
// dropped: tab stays, other C0 controls are dropped (line breaks become
// paragraphs before this), the paragraph separator becomes a line
// separator, and the document's own frame and object marks (U+FDD0, U+FDD1,
// U+FFFC) become U+FFFD.
inline char16_t DocumentSafe(char16_t c) {
  if (c < 0x20) return c == u'\t' ? c : 0;
  if (c == 0x2029) return 0x2028;
  if (c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFC) return 0xFFFD;
  return c;
}

class TRtfDocumentBuilder {
 public:
  TRtfDocumentBuilder(QTextDocument& doc, const TRtfFontTable& fonts,
                      const TRtfColourTable& colours);
  TRtfDocumentBuilder(const TRtfDocumentBuilder&) = delete;
  TRtfDocumentBuilder& operator=(const TRtfDocumentBuilder&) = delete;

  // A step of writing: everything appended between the two is one edit of
  // the document. EndEdit inserts the text gathered so far first.
  void BeginEdit();
  void EndEdit();
  // Whether a paragraph has just ended and the next one is not open yet.
  bool AtParagraphEnd() const { return paragraphDue_; }
  // How many paragraphs have ended so far.
  std::size_t ParagraphsEnded() const { return paragraphsEnded_; }

  // The font of \deffN, for runs whose font is the default one.
  void SetDefaultFont(int font);
  // The tables changed: formats made so far are made again when used.
  void TablesChanged();

  // Appends text shown with `chars` (nothing when hidden). `para` is the
  // paragraph setting in force, the likely one of a paragraph this opens.
  void AppendText(QStringView text, const TRtfCharProps& chars, const TRtfParaProps& para);
  void AppendChar(char16_t c, const TRtfCharProps& chars, const TRtfParaProps& para) {
    AppendText(QStringView(&c, 1), chars, para);
  }
  // Inserts a picture shown at `size` document pixels; the image becomes a
  // resource of the document.
  void InsertImage(const QImage& image, QSizeF size, const TRtfCharProps& chars,
                   const TRtfParaProps& para);
  // Ends the paragraph in progress with `para`; `chars` is the format of
  // its mark.
  void EndParagraph(const TRtfParaProps& para, const TRtfCharProps& chars);
  // Whether the paragraph in progress holds text or a picture.
  bool ParagraphHasContent() const { return !paragraphDue_ && (!blockEmpty_ || !run_.isEmpty()); }
  // Ends the document: the last paragraph, if open, gets `para`.
  void Finish(const TRtfParaProps& para, const TRtfCharProps& chars);

 private:
  // Ends the block in progress, formatted with `para`, so that the next
  // content opens a new one; the paragraph goes on there.
  void ContinueParagraph(const TRtfParaProps& para, const TRtfCharProps& chars);
  // Opens the paragraph a \par made due, formatted with `para` and `chars`.
  void OpenPendingParagraph(const TRtfParaProps& para, const TRtfCharProps& chars);
  // Gives the current block `para` and, when it is empty, `chars`.
  void FormatBlock(const TRtfParaProps& para, const TRtfCharProps& chars);
  void FlushRun();
  const QTextCharFormat& Format(const TRtfCharProps& props);
  const QTextBlockFormat& BlockFormat(const TRtfParaProps& props);

  QTextDocument& doc_;
  const TRtfFontTable& fonts_;
  const TRtfColourTable& colours_;
  QTextCursor cursor_;
  int defaultFont_ = -1;
  bool paragraphDue_ = false;  // a \par was read; the next content opens a block
  bool blockEmpty_ = true;     // nothing inserted into the current block yet
  TBlockLength length_;        // of the current block
  std::size_t paragraphsEnded_ = 0;
  // What the current block was given when it was opened (none for the
  // document's first block).
  std::optional<TRtfParaProps> blockPara_;
  TRtfCharProps blockChars_;
  QString run_;
  TRtfCharProps runProps_;
  // Formats made so far, by the properties they were made from (a document
  // uses few).
  std::vector<std::pair<TRtfCharProps, QTextCharFormat>> formats_;
  std::vector<std::pair<TRtfParaProps, QTextBlockFormat>> blockFormats_;
  int imageCount_ = 0;
};

}  // namespace dorvem::rtf
