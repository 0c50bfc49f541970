#include "dictionary/word_fold.h"

#include <cstring>

#include <QChar>
#include <QList>
#include <QString>

#include "dataset/locale/code_page.h"

namespace dorvem {

namespace {

bool IsWordCategory(QChar::Category category) {
  switch (category) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
      return true;
    default:
      return false;
  }
}

bool IsMark(QChar::Category category) {
  return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
         category == QChar::Mark_Enclosing;
}

// The base letter of `c`: the first character of its canonical
// decomposition, followed down to the end.
char32_t BaseLetter(char32_t c) {
  for (int depth = 0; depth < 4; ++depth) {
    if (QChar::decompositionTag(c) != QChar::Canonical) break;
    const QString d = QChar::decomposition(c);
    if (d.isEmpty()) break;
    const char32_t first = d.at(0).isHighSurrogate() && d.size() > 1
                               ? QChar::surrogateToUcs4(d.at(0), d.at(1))
                               : d.at(0).unicode();
    if (first == c) break;
    c = first;
  }
  return c;
}

}  // namespace

char32_t FoldChar(char32_t c) {
  if (c < 0x80) {
    if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return c;
    return kWordBreak;
  }
  const QChar::Category category = QChar::category(c);
  if (IsMark(category)) return kDropped;
  if (!IsWordCategory(category)) return kWordBreak;
  return QChar::toLower(BaseLetter(c));
}

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::vector<std::string> FoldedWords(QStringView text) {
  std::vector<std::string> words;
  std::string current;
  for (const char32_t c : text.toUcs4()) {
    const char32_t folded = FoldChar(c);
    if (folded == kDropped) continue;
    if (folded == kWordBreak) {
      if (!current.empty()) words.push_back(std::move(current));
      current.clear();
      continue;
    }
    AppendUtf8(folded, current);
  }
  if (!current.empty()) words.push_back(std::move(current));
  return words;
}

TByteFolder::TByteFolder(std::uint32_t codePage) {
  const locale::CodePage& cp = locale::CodePage::Get(codePage);
  for (int b = 0; b < 256; ++b) {
    Folded& f = table_[static_cast<std::size_t>(b)];
    const char32_t folded = FoldChar(cp.Decode(static_cast<unsigned char>(b)));
    if (folded == kDropped) {
      f.dropped = true;
      continue;
    }
    if (folded == kWordBreak) continue;
    std::string bytes;
    AppendUtf8(folded, bytes);
    std::copy(bytes.begin(), bytes.end(), f.bytes.begin());
    f.length = static_cast<std::uint8_t>(bytes.size());
  }
}

void TByteFolder::AppendWords(std::string_view bytes, std::string& text,
                              std::vector<std::size_t>& ends) const {
  // Room for the most the bytes can fold to (four bytes each), written
  // through a pointer and cut back at the end.
  const std::size_t base = text.size();
  text.resize(base + 4 * bytes.size());
  char* const begin = text.data();
  char* out = begin + base;
  char* start = out;
  for (const char ch : bytes) {
    const Folded& f = table_[static_cast<unsigned char>(ch)];
    if (f.length != 0) {
      std::memcpy(out, f.bytes.data(), 4);
      out += f.length;
    } else if (!f.dropped && out > start) {
      ends.push_back(static_cast<std::size_t>(out - begin));
      start = out;
    }
  }
  if (out > start) ends.push_back(static_cast<std::size_t>(out - begin));
  text.resize(static_cast<std::size_t>(out - begin));
}

}  // namespace dorvem
