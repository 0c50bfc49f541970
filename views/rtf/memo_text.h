// Loading a memo's bytes into a text document the way the explanation view
// shows them: rich text first, plain text second, the failure text last.
//
//  1. Rich text: bytes that begin with "{\rtf" (rtf_reader.h). Reading
//     them never fails, so such a memo always shows as rich text, in its own
//     fonts, sizes, colours and code pages.
//  2. Plain text: any other bytes that contain no zero byte. They are
//     decoded in `codePage` (the data's code page, so Hungarian o and u
//     with double acute show as such) and each line break - CR LF, a lone
//     CR, a lone LF - ends one line. The text takes the document's default
//     font (the view's). Empty bytes (an empty or null memo) give an empty
//     document.
//  3. Bytes with a zero byte that are not rich text are not text: both
//     paths fail, and the document holds only "(Failed to Load Stream)".
//
// Usable without a widget (the caller owns the document), so that a check
// of the data can load every memo exactly as the window does. LoadMemoText
// loads the whole memo at once; while the content is replaced the document
// has no page size, so a view showing it lays it out once afterwards, from
// its start and in steps. TMemoBuild (memo_build.h) builds the same
// document a part at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

class QTextDocument;

namespace dorvem {

// The most of a memo's bytes the explanation view shows: building and
// laying out that much at once, as a key on the view right after the move
// does, takes some 30 to 50 ms of processor time, rich text or plain
// (bench/memo_bench.cpp). The data check warns of longer memos.
inline constexpr std::size_t kMaxShownMemoBytes = 128 * 1024;

// Whether the view shows only the start of a memo of `memoBytes` bytes.
inline bool MemoShownInPart(std::size_t memoBytes) {
  return memoBytes > kMaxShownMemoBytes;
}

inline constexpr char kFailedToLoadStream[] = "Failed to Load Stream";

enum class TMemoOutcome { kRichText, kPlainText, kFailed };

// Replaces the content of `doc` with the memo `bytes`. With `plainTextOnly`
// the rich text step is left out (the bytes are always read as plain text).
TMemoOutcome LoadMemoText(std::string_view bytes, std::uint32_t codePage, QTextDocument& doc,
                          bool plainTextOnly = false);

}  // namespace dorvem
