#include "memo.h"

#include <cstdio>
#include <set>
#include <stdexcept>

#include "cp1250.h"

namespace demo {
namespace {

struct Marker {
  const char* open;
  const char* close;
  SpanStyle style;
};

constexpr Marker kMarkers[] = {
    {"//", "//", SpanStyle::kItalic},
    {"**", "**", SpanStyle::kBold},
    {"[[", "]]", SpanStyle::kReference},
};

std::string RtfSpan(const Span& s) {
  switch (s.style) {
    case SpanStyle::kItalic:
      return "{\\i " + RtfEscape(s.text) + "}";
    case SpanStyle::kBold:
      return "{\\b " + RtfEscape(s.text) + "}";
    case SpanStyle::kReference:
      return "{\\b\\cf2 " + RtfEscape(s.text) + "}";
    case SpanStyle::kNormal:
      break;
  }
  return RtfEscape(s.text);
}

std::string PlainBlock(const Block& b) {
  std::string text;
  for (const Span& s : ParseInline(b.text)) text += s.text;
  return (b.item ? "\xE2\x80\xA2 " : "") + text;  // U+2022 bullet before list items
}

}  // namespace

std::vector<Span> ParseInline(std::string_view text) {
  std::vector<Span> spans;
  std::string plain;
  size_t pos = 0;
  while (pos < text.size()) {
    const Marker* found = nullptr;
    for (const Marker& m : kMarkers) {
      if (text.substr(pos).starts_with(m.open)) {
        found = &m;
        break;
      }
    }
    // "//" inside a web address is not a marker: it must not follow a colon.
    if (found == nullptr ||
        (found->style == SpanStyle::kItalic && pos > 0 && text[pos - 1] == ':')) {
      plain += text[pos++];
      continue;
    }
    const size_t start = pos + 2;
    const size_t end = text.find(found->close, start);
    if (end == std::string_view::npos) {
      throw std::runtime_error("unclosed " + std::string(found->open) + " in \"" +
                               std::string(text) + "\"");
    }
    const std::string_view inner = text.substr(start, end - start);
    for (const Marker& m : kMarkers) {
      if (inner.find(m.open) != std::string_view::npos) {
        throw std::runtime_error("nested markup in \"" + std::string(text) + "\"");
      }
    }
    if (!plain.empty()) spans.push_back({SpanStyle::kNormal, std::move(plain)});
    plain.clear();
    spans.push_back({found->style, std::string(inner)});
    pos = end + 2;
  }
  if (!plain.empty()) spans.push_back({SpanStyle::kNormal, std::move(plain)});
  return spans;
}

std::string RtfEscape(std::string_view utf8) {
  std::string out;
  for (const char c : Utf8ToCp1250(utf8)) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
    } else if (b >= 0x80) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\'%02x", b);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::string RenderRtf(const Entry& entry) {
  std::string r =
      "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1038"
      "{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}{\\f1\\froman\\fcharset238 Times New Roman;}}\n"
      "{\\colortbl ;\\red128\\green0\\blue0;\\red0\\green0\\blue128;\\red0\\green96\\blue0;}\n"
      "\\viewkind4\\uc1\\pard\\sa120\\f0\\fs26\\cf1\\b " +
      RtfEscape(entry.headword) + "\\b0\\cf0\\fs20 ";
  // The blank that ends a control word is not text: the one between the
  // headword and its origin follows it.
  if (!entry.origin.empty()) r += " {\\f1\\i\\cf3 (" + RtfEscape(entry.origin) + ")}";
  r += "\\par\n";
  for (const Block& b : entry.blocks) {
    r += b.item ? "\\pard\\li360\\fi-200\\sa40 \\'95 " : "\\pard\\sa100 ";
    for (const Span& s : ParseInline(b.text)) r += RtfSpan(s);
    r += "\\par\n";
  }
  r += "}\n";
  return r;
}

std::string RenderPlain(const Entry& entry) {
  std::string text = entry.headword + "\n";
  if (!entry.origin.empty()) text += "(" + entry.origin + ")\n";
  for (size_t i = 0; i < entry.blocks.size(); ++i) {
    const Block& b = entry.blocks[i];
    // A blank line before each paragraph; list items follow each other directly.
    if (!(b.item && i > 0 && entry.blocks[i - 1].item)) text += "\n";
    text += PlainBlock(b) + "\n";
  }
  return Utf8ToCp1250(text);
}

}  // namespace demo

namespace demo {

void CheckReferences(const std::vector<Entry>& entries) {
  std::set<std::string> headwords;
  for (const Entry& e : entries) headwords.insert(e.headword);
  for (const Entry& e : entries) {
    for (const Block& b : e.blocks) {
      for (const Span& s : ParseInline(b.text)) {
        if (s.style == SpanStyle::kReference && !headwords.contains(s.text)) {
          throw std::runtime_error(e.where + ": " + e.headword + ": no entry " + s.text);
        }
      }
    }
  }
}

}  // namespace demo
