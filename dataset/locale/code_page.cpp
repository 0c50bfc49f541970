// Single-byte code page tables built from ICU converters, and the UTF-8
// conversions over them.
#include "dataset/locale/code_page.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "dataset/locale/locale_services.h"

namespace dorvem::locale {
namespace {

// Opens ICU's converter for a Windows code page number. ICU answers the
// windows-N aliases with U_AMBIGUOUS_ALIAS_WARNING, which is success.
UConverter* OpenConverter(std::uint32_t number) {
  for (const char* prefix : {"windows-", "cp", "ibm-"}) {
    const std::string name = prefix + std::to_string(number);
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name.c_str(), &status);
    if (U_SUCCESS(status) && converter != nullptr) return converter;
    if (converter != nullptr) ucnv_close(converter);
  }
  return nullptr;
}

}  // namespace

bool CodePage::Load() {
  UConverter* converter = OpenConverter(number_);
  if (converter == nullptr) return false;
  if (ucnv_getMaxCharSize(converter) != 1) {
    ucnv_close(converter);
    return false;
  }
  UErrorCode status = U_ZERO_ERROR;
  ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    UChar out[4];
    status = U_ZERO_ERROR;
    ucnv_reset(converter);
    const int32_t n = ucnv_toUChars(converter, out, 4, &byte, 1, &status);
    // An undefined byte stands for the control character of its own value.
    decode_[b] =
        U_SUCCESS(status) && n == 1 ? static_cast<char16_t>(out[0]) : static_cast<char16_t>(b);
  }
  ucnv_close(converter);

  for (int b = 0; b < 256; ++b) encode_[b] = {decode_[b], static_cast<std::uint8_t>(b)};
  // Stable, so that of two bytes with the same character the lower one wins.
  std::stable_sort(encode_.begin(), encode_.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  return true;
}

const CodePage& CodePage::Get(std::uint32_t number) {
  static std::mutex mutex;
  // A null entry marks a code page ICU has no single-byte table for.
  static std::map<std::uint32_t, std::unique_ptr<CodePage>> tables;
  std::lock_guard<std::mutex> lock(mutex);
  const auto load = [](std::uint32_t n) -> const CodePage* {
    auto [it, inserted] = tables.try_emplace(n);
    if (inserted) {
      std::unique_ptr<CodePage> page(new CodePage(n));
      if (page->Load()) it->second = std::move(page);
    }
    return it->second.get();
  };
  if (const CodePage* page = load(number)) return *page;
  const CodePage* fallback = load(kDefaultCodePage);
  if (fallback == nullptr) std::abort();  // an ICU build without the Windows tables
  return *fallback;
}

int CodePage::Encode(char32_t c) const {
  if (c < 0x80 && decode_[c] == c) return static_cast<int>(c);
  if (c > 0xFFFF) return -1;
  const auto it = std::lower_bound(
      encode_.begin(), encode_.end(), static_cast<char16_t>(c),
      [](const std::pair<char16_t, std::uint8_t>& entry, char16_t v) { return entry.first < v; });
  if (it == encode_.end() || it->first != c) return -1;
  return it->second;
}

std::string ToUtf8(std::string_view bytes, std::uint32_t codePage) {
  const CodePage& page = CodePage::Get(codePage);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (const char ch : bytes) {
    const char16_t u = page.Decode(static_cast<unsigned char>(ch));
    char buf[U8_MAX_LENGTH];
    int32_t n = 0;
    U8_APPEND_UNSAFE(buf, n, u);
    out.append(buf, static_cast<std::size_t>(n));
  }
  return out;
}

std::string FromUtf8(std::string_view utf8, std::uint32_t codePage, char replacement) {
  const CodePage& page = CodePage::Get(codePage);
  std::string out;
  out.reserve(utf8.size());
  const auto* s = reinterpret_cast<const std::uint8_t*>(utf8.data());
  const auto length = static_cast<int32_t>(utf8.size());
  int32_t i = 0;
  while (i < length) {
    UChar32 c = 0;
    U8_NEXT(s, i, length, c);  // an ill-formed sequence gives c < 0
    const int b = c < 0 ? -1 : page.Encode(static_cast<char32_t>(c));
    out.push_back(b < 0 ? replacement : static_cast<char>(b));
  }
  return out;
}

}  // namespace dorvem::locale
