// The font table and the colour table of an RTF document, and how the
// reader fills them while it is inside \fonttbl and \colortbl.
//
// Font table: each entry starts with \fN; \fcharsetN, \fcpgN and the family
// words (\froman, \fswiss, ...) describe it, and its text up to ";" (or to
// the end of its group) is its name, decoded in its own code page. A later
// entry of the same number replaces the earlier one.
//
// Colour table: entries end with ";"; \redN \greenN \blueN (0..255) give
// the colour; an entry without them is the automatic colour (index 0 in
// the usual "{\colortbl ;...}").
//
// Both tables belong to the reader of one document.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dorvem::rtf {

struct TRtfFont {
  QString name;
  QFont::StyleHint styleHint = QFont::AnyStyle;
  int codePage = 0;  // resolved from \fcpg or \fcharset when the entry ends
};

class TRtfFontTable {
 public:
  // The font of number `n`, or null.
  const TRtfFont* Find(int n) const {
    auto it = fonts_.find(n);
    return it == fonts_.end() ? nullptr : &it->second;
  }

  // Reading the table: \fN starts an entry (ending one in progress).
  void BeginEntry(int number);
  void SetCharset(int charset) { charset_ = charset; }
  void SetCodePage(int codePage) { codePage_ = codePage; }
  void SetStyleHint(QFont::StyleHint hint) { hint_ = hint; }
  // Name bytes, raw or from \'hh; a ";" among them ends the entry.
  void AppendNameBytes(std::string_view bytes, int documentCodePage);
  // Ends the entry in progress, if any (at ";" and at a group's end).
  void EndEntry(int documentCodePage);

 private:
  std::unordered_map<int, TRtfFont> fonts_;
  bool open_ = false;
  int number_ = 0;
  int charset_ = -1;
  int codePage_ = 0;
  QFont::StyleHint hint_ = QFont::AnyStyle;
  std::string name_;
};

class TRtfColourTable {
 public:
  // The colour of index `n`; invalid for the automatic colour and for
  // indexes outside the table.
  QColor At(int n) const {
    return (n >= 0 && static_cast<std::size_t>(n) < colours_.size()) ? colours_[n] : QColor();
  }

  // Reading the table.
  void SetRed(int v) { Set(red_, v); }
  void SetGreen(int v) { Set(green_, v); }
  void SetBlue(int v) { Set(blue_, v); }
  // Text of the table; each ";" ends an entry.
  void AppendText(std::string_view text);

 private:
  void Set(int& channel, int v) {
    channel = v < 0 ? 0 : v > 255 ? 255 : v;
    given_ = true;
  }

  std::vector<QColor> colours_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool given_ = false;
};

}  // namespace dorvem::rtf
