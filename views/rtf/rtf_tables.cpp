#include "views/rtf/rtf_tables.h"

#include "views/rtf/text_decoder.h"

namespace dorvem::rtf {

void TRtfFontTable::BeginEntry(int number) {
  open_ = true;
  number_ = number;
  charset_ = -1;
  codePage_ = 0;
  hint_ = QFont::AnyStyle;
  name_.clear();
}

void TRtfFontTable::AppendNameBytes(std::string_view bytes, int documentCodePage) {
  while (!bytes.empty()) {
    const std::size_t semicolon = bytes.find(';');
    if (open_) name_.append(bytes.substr(0, semicolon));
    if (semicolon == std::string_view::npos) return;
    EndEntry(documentCodePage);
    bytes.remove_prefix(semicolon + 1);
  }
}

void TRtfFontTable::EndEntry(int documentCodePage) {
  if (!open_) return;
  open_ = false;
  TRtfFont font;
  font.codePage = codePage_ > 0 ? codePage_ : CodePageOfCharset(charset_, documentCodePage);
  font.styleHint = hint_;
  // A symbol font's name is ordinary text, not symbols.
  TTextDecoder decoder(font.codePage == kSymbolCodePage ? kFallbackCodePage : font.codePage);
  decoder.Append(name_, font.name);
  decoder.Flush(font.name);
  font.name = font.name.trimmed();
  fonts_.insert_or_assign(number_, std::move(font));
}

void TRtfColourTable::AppendText(std::string_view text) {
  for (char c : text) {
    if (c != ';') continue;
    colours_.push_back(given_ ? QColor(red_, green_, blue_) : QColor());
    red_ = green_ = blue_ = 0;
    given_ = false;
  }
}

}  // namespace dorvem::rtf
