#include "dataset/packet/xml_text.h"

#include <cstdio>

#include "dataset/locale/locale_services.h"

namespace dorvem::packet {
namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Parses the reference starting at raw[i] == '&'. On success stores the
// character and the reference's length.
bool ParseReference(std::string_view raw, std::size_t i, char32_t* c, std::size_t* length) {
  const std::size_t semi = raw.find(';', i + 1);
  if (semi == std::string_view::npos || semi - i > 12) return false;
  const std::string_view body = raw.substr(i + 1, semi - i - 1);
  *length = semi - i + 1;
  if (body == "lt") {
    *c = '<';
  } else if (body == "gt") {
    *c = '>';
  } else if (body == "amp") {
    *c = '&';
  } else if (body == "quot") {
    *c = '"';
  } else if (body == "apos") {
    *c = '\'';
  } else if (body.size() >= 2 && body[0] == '#') {
    const bool hex = body[1] == 'x' || body[1] == 'X';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty()) return false;
    std::uint32_t v = 0;
    for (char d : digits) {
      int n = -1;
      if (d >= '0' && d <= '9') n = d - '0';
      if (hex && d >= 'a' && d <= 'f') n = d - 'a' + 10;
      if (hex && d >= 'A' && d <= 'F') n = d - 'A' + 10;
      if (n < 0) return false;
      v = v * (hex ? 16 : 10) + static_cast<std::uint32_t>(n);
      if (v > 0x10FFFF) return false;
    }
    *c = v;
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool IsPlain(std::string_view raw, bool utf8) {
  for (char ch : raw) {
    if (ch == '&' || (utf8 && static_cast<unsigned char>(ch) >= 0x80)) return false;
  }
  return true;
}

void AppendUnescaped(std::string_view raw, bool utf8, std::uint32_t codePage, std::string* out) {
  std::size_t i = 0;
  while (i < raw.size()) {
    const std::size_t amp = raw.find('&', i);
    const std::size_t stop = amp == std::string_view::npos ? raw.size() : amp;
    out->append(raw.data() + i, stop - i);
    if (stop == raw.size()) return;
    char32_t c = 0;
    std::size_t length = 0;
    if (!ParseReference(raw, stop, &c, &length)) {
      out->push_back('&');
      i = stop + 1;
      continue;
    }
    if (utf8 || c < 0x80) {
      AppendUtf8(c, out);
    } else {
      std::string one;
      AppendUtf8(c, &one);
      out->append(locale::FromUtf8(one, codePage));
    }
    i = stop + length;
  }
}

void AppendEscaped(std::string_view text, std::string* out) {
  for (char ch : text) {
    switch (ch) {
      case '<':
        out->append("&lt;");
        break;
      case '>':
        out->append("&gt;");
        break;
      case '"':
        out->append("&quot;");
        break;
      case '&':
        out->append("&amp;");
        break;
      case '\'':
        out->append("&apos;");
        break;
      case '\\':
        out->append("&#092;");
        break;
      default:
        if (static_cast<unsigned char>(ch) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "&#%03d;",
                        static_cast<int>(static_cast<unsigned char>(ch)));
          out->append(buf);
        } else {
          out->push_back(ch);
        }
    }
  }
}

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void Utf8ToUtf16le(std::string_view utf8, std::vector<std::uint8_t>* out) {
  auto unit = [&](std::uint32_t u) {
    out->push_back(static_cast<std::uint8_t>(u));
    out->push_back(static_cast<std::uint8_t>(u >> 8));
  };
  const std::size_t n = utf8.size();
  std::size_t i = 0;
  while (i < n) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const int extra = b < 0x80             ? 0
                      : (b & 0xE0) == 0xC0 ? 1
                      : (b & 0xF0) == 0xE0 ? 2
                      : (b & 0xF8) == 0xF0 ? 3
                                           : -1;
    std::uint32_t c = 0xFFFD;
    std::size_t used = 1;
    if (extra == 0) {
      c = b;
    } else if (extra > 0 && i + static_cast<std::size_t>(extra) < n) {
      std::uint32_t v = b & (0x3Fu >> extra);
      bool ok = true;
      for (int k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
        if ((next & 0xC0) != 0x80) ok = false;
        v = (v << 6) | (next & 0x3Fu);
      }
      static constexpr std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
      if (ok && v >= kSmallest[extra] && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF)) {
        c = v;
        used = static_cast<std::size_t>(extra) + 1;
      }
    }
    i += used;
    if (c >= 0x10000) {
      c -= 0x10000;
      unit(0xD800 | (c >> 10));
      unit(0xDC00 | (c & 0x3FF));
    } else {
      unit(c);
    }
  }
}

void Utf16leToUtf8(const std::uint8_t* bytes, std::size_t size, std::string* out) {
  const std::size_t units = size / 2;
  for (std::size_t i = 0; i < units; ++i) {
    char32_t c = static_cast<char32_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
      const char32_t low = static_cast<char32_t>(bytes[2 * i + 2] | (bytes[2 * i + 3] << 8));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
    AppendUtf8(c, out);
  }
}

void AppendBase64(const std::uint8_t* bytes, std::size_t size, std::string* out) {
  std::size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    const std::uint32_t v = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
    for (int s = 18; s >= 0; s -= 6) out->push_back(kBase64[(v >> s) & 0x3F]);
  }
  if (size - i == 1) {
    const std::uint32_t v = bytes[i] << 16;
    out->push_back(kBase64[(v >> 18) & 0x3F]);
    out->push_back(kBase64[(v >> 12) & 0x3F]);
    out->append("==");
  } else if (size - i == 2) {
    const std::uint32_t v = (bytes[i] << 16) | (bytes[i + 1] << 8);
    out->push_back(kBase64[(v >> 18) & 0x3F]);
    out->push_back(kBase64[(v >> 12) & 0x3F]);
    out->push_back(kBase64[(v >> 6) & 0x3F]);
    out->push_back('=');
  }
}

void DecodeBase64(std::string_view text, std::vector<std::uint8_t>* out) {
  std::uint32_t bits = 0;
  int count = 0;
  for (char ch : text) {
    if (ch == '=') break;
    const int v = Base64Value(ch);
    if (v < 0) continue;
    bits = (bits << 6) | static_cast<std::uint32_t>(v);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out->push_back(static_cast<std::uint8_t>(bits >> count));
    }
  }
}

}  // namespace dorvem::packet
