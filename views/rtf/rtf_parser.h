// TRtfParser: the RTF reader's state machine. It pulls tokens from the
// tokenizer, keeps the group stack (each group a copy of its parent's
// character and paragraph properties, destination and \uc value), fills the
// font and colour tables, gathers pictures, and hands text, breaks and
// pictures to the document builder.
//
// The stack is an explicit vector, never deeper than kMaxGroupDepth; braces
// beyond that depth are counted and otherwise ignored. Reading ends when
// the outermost group closes or the bytes run out (open groups are then
// closed as if their braces had been there). Each token is handled in
// constant time apart from the text it carries, so reading is linear in the
// input.
//
// Reading goes in steps (Step), so that a document can be built a part at
// a time: the parser keeps its whole state between steps, and a step
// stops only right after a paragraph ended (or at the document's end), so
// every block already in the document is complete.
//
// After \uN the next \ucN characters (1 by default) are skipped: each text
// byte, \'hh, control symbol and \bin counts as one; a control word or a
// brace ends the skipping. Surrogate pairs may come as two \u words; a lone
// surrogate becomes U+FFFD.
//
// Internal to the reader (rtf_reader.cpp); one parser reads one document.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "views/rtf/document_builder.h"
#include "views/rtf/rtf_formats.h"
#include "views/rtf/rtf_picture.h"
#include "views/rtf/rtf_tables.h"
#include "views/rtf/rtf_tokenizer.h"
#include "views/rtf/rtf_words.h"
#include "views/rtf/text_decoder.h"

class QTextDocument;

namespace dorvem::rtf {

enum class TRtfDestination : std::uint8_t { kText, kSkip, kFontTable, kColourTable, kPicture };

struct TRtfGroup {
  TRtfCharProps chars;
  TRtfParaProps para;
  TRtfDestination destination = TRtfDestination::kText;
  bool destinationStart = false;  // the destination began in this group
  bool ignorable = false;         // \* was read; the next word decides
  int unicodeSkip = 1;
};

// A step budget that reads the whole document.
inline constexpr std::size_t kWholeDocument = static_cast<std::size_t>(-1);

class TRtfParser {
 public:
  // `bytes` must outlive the parser; the document's content is appended to
  // (the caller empties it first).
  TRtfParser(std::string_view bytes, QTextDocument& doc);
  // Reads the rest of the document.
  void Run();
  // Reads on until at least `bytes` more input bytes are used and a
  // paragraph has just ended in this step (nothing of the next one read
  // into the document yet), or to the document's end; what it reads is
  // one edit of the document. Returns whether the document is complete
  // (then further steps do nothing).
  bool Step(std::size_t bytes);
  bool Done() const { return ended_; }

 private:
  void OnToken(TRtfToken t);
  void OpenGroup();
  void CloseGroup();
  void EndDocument();

  void OnWord(const TRtfToken& t);
  void OnTextWord(const TRtfWordInfo& info, const TRtfToken& t, TRtfGroup& g);
  void OnFontTableWord(const TRtfWordInfo& info, const TRtfToken& t);
  void OnPictureWord(const TRtfWordInfo& info, const TRtfToken& t);
  void OnSymbol(unsigned char symbol);
  void SetDocumentCodePage(int codePage);
  void OnBytes(std::string_view bytes);
  void OnUnicode(std::int32_t value);

  // Decodes the text bytes gathered since the last other token in the
  // current font's code page and hands them to the builder.
  void FlushBytes();
  void EmitChar(char16_t c);
  void EmitPendingSurrogate();
  TTextDecoder& DecoderFor(int codePage);
  int CurrentCodePage() const;

  TRtfTokenizer tokens_;
  std::vector<TRtfGroup> groups_;
  int overflow_ = 0;  // braces opened beyond kMaxGroupDepth
  TRtfFontTable fonts_;
  TRtfColourTable colours_;
  TRtfDocumentBuilder builder_;
  int documentCodePage_ = kFallbackCodePage;
  int defaultFont_ = -1;
  int skip_ = 0;                // characters still to skip after \u
  char16_t highSurrogate_ = 0;  // the first half of a pair, waiting for its second
  std::optional<TRtfPicture> picture_;
  std::int64_t pixelBudget_;
  std::vector<std::pair<int, std::unique_ptr<TTextDecoder>>> decoders_;
  std::string pendingBytes_;  // text bytes and \'hh not yet decoded
  // The decoder of the font last used for text, until fonts or code pages
  // change.
  int decoderFont_ = -1;
  TTextDecoder* decoder_ = nullptr;
  QString scratch_;
  bool ended_ = false;
};

}  // namespace dorvem::rtf
