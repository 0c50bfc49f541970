// XmlScanner: the small XML tokenizer the text packet reader runs on.
//
// It walks a document held in memory and hands out start tags (name,
// attributes with their values still escaped, whether the tag closes itself)
// and end tags. Character data between tags, comments, processing
// instructions, CDATA sections and document type declarations are skipped:
// a data packet keeps everything in attributes. Names and values are views
// into the document, which must outlive the scanner; the attribute list is
// reused from tag to tag, so reading allocates nothing once it has grown.
//
// The scanner checks only what it needs to find the next tag (quotes,
// brackets, the end of the text); nesting is the caller's to check.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace dorvem {

struct XmlAttribute {
  std::string_view name;
  std::string_view value;  // between the quotes, not unescaped
};

class XmlScanner {
 public:
  enum class Token { kStartTag, kEndTag, kEnd, kError };

  explicit XmlScanner(std::string_view text) : text_(text) {}

  // Skips an optional UTF-8 byte-order mark and an optional declaration
  // "<?xml ...?>". *utf8 is set when the mark is present or the declaration
  // names the encoding "UTF-8" (in any case). False when the declaration is
  // not closed.
  bool ReadProlog(bool* utf8);

  // True when the next character that is not white space is "<".
  bool AtTag() const;

  // Moves to the next start or end tag. kEnd at the end of the text, kError
  // for markup that is not closed or a malformed tag.
  Token Next();

  std::string_view Name() const { return name_; }
  bool SelfClosing() const { return selfClosing_; }
  const std::vector<XmlAttribute>& Attributes() const { return attributes_; }
  // The value of attribute `name` of the current tag, or null.
  const XmlAttribute* Find(std::string_view name) const;

  // Skips the content of the current start tag up to and including its
  // matching end tag (nothing for a self-closing tag). False when the text
  // ends first or the nesting is broken.
  bool SkipElement();

  std::size_t Position() const { return pos_; }
  std::size_t Size() const { return text_.size(); }

 private:
  bool SkipPast(std::string_view terminator);
  Token ReadTag();

  std::string_view text_;
  std::size_t pos_ = 0;
  std::string_view name_;
  bool selfClosing_ = false;
  std::vector<XmlAttribute> attributes_;
};

}  // namespace dorvem
