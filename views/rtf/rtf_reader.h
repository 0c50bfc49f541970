// Our RTF reader: rich text bytes in, a QTextDocument out.
//
// What is rich text: bytes that begin with the five bytes "{\rtf". Nothing
// else is read as rich text (not even with leading blanks or a byte-order
// mark); the caller then takes another path (memo_loader.h).
//
// Reading rich text never fails: whatever is malformed is passed over.
// Unknown control words are ignored; an unknown word right after \* skips
// its group. Unbalanced braces are tolerated: bytes after the outermost
// group's end are ignored, and groups still open when the bytes run out are
// closed. Reading is linear in the input and bounded in depth and memory
// (rtf_limits.h).
//
// What it renders: groups; the font table with \fcharset / \fcpg mapped to
// code pages; \ansi \mac \pc \pca \ansicpgN \deffN; the colour table;
// \b \i \ul (and its dotted, dashed and wavy kinds) \ulnone \strike \v
// \sub \super \nosupersub \fs \f \cf \cb \highlight \plain; \par \pard
// \line \tab \ql \qc \qr \qj \li \ri \fi \sb \sa; \sect and \page as
// the end of a paragraph that has content; table cells as tabs and rows as paragraph ends; \'hh and
// 8-bit text in the current font's code page; \uN with \ucN; the symbol
// words (\bullet \emdash \endash \lquote \rquote \ldblquote \rdblquote and
// the spaces and marks) and \~ \- \_ \{ \} \\; \pict pictures in PNG and
// JPEG (other kinds are skipped).
#pragma once

#include <string_view>

class QTextDocument;

namespace dorvem::rtf {

// Whether `bytes` are rich text: they begin with "{\rtf".
bool IsRichText(std::string_view bytes);

// Replaces the content of `doc` with the document read from `bytes`, which
// must be rich text. The document's default font (the view's) applies where
// the text names no font of its table. Undo is left as the document had it;
// nothing is recorded while reading.
void ReadRichText(std::string_view bytes, QTextDocument& doc);

}  // namespace dorvem::rtf
