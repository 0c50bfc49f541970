#include "dataset/packet/xml_scanner.h"

#include "dataset/core/ascii.h"

namespace dorvem {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A byte that ends a tag or attribute name.
bool EndsName(char c) {
  return IsSpace(c) || c == '/' || c == '>' || c == '=' || c == '<';
}

}  // namespace

bool XmlScanner::ReadProlog(bool* utf8) {
  *utf8 = false;
  if (text_.substr(0, 3) == "\xEF\xBB\xBF") {
    *utf8 = true;
    pos_ = 3;
  }
  std::size_t p = pos_;
  while (p < text_.size() && IsSpace(text_[p])) ++p;
  if (text_.substr(p, 5) != "<?xml") return true;
  pos_ = p + 5;
  // The declaration's pseudo-attributes, read like a tag's.
  const std::size_t close = text_.find("?>", pos_);
  if (close == std::string_view::npos) return false;
  const std::string_view decl = text_.substr(pos_, close - pos_);
  const std::size_t at = decl.find("encoding");
  if (at != std::string_view::npos) {
    std::size_t q = at + 8;
    while (q < decl.size() && (IsSpace(decl[q]) || decl[q] == '=')) ++q;
    if (q < decl.size() && (decl[q] == '"' || decl[q] == '\'')) {
      const std::size_t end = decl.find(decl[q], q + 1);
      if (end != std::string_view::npos &&
          EqualIgnoringAsciiCase(decl.substr(q + 1, end - q - 1), "UTF-8"))
        *utf8 = true;
    }
  }
  pos_ = close + 2;
  return true;
}

bool XmlScanner::AtTag() const {
  std::size_t p = pos_;
  while (p < text_.size() && IsSpace(text_[p])) ++p;
  return p < text_.size() && text_[p] == '<';
}

bool XmlScanner::SkipPast(std::string_view terminator) {
  const std::size_t at = text_.find(terminator, pos_);
  if (at == std::string_view::npos) return false;
  pos_ = at + terminator.size();
  return true;
}

XmlScanner::Token XmlScanner::Next() {
  for (;;) {
    const std::size_t lt = text_.find('<', pos_);
    if (lt == std::string_view::npos) {
      pos_ = text_.size();
      return Token::kEnd;
    }
    pos_ = lt;
    const std::string_view rest = text_.substr(pos_);
    if (rest.substr(0, 4) == "<!--") {
      if (!SkipPast("-->")) return Token::kError;
    } else if (rest.substr(0, 9) == "<![CDATA[") {
      if (!SkipPast("]]>")) return Token::kError;
    } else if (rest.substr(0, 2) == "<?") {
      if (!SkipPast("?>")) return Token::kError;
    } else if (rest.substr(0, 2) == "<!") {
      if (!SkipPast(">")) return Token::kError;
    } else {
      return ReadTag();
    }
  }
}

XmlScanner::Token XmlScanner::ReadTag() {
  attributes_.clear();
  selfClosing_ = false;
  std::size_t p = pos_ + 1;
  const bool end = p < text_.size() && text_[p] == '/';
  if (end) ++p;
  const std::size_t nameStart = p;
  while (p < text_.size() && !EndsName(text_[p])) ++p;
  if (p == nameStart || p >= text_.size()) return Token::kError;
  name_ = text_.substr(nameStart, p - nameStart);
  for (;;) {
    while (p < text_.size() && IsSpace(text_[p])) ++p;
    if (p >= text_.size()) return Token::kError;
    const char c = text_[p];
    if (c == '>') {
      pos_ = p + 1;
      return end ? Token::kEndTag : Token::kStartTag;
    }
    if (c == '/' && !end) {
      if (p + 1 >= text_.size() || text_[p + 1] != '>') return Token::kError;
      selfClosing_ = true;
      pos_ = p + 2;
      return Token::kStartTag;
    }
    if (end || EndsName(c)) return Token::kError;
    const std::size_t attrStart = p;
    while (p < text_.size() && !EndsName(text_[p])) ++p;
    XmlAttribute a;
    a.name = text_.substr(attrStart, p - attrStart);
    while (p < text_.size() && IsSpace(text_[p])) ++p;
    if (p >= text_.size() || text_[p] != '=') return Token::kError;
    ++p;
    while (p < text_.size() && IsSpace(text_[p])) ++p;
    if (p >= text_.size() || (text_[p] != '"' && text_[p] != '\'')) return Token::kError;
    const std::size_t close = text_.find(text_[p], p + 1);
    if (close == std::string_view::npos) return Token::kError;
    a.value = text_.substr(p + 1, close - p - 1);
    attributes_.push_back(a);
    p = close + 1;
  }
}

const XmlAttribute* XmlScanner::Find(std::string_view name) const {
  for (const XmlAttribute& a : attributes_)
    if (a.name == name) return &a;
  return nullptr;
}

bool XmlScanner::SkipElement() {
  if (selfClosing_) return true;
  int depth = 1;
  while (depth > 0) {
    switch (Next()) {
      case Token::kStartTag:
        if (!selfClosing_) ++depth;
        break;
      case Token::kEndTag:
        --depth;
        break;
      default:
        return false;
    }
  }
  return true;
}

}  // namespace dorvem
