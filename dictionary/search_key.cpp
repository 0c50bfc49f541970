#include "dictionary/search_key.h"

#include <QList>

#include "dataset/locale/code_page.h"

namespace dorvem {

std::string ToCodePage(const QString& text, std::uint32_t codePage) {
  const locale::CodePage& cp = locale::CodePage::Get(codePage);
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (const char32_t c : text.toUcs4()) {
    const int b = cp.Encode(c);
    bytes.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return bytes;
}

std::string SearchKey(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  std::string key(text);
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return key;
}

std::string SearchFilter(std::string_view key) {
  std::string filter = "KSZOVEG='";
  filter += key;
  filter += "*'";
  return filter;
}

}  // namespace dorvem
