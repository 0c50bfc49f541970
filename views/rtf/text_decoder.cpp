#include "views/rtf/text_decoder.h"

#include <unicode/ucnv.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace dorvem::rtf {

namespace {

// Opens ICU's converter for a Windows code page number; null when ICU has
// none.
UConverter* OpenConverter(int codePage) {
  std::string names[3];
  if (codePage == 65001) {
    names[0] = "UTF-8";
  } else if (codePage == 10000) {
    names[0] = "macintosh";
  } else {
    names[0] = "windows-" + std::to_string(codePage);
    names[1] = "cp" + std::to_string(codePage);
    names[2] = "ibm-" + std::to_string(codePage);
  }
  for (const std::string& name : names) {
    if (name.empty()) continue;
    UErrorCode status = U_ZERO_ERROR;
    UConverter* c = ucnv_open(name.c_str(), &status);
    if (!U_FAILURE(status)) return c;  // an ambiguous alias still converts
    if (c != nullptr) ucnv_close(c);
  }
  return nullptr;
}

enum class TTableResult { kBuilt, kMultiByte, kUnknown };

// The table of a single-byte code page from ICU.
TTableResult BuildTable(int codePage, std::array<char16_t, 256>& table) {
  UConverter* c = OpenConverter(codePage);
  if (c == nullptr) return TTableResult::kUnknown;
  const bool single = ucnv_getMaxCharSize(c) == 1;
  for (int b = 0; single && b < 256; ++b) {
    const char in = static_cast<char>(b);
    UChar out[4] = {};
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(c);
    const int32_t n = ucnv_toUChars(c, out, 4, &in, 1, &status);
    table[b] = (U_FAILURE(status) || n != 1) ? u'\uFFFD' : static_cast<char16_t>(out[0]);
  }
  ucnv_close(c);
  return single ? TTableResult::kBuilt : TTableResult::kMultiByte;
}

// The symbol font's Greek letters and common signs.
void ApplySymbolFont(std::array<char16_t, 256>& table) {
  const std::u16string_view upper = u"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ";
  const std::u16string_view lower = u"αβχδεφγηιϕκλμνοπθρστυϖωξψζ";
  for (std::size_t i = 0; i < 26; ++i) {
    table[0x41 + i] = upper[i];
    table[0x61 + i] = lower[i];
  }
  const std::pair<unsigned char, char16_t> signs[] = {
      {0xA3, u'≤'}, {0xA5, u'∞'}, {0xA7, u'♣'}, {0xA8, u'♦'}, {0xA9, u'♥'},
      {0xAA, u'♠'}, {0xAC, u'←'}, {0xAD, u'↑'}, {0xAE, u'→'}, {0xAF, u'↓'},
      {0xB0, u'°'}, {0xB1, u'±'}, {0xB3, u'≥'}, {0xB4, u'×'}, {0xB7, u'•'},
      {0xB8, u'÷'}, {0xB9, u'≠'}, {0xBC, u'…'}, {0xD6, u'√'}, {0xE5, u'∑'}};
  for (const auto& [b, c] : signs) table[b] = c;
}

// Process-wide single-byte tables, built on first use and never freed; a
// null entry marks a code page that needs a converter. Code pages ICU does
// not know are not kept, so arbitrary numbers cannot grow the map.
const std::array<char16_t, 256>* SingleByteTable(int codePage) {
  static std::mutex mutex;
  static std::map<int, std::unique_ptr<std::array<char16_t, 256>>> tables;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = tables.find(codePage);
  if (it != tables.end()) return it->second.get();
  auto table = std::make_unique<std::array<char16_t, 256>>();
  const bool symbol = codePage == kSymbolCodePage;
  const TTableResult result = BuildTable(symbol ? kFallbackCodePage : codePage, *table);
  if (result == TTableResult::kUnknown) return nullptr;
  if (result == TTableResult::kMultiByte) table.reset();
  if (symbol && table) ApplySymbolFont(*table);
  return tables.emplace(codePage, std::move(table)).first->second.get();
}

}  // namespace

int CodePageOfCharset(int charset, int documentCodePage) {
  switch (charset) {
    case 0:
      return 1252;
    case 2:
      return kSymbolCodePage;
    case 77:
      return 10000;
    case 128:
      return 932;
    case 129:
      return 949;
    case 130:
      return 1361;
    case 134:
      return 936;
    case 136:
      return 950;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 163:
      return 1258;
    case 177:
      return 1255;
    case 178:
      return 1256;
    case 186:
      return 1257;
    case 204:
      return 1251;
    case 222:
      return 874;
    case 238:
      return 1250;
    case 254:
      return 437;
    case 255:
      return 850;
    default:
      return documentCodePage;
  }
}

TTextDecoder::TTextDecoder(int codePage) : codePage_(codePage) {
  table_ = SingleByteTable(codePage);
  if (table_ != nullptr) return;
  converter_ = OpenConverter(codePage);
  if (converter_ == nullptr) table_ = SingleByteTable(kFallbackCodePage);
}

TTextDecoder::~TTextDecoder() {
  if (converter_ != nullptr) ucnv_close(converter_);
}

void TTextDecoder::AppendMultiByte(std::string_view bytes, QString& out, bool flush) {
  static const char kNothing = 0;
  const char* source = bytes.empty() ? &kNothing : bytes.data();
  const char* const sourceEnd = source + bytes.size();
  UChar buffer[256];
  for (;;) {
    UChar* target = buffer;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(converter_, &target, buffer + std::size(buffer), &source, sourceEnd, nullptr,
                   flush, &status);
    out.append(reinterpret_cast<const QChar*>(buffer), target - buffer);
    if (status != U_BUFFER_OVERFLOW_ERROR) {
      if (U_FAILURE(status)) ucnv_reset(converter_);
      return;
    }
  }
}

}  // namespace dorvem::rtf
