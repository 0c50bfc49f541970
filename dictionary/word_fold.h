// Folding text into the words the everything search compares.
//
// A word is a run of letters and digits; every other character (blanks,
// punctuation, hyphens, apostrophes, symbols, control characters) ends it,
// so the parts of a hyphenated or apostrophe word are words of their own.
// Each letter is folded to lower case without its accents: a letter with a
// canonical decomposition becomes its base letter (ö ő ó -> o, ü ű ú -> u,
// á -> a, é -> e, í -> i, in both cases), then lower case by Unicode's
// locale-independent rules; combining marks are dropped. Folded words are
// UTF-8 bytes, plain ASCII for Hungarian text.
//
// The data's single-byte text is folded through TByteFolder, a table made
// from the same character folding, so the words of the data and of the
// search box always agree.
#pragma once

#include <QStringView>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dorvem {

// The folded form of one character: kWordBreak for a character that ends
// a word, kDropped for one that is left out (a combining mark), else the
// folded character.
inline constexpr char32_t kWordBreak = 0;
inline constexpr char32_t kDropped = 0xFFFFFFFF;
char32_t FoldChar(char32_t c);

// The folded words of `text`, in order, repeats kept.
std::vector<std::string> FoldedWords(QStringView text);

// Appends the UTF-8 bytes of `c` to `out`.
void AppendUtf8(char32_t c, std::string& out);

// Folds text in one single-byte code page.
class TByteFolder {
 public:
  explicit TByteFolder(std::uint32_t codePage);

  // Appends the folded words of `bytes` to `text`, one after the other,
  // and the end of each (its offset in `text`) to `ends`.
  void AppendWords(std::string_view bytes, std::string& text, std::vector<std::size_t>& ends) const;

 private:
  struct Folded {
    std::array<char, 4> bytes{};
    std::uint8_t length = 0;  // 0: a word break, or dropped
    bool dropped = false;
  };
  std::array<Folded, 256> table_{};
};

}  // namespace dorvem
