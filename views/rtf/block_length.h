// TBlockLength: where the document builders (the RTF reader's and the
// plain text path's) continue a long paragraph in a new block, so that no
// block grows past the bounds of rtf_limits.h. It sees every character as
// it enters the document and answers, before the next one, whether that
// one opens a new block: after kMaxUnbrokenChars characters with no place
// to break, or at the first character after a break once the block holds
// kMaxBlockChars. A new block is opened only for a character that follows,
// so a paragraph never ends in an empty continuation.
#pragma once

#include <QStringView>

#include "views/rtf/rtf_limits.h"

namespace dorvem::rtf {

// Whether `c` (as it enters the document) is a place where a line may
// break, for the bounds above: a space, a tab or a line separator.
inline bool BreaksLine(char16_t c) {
  return c == u' ' || c == u'\t' || c == 0x2028;
}

// The count of the block in progress.
class TBlockLength {
 public:
  // Whether `c`, appended next, goes into a new block.
  bool NeedsNewBlock(char16_t c) const {
    return (unbroken_ >= kMaxUnbrokenChars && !BreaksLine(c)) ||
           (length_ >= kMaxBlockChars && afterBreak_);
  }
  // `c` was appended to the block.
  void Append(char16_t c) {
    ++length_;
    afterBreak_ = BreaksLine(c);
    unbroken_ = afterBreak_ ? 0 : unbroken_ + 1;
  }
  // Appends all of `text` when none of it goes into a new block; returns
  // whether it did (else nothing is appended).
  bool AppendAll(QStringView text) {
    TBlockLength after = *this;
    for (const QChar c : text) {
      if (after.NeedsNewBlock(c.unicode())) return false;
      after.Append(c.unicode());
    }
    *this = after;
    return true;
  }
  // A new block was opened.
  void NewBlock() { *this = TBlockLength(); }

 private:
  int length_ = 0;
  int unbroken_ = 0;
  bool afterBreak_ = false;
};

}  // namespace dorvem::rtf
