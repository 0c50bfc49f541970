#include "packet_json.h"

#include <cstdio>

namespace demo {

std::string JsonQuote(const std::string& s) {
  std::string out = "\"";
  for (const char c : s) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char esc[8];
          std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(c));
          out += esc;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string PacketJson(const std::vector<PacketRow>& rows) {
  std::string j =
      "{\n"
      "  \"params\": {\"LCID\": 1038},\n"
      "  \"columns\": [\n"
      "    {\"name\": \"FAJLNEV\", \"type\": \"string\", \"width\": 255},\n"
      "    {\"name\": \"KSZOVEG\", \"type\": \"string\", \"width\": 40},\n"
      "    {\"name\": \"SZOVMAGY\", \"type\": \"blob\", \"subtype\": \"Text\"},\n"
      "    {\"name\": \"GRAPHIC\", \"type\": \"blob\", \"subtype\": \"Binary\"},\n"
      "    {\"name\": \"Index\", \"type\": \"int32\"}\n"
      "  ],\n"
      "  \"rows\": [\n";
  for (size_t i = 0; i < rows.size(); ++i) {
    const PacketRow& r = rows[i];
    j += "    {\"FAJLNEV\": " + (r.media ? JsonQuote(*r.media) : std::string("null"));
    j += ", \"KSZOVEG\": " + JsonQuote(r.headword);
    j += ", \"SZOVMAGY\": {\"file\": " + JsonQuote(r.memo_file) + "}";
    j += ", \"GRAPHIC\": " +
         (r.picture ? "{\"file\": " + JsonQuote(*r.picture) + "}" : std::string("null"));
    j += ", \"Index\": " + std::to_string(r.index) + "}";
    j += i + 1 < rows.size() ? ",\n" : "\n";
  }
  j += "  ]\n}\n";
  return j;
}

}  // namespace demo
