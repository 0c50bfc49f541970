#include "tools/cdstool/packet_json.h"

#include <cstring>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "dataset/core/byte_layout.h"
#include "dataset/core/day_number.h"
#include "dataset/locale/locale_services.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/xml_text.h"
#include "tools/cdstool/packet_file.h"

namespace cdstool {

using namespace dorvem;
using json = nlohmann::json;
namespace pk = dorvem::packet;

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what);
}

struct ScalarType {
  std::uint32_t code;
  std::uint32_t size;
};

const std::map<std::string, ScalarType>& IntegerTypes() {
  static const std::map<std::string, ScalarType> types = {
      {"int8", {pk::kTcInt, 1}},    {"int16", {pk::kTcInt, 2}},   {"int32", {pk::kTcInt, 4}},
      {"int64", {pk::kTcInt, 8}},   {"uint8", {pk::kTcUInt, 1}},  {"uint16", {pk::kTcUInt, 2}},
      {"uint32", {pk::kTcUInt, 4}}, {"uint64", {pk::kTcUInt, 8}}, {"bool", {pk::kTcBool, 2}},
  };
  return types;
}

void AppendInteger(std::vector<std::uint8_t>* out, std::int64_t v, std::uint32_t size) {
  for (std::uint32_t i = 0; i < size; ++i) out->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::vector<std::uint8_t> HexDecode(const std::string& text) {
  std::vector<std::uint8_t> out;
  int high = -1;
  for (char c : text) {
    int v = c >= '0' && c <= '9'   ? c - '0'
            : c >= 'a' && c <= 'f' ? c - 'a' + 10
            : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                   : -1;
    if (v < 0) continue;
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<std::uint8_t>(high * 16 + v));
      high = -1;
    }
  }
  return out;
}

class Builder {
 public:
  Builder(std::string baseDir, const BuildProgress& progress)
      : baseDir_(std::move(baseDir)), progress_(progress) {}

  PacketModel Build(const json& doc) {
    if (!doc.is_object()) Fail("the description must be a JSON object");
    PacketModel model;
    if (doc.contains("params")) {
      for (const auto& [name, value] : doc["params"].items()) {
        if (name == "LCID" && value.is_number_unsigned()) {
          const auto lcid = value.get<std::uint32_t>();
          codePage_ = locale::AnsiCodePageOf(lcid);
        }
        model.tableParams.push_back(Param(name, value));
      }
    }
    if (!doc.contains("columns") || !doc["columns"].is_array() || doc["columns"].empty())
      Fail("the description needs a non-empty \"columns\" array");
    for (const json& c : doc["columns"]) model.columns.push_back(Column(c));
    if (doc.contains("rows")) {
      if (!doc["rows"].is_array()) Fail("\"rows\" must be an array");
      std::size_t n = 0;
      const std::size_t total = doc["rows"].size();
      for (const json& r : doc["rows"]) {
        model.rows.push_back(Row(r, model, ++n));
        if (progress_) progress_(n, total);
      }
    }
    return model;
  }

 private:
  std::vector<std::uint8_t> Text(const std::string& utf8) const {
    const std::string bytes = locale::FromUtf8(utf8, codePage_);
    return {bytes.begin(), bytes.end()};
  }

  PacketParam Param(const std::string& name, const json& value) {
    PacketParam p;
    p.name = name;
    if (value.is_boolean()) {
      p.typeWord = pk::MakeTypeWord(pk::kTcBool, 2);
      AppendInteger(&p.value, value.get<bool>() ? 1 : 0, 2);
    } else if (value.is_number_integer()) {
      const auto v = value.get<std::int64_t>();
      p.typeWord = pk::MakeTypeWord(v < 0 ? pk::kTcInt : pk::kTcUInt, 4);
      AppendInteger(&p.value, v, 4);
    } else if (value.is_string()) {
      p.typeWord = pk::MakeTypeWord(pk::kTcString, 2, pk::kVarying);
      p.value = Text(value.get<std::string>());
      p.value.push_back(0);
    } else if (value.is_object() && value.contains("type") && value.contains("value")) {
      std::string type = value["type"].get<std::string>();
      const bool array = type.size() > 2 && type.compare(type.size() - 2, 2, "[]") == 0;
      if (array) type.resize(type.size() - 2);
      const json& v = value["value"];
      if (type == "string") {
        if (array) Fail("parameter " + name + ": string arrays are not supported");
        p.typeWord = pk::MakeTypeWord(pk::kTcString, 2, pk::kVarying);
        p.value = Text(v.get<std::string>());
        p.value.push_back(0);
      } else {
        auto it = IntegerTypes().find(type);
        if (it == IntegerTypes().end()) Fail("parameter " + name + ": unknown type " + type);
        p.typeWord = pk::MakeTypeWord(it->second.code, it->second.size, array ? pk::kArray : 0);
        if (array) {
          for (const json& e : v) AppendInteger(&p.value, e.get<std::int64_t>(), it->second.size);
        } else {
          AppendInteger(&p.value, v.is_boolean() ? v.get<bool>() : v.get<std::int64_t>(),
                        it->second.size);
        }
      }
    } else {
      Fail("parameter " + name + " has a value of an unsupported kind");
    }
    return p;
  }

  static PacketParam U16Param(const char* name, std::uint32_t v) {
    PacketParam p;
    p.name = name;
    p.typeWord = pk::MakeTypeWord(pk::kTcUInt, 2);
    AppendInteger(&p.value, v, 2);
    return p;
  }

  PacketColumn Column(const json& c) {
    if (!c.is_object() || !c.contains("name") || !c.contains("type"))
      Fail("every column needs a \"name\" and a \"type\"");
    PacketColumn col;
    const std::string name = c["name"].get<std::string>();
    if (name.empty() || name.size() > 255) Fail("a column name must have 1 to 255 bytes");
    const std::vector<std::uint8_t> nameBytes = Text(name);
    std::memcpy(col.desc.name, nameBytes.data(), std::min<std::size_t>(nameBytes.size(), 31));
    const std::string type = c["type"].get<std::string>();
    const std::uint32_t width = c.value("width", 0u);
    auto needWidth = [&] {
      if (width == 0 || width > 65530) Fail("column " + name + " needs a width of 1 to 65530");
    };
    if (type == "string") {
      needWidth();
      col.desc.typeWord = pk::MakeTypeWord(pk::kTcString, width >= 254 ? 2 : 1, pk::kVarying);
      col.params.push_back(U16Param("WIDTH", width));
    } else if (type == "blob") {
      col.desc.typeWord = pk::MakeTypeWord(pk::kTcBytes, 4, pk::kVarying);
    } else if (type == "bytes") {
      needWidth();
      col.desc.typeWord = pk::MakeTypeWord(pk::kTcBytes, width);
    } else if (type == "varbytes") {
      needWidth();
      col.desc.typeWord = pk::MakeTypeWord(pk::kTcBytes, 2, pk::kVarying);
      col.params.push_back(U16Param("WIDTH", width));
    } else if (type == "unicode") {
      needWidth();
      col.desc.typeWord = pk::MakeTypeWord(pk::kTcUnicode, 2, pk::kVarying);
      col.params.push_back(U16Param("WIDTH", width));
    } else if (type == "float64") {
      col.desc.typeWord = pk::MakeTypeWord(pk::kTcFloat, 8);
    } else if (type == "date") {
      col.desc.typeWord = pk::MakeTypeWord(pk::kTcDate, 4);
    } else if (type == "time") {
      col.desc.typeWord = pk::MakeTypeWord(pk::kTcTime, 4);
    } else if (type == "timestamp") {
      col.desc.typeWord = pk::MakeTypeWord(pk::kTcTimeStamp, 8);
    } else if (auto it = IntegerTypes().find(type); it != IntegerTypes().end()) {
      col.desc.typeWord = pk::MakeTypeWord(it->second.code, it->second.size);
    } else {
      Fail("column " + name + ": unknown type " + type);
    }
    if (c.contains("subtype")) {
      PacketParam p;
      p.name = "SUBTYPE";
      p.typeWord = pk::MakeTypeWord(pk::kTcString, 2, pk::kVarying);
      p.value = Text(c["subtype"].get<std::string>());
      p.value.push_back(0);
      col.params.push_back(p);
    }
    if (c.value("hidden", false)) col.desc.attributes |= pk::kAttrHidden;
    if (c.value("readonly", false)) col.desc.attributes |= pk::kAttrReadOnly;
    if (c.value("required", false)) col.desc.attributes |= pk::kAttrRequired;
    if (c.value("linkfield", false)) col.desc.attributes |= pk::kAttrLinkField;
    if (c.contains("params"))
      for (const auto& [pname, pvalue] : c["params"].items())
        col.params.push_back(Param(pname, pvalue));
    kinds_.push_back(type);
    return col;
  }

  std::vector<std::uint8_t> Bytes(const json& v, const std::string& where) const {
    if (v.is_string()) return Text(v.get<std::string>());
    if (v.is_object() && v.contains("file")) {
      std::filesystem::path p(v["file"].get<std::string>());
      if (p.is_relative()) p = std::filesystem::path(baseDir_) / p;
      // A blob's length word has 31 bits: a larger value cannot be stored.
      std::vector<std::uint8_t> bytes = ReadFileBytes(p.string(), packet::kNotFetchedBit - 1);
      if (!v.contains("encoding")) return bytes;
      if (v["encoding"] != "utf-8") Fail(where + ": the only file encoding is \"utf-8\"");
      return Text(std::string(bytes.begin(), bytes.end()));
    }
    if (v.is_object() && v.contains("base64")) {
      std::vector<std::uint8_t> bytes;
      packet::DecodeBase64(v["base64"].get<std::string>(), &bytes);
      return bytes;
    }
    if (v.is_object() && v.contains("hex")) return HexDecode(v["hex"].get<std::string>());
    Fail(where + ": a bytes value must be a string, {\"file\"}, {\"base64\"} or {\"hex\"}");
  }

  PacketValue Value(const json& v, std::size_t col, const PacketModel& model, std::size_t row) {
    PacketValue pv;
    const std::string where = "row " + std::to_string(row) + ", " + model.columns[col].desc.name;
    if (v.is_null()) {
      pv.status = 1;
      return pv;
    }
    const std::string& kind = kinds_[col];
    try {
      const bool blobKind = kind == "blob" || kind == "bytes" || kind == "varbytes";
      if (!blobKind && v.is_object() && (v.contains("hex") || v.contains("base64"))) {
        // The stored bytes themselves, for a value of any other type.
        pv.bytes = Bytes(v, where);
        const std::uint32_t typeWord = model.columns[col].desc.typeWord;
        if ((typeWord & pk::kVarying) == 0 && pv.bytes.size() != packet::TypeSize(typeWord))
          Fail(where + ": the value needs " + std::to_string(packet::TypeSize(typeWord)) +
               " bytes, not " + std::to_string(pv.bytes.size()));
      } else if (kind == "string") {
        pv.bytes = Text(v.get<std::string>());
      } else if (kind == "blob" || kind == "bytes" || kind == "varbytes") {
        pv.bytes = Bytes(v, where);
        if (kind == "bytes") pv.bytes.resize(packet::TypeSize(model.columns[col].desc.typeWord));
      } else if (kind == "unicode") {
        packet::Utf8ToUtf16le(v.get<std::string>(), &pv.bytes);
      } else if (kind == "float64") {
        const double d = v.get<double>();
        pv.bytes.resize(8);
        std::memcpy(pv.bytes.data(), &d, 8);
      } else if (kind == "date" || kind == "time" || kind == "timestamp") {
        const std::string t = v.get<std::string>();
        int y = 1, mo = 1, d = 1, h = 0, mi = 0, s = 0;
        const int n = kind == "time"
                          ? std::sscanf(t.c_str(), "%d:%d:%d", &h, &mi, &s)
                          : std::sscanf(t.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
        if (n < (kind == "time" ? 2 : 3)) Fail(where + ": cannot read the time '" + t + "'");
        const std::int64_t ms = ((h * 60 + mi) * 60 + s) * 1000LL;
        if (kind == "date") {
          AppendInteger(&pv.bytes, DayNumber(y, mo, d), 4);
        } else if (kind == "time") {
          AppendInteger(&pv.bytes, ms, 4);
        } else {
          const double total = static_cast<double>(DayNumber(y, mo, d)) * 86400000.0 + ms;
          pv.bytes.resize(8);
          std::memcpy(pv.bytes.data(), &total, 8);
        }
      } else {
        const ScalarType t = IntegerTypes().at(kind);
        AppendInteger(&pv.bytes, v.is_boolean() ? v.get<bool>() : v.get<std::int64_t>(), t.size);
      }
    } catch (const json::exception&) {
      Fail(where + ": the value does not fit the column's type");
    }
    return pv;
  }

  PacketRow Row(const json& r, const PacketModel& model, std::size_t n) {
    if (!r.is_object()) Fail("row " + std::to_string(n) + " is not an object");
    PacketRow row;
    row.status = static_cast<std::uint8_t>(r.value("$status", 0));
    for (std::size_t c = 0; c < model.columns.size(); ++c) {
      // Keys are the UTF-8 column names as written in the description.
      const std::string key = locale::ToUtf8(model.columns[c].desc.name, codePage_);
      row.values.push_back(Value(r.contains(key) ? r[key] : json(), c, model, n));
    }
    return row;
  }

  std::string baseDir_;
  const BuildProgress& progress_;
  std::uint32_t codePage_ = 1250;
  std::vector<std::string> kinds_;
};

}  // namespace

PacketModel PacketModelFromJson(const std::string& jsonText, const std::string& baseDir,
                                const BuildProgress& progress) {
  json doc;
  try {
    doc = json::parse(jsonText);
  } catch (const json::exception& e) {
    Fail(std::string("the description is not valid JSON: ") + e.what());
  }
  try {
    return Builder(baseDir, progress).Build(doc);
  } catch (const json::exception& e) {
    Fail(std::string("the description is malformed: ") + e.what());
  }
}

}  // namespace cdstool
