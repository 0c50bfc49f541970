#include "tools/cdstool/packet_json_export.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "dataset/locale/locale_services.h"
#include "dataset/packet/packet_format.h"
#include "tools/cdstool/packet_file.h"
#include "tools/cdstool/packet_json.h"

namespace cdstool {

using namespace dorvem;
using json = nlohmann::ordered_json;
namespace pk = dorvem::packet;
namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what);
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const std::uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

std::string AsText(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// The UTF-8 form of single-byte text when it converts back to the same
// bytes; false when it does not (a byte the code page leaves undefined).
bool ExactUtf8(const std::string& bytes, std::uint32_t codePage, std::string* utf8) {
  *utf8 = locale::ToUtf8(bytes, codePage);
  return locale::FromUtf8(*utf8, codePage) == bytes;
}

std::int64_t LittleEndian(const std::vector<std::uint8_t>& bytes, bool isSigned) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < bytes.size() && i < 8; ++i)
    v |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
  if (isSigned && bytes.size() < 8 && !bytes.empty() && (bytes.back() & 0x80))
    v |= ~std::uint64_t{0} << (8 * bytes.size());
  return static_cast<std::int64_t>(v);
}

std::string ParamText(const PacketParam& p) {
  const auto* s = reinterpret_cast<const char*>(p.value.data());
  return std::string(s, strnlen(s, p.value.size()));
}

std::string IntegerTypeName(std::uint32_t code, std::uint32_t size) {
  if (code == pk::kTcBool && size == 2) return "bool";
  if ((code != pk::kTcInt && code != pk::kTcUInt) ||
      (size != 1 && size != 2 && size != 4 && size != 8))
    return {};
  return (code == pk::kTcInt ? "int" : "uint") + std::to_string(size * 8);
}

// A parameter as the builder reads it back: a plain number for an
// unsigned 32-bit integer (as LCID must be, for the builder to take the
// code page from it), else {"type", "value"}.
json ParamJson(const PacketParam& p, std::uint32_t codePage) {
  const std::uint32_t code = pk::TypeCode(p.typeWord);
  const std::uint32_t size = pk::TypeSize(p.typeWord);
  const bool array = (p.typeWord & pk::kArray) != 0;
  const std::uint32_t flags =
      p.typeWord & ~(pk::kSizeMask | (pk::kTypeCodeMask << pk::kTypeCodeShift));
  if (code == pk::kTcString && size == 2 && flags == pk::kVarying && !p.value.empty() &&
      p.value.back() == 0) {
    std::string utf8;
    const std::string text = ParamText(p);
    if (text.size() + 1 == p.value.size() && ExactUtf8(text, codePage, &utf8))
      return json{{"type", "string"}, {"value", utf8}};
  }
  const std::string type = IntegerTypeName(code, size);
  if (!type.empty() && (flags == 0 || flags == pk::kArray) && size > 0 &&
      p.value.size() % size == 0 && (array || p.value.size() == size)) {
    const bool isSigned = code == pk::kTcInt;
    std::vector<std::int64_t> numbers;
    for (std::size_t at = 0; at < p.value.size(); at += size) {
      const std::vector<std::uint8_t> one(p.value.begin() + at, p.value.begin() + at + size);
      numbers.push_back(LittleEndian(one, isSigned));
    }
    if (!array && type == "uint32") return numbers[0];
    if (array) return json{{"type", type + "[]"}, {"value", numbers}};
    return json{{"type", type}, {"value", numbers[0]}};
  }
  Fail("parameter " + p.name + ": its type cannot be written in the JSON description");
}

// How one column is written: its kind in the description and, for blobs,
// what its values are.
struct ColumnPlan {
  std::string kind;    // the builder's type word ("string", "blob", ...)
  bool memo = false;   // a blob of subtype Text
  std::string folder;  // the folder of its value files (blobs)
};

json ColumnJson(const PacketColumn& c, std::uint32_t codePage, ColumnPlan* plan) {
  const std::uint32_t w = c.desc.typeWord;
  const std::uint32_t code = pk::TypeCode(w);
  const std::uint32_t size = pk::TypeSize(w);
  const bool varying = (w & pk::kVarying) != 0;
  const std::string name =
      locale::ToUtf8(std::string(c.desc.name, strnlen(c.desc.name, 32)), codePage);
  json column{{"name", name}};
  std::string subtype;
  std::uint32_t width = 0;
  json params = json::object();
  for (const PacketParam& p : c.params) {
    if (p.name == "SUBTYPE")
      subtype = ParamText(p);
    else if (p.name == "WIDTH" && p.value.size() == 2)
      width = static_cast<std::uint32_t>(LittleEndian(p.value, false));
    else
      params[p.name] = ParamJson(p, codePage);
  }
  std::string kind;
  if (code == pk::kTcString && varying)
    kind = "string";
  else if (code == pk::kTcBytes && varying && size == 4)
    kind = "blob";
  else if (code == pk::kTcBytes && varying && size == 2)
    kind = "varbytes";
  else if (code == pk::kTcBytes && !varying)
    kind = "bytes", width = size;
  else if (code == pk::kTcUnicode && varying)
    kind = "unicode";
  else if (code == pk::kTcFloat && size == 8)
    kind = "float64";
  else if (code == pk::kTcDate && size == 4)
    kind = "date";
  else if (code == pk::kTcTime && size == 4)
    kind = "time";
  else if (code == pk::kTcTimeStamp && size == 8)
    kind = "timestamp";
  else
    kind = IntegerTypeName(code, size);
  if (kind.empty()) Fail("column " + name + ": its type cannot be written in the JSON description");
  column["type"] = kind;
  if (width != 0) column["width"] = width;
  if (!subtype.empty()) column["subtype"] = subtype;
  const std::uint16_t a = c.desc.attributes;
  if (a & pk::kAttrReadOnly) column["readonly"] = true;
  if (a & pk::kAttrRequired) column["required"] = true;
  if (a & pk::kAttrHidden) column["hidden"] = true;
  if (a & pk::kAttrLinkField) column["linkfield"] = true;
  if (!params.empty()) column["params"] = params;
  plan->kind = kind;
  plan->memo = kind == "blob" && pk::SubtypeCodeOf(subtype) == pk::kSubtypeText;
  return column;
}

bool SameParams(std::vector<PacketParam> a, std::vector<PacketParam> b) {
  auto byName = [](const PacketParam& x, const PacketParam& y) { return x.name < y.name; };
  std::stable_sort(a.begin(), a.end(), byName);
  std::stable_sort(b.begin(), b.end(), byName);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].name != b[i].name || a[i].typeWord != b[i].typeWord || a[i].value != b[i].value)
      return false;
  return true;
}

// Refuses a description whose columns or parameters would not build as
// they are in `model` (built from the description without its rows).
void CheckHeader(const json& header, const PacketModel& model) {
  const PacketModel built = PacketModelFromJson(header.dump(), ".");
  if (!SameParams(built.tableParams, model.tableParams))
    Fail("the table's parameters cannot be written in the JSON description exactly");
  for (std::size_t i = 0; i < model.columns.size(); ++i) {
    const PacketColumn& a = built.columns[i];
    const PacketColumn& b = model.columns[i];
    if (std::memcmp(a.desc.name, b.desc.name, sizeof a.desc.name) != 0 ||
        a.desc.typeWord != b.desc.typeWord || a.desc.attributes != b.desc.attributes ||
        !SameParams(a.params, b.params))
      Fail(std::string("column ") + b.desc.name +
           ": it cannot be written in the JSON description exactly");
  }
}

bool IsBitmap(const std::vector<std::uint8_t>& bytes) {
  auto bmAt = [&](std::size_t at) {
    return bytes.size() >= at + 2 && bytes[at] == 'B' && bytes[at + 1] == 'M';
  };
  // A bitmap file, or one after the 8-byte graphic header.
  return bmAt(0) || bmAt(8);
}

// A folder name for a column's files: its name with anything but letters,
// digits, "-" and "_" made "_", made unique with the column's number.
std::string FolderName(const std::string& name, std::size_t index,
                       const std::vector<ColumnPlan>& plans) {
  std::string folder;
  for (const char c : name)
    folder +=
        (std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 128) ||
                c == '-' || c == '_'
            ? c
            : '_';
  if (folder.empty()) folder = "_";
  for (const ColumnPlan& p : plans)
    if (p.folder == folder) return folder + "_" + std::to_string(index + 1);
  return folder;
}

void WriteText(const fs::path& path, const std::string& text) {
  WriteFileBytes(path.string(), std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace

std::string ExportPacketModel(const PacketModel& model, const std::string& dir,
                              const std::string& name, const ExportProgress& progress) {
  std::uint32_t codePage = 1250;
  for (const PacketParam& p : model.tableParams)
    if (p.name == "LCID" && p.typeWord == pk::MakeTypeWord(pk::kTcUInt, 4))
      codePage = locale::AnsiCodePageOf(static_cast<std::uint32_t>(LittleEndian(p.value, false)));

  json header = json::object();
  json params = json::object();
  for (const PacketParam& p : model.tableParams) params[p.name] = ParamJson(p, codePage);
  if (!params.empty()) header["params"] = params;
  std::vector<ColumnPlan> plans;
  json columns = json::array();
  for (std::size_t i = 0; i < model.columns.size(); ++i) {
    ColumnPlan plan;
    columns.push_back(ColumnJson(model.columns[i], codePage, &plan));
    if (plan.kind == "blob")
      plan.folder = FolderName(columns.back()["name"].get<std::string>(), i, plans);
    plans.push_back(plan);
  }
  header["columns"] = columns;
  CheckHeader(header, model);

  fs::create_directories(dir);
  const std::size_t digits = std::max<std::size_t>(std::to_string(model.rows.size()).size(), 5);
  std::string text = header.dump(1);
  // The rows, one a line, after the header's object: "rows" is its last key.
  text.resize(text.rfind('}'));
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  text += ",\n \"rows\": [\n";
  for (std::size_t r = 0; r < model.rows.size(); ++r) {
    const PacketRow& row = model.rows[r];
    json object = json::object();
    std::string number = std::to_string(r + 1);
    number.insert(0, digits - number.size(), '0');
    for (std::size_t c = 0; c < model.columns.size(); ++c) {
      const PacketValue& v = row.values[c];
      const ColumnPlan& plan = plans[c];
      const std::string key = columns[c]["name"].get<std::string>();
      const std::string where = "row " + std::to_string(r + 1) + ", " + key;
      if (v.status == pk::kFieldBlank) {
        object[key] = nullptr;
        continue;
      }
      if (v.status != pk::kFieldHasValue)
        Fail(where + ": a value marked \"not changed\" cannot be written in the JSON description");
      const std::string bytes = AsText(v.bytes);
      std::string utf8;
      if (plan.kind == "string") {
        object[key] = ExactUtf8(bytes, codePage, &utf8) ? json(utf8) : json{{"hex", Hex(v.bytes)}};
      } else if (plan.kind == "blob") {
        if (v.bytes.empty()) {
          object[key] = "";
          continue;
        }
        json file = json::object();
        std::string ext = ".bin";
        std::string content = bytes;
        if (plan.memo && bytes.starts_with("{\\rtf")) {
          ext = ".rtf";
        } else if (plan.memo) {
          ext = ".txt";
          if (ExactUtf8(bytes, codePage, &utf8)) {
            content = utf8;
            file["encoding"] = "utf-8";
          }
        } else if (IsBitmap(v.bytes)) {
          ext = ".bmp";
        }
        const std::string relative = plan.folder + "/" + number + ext;
        fs::create_directories(fs::path(dir) / plan.folder);
        WriteText(fs::path(dir) / relative, content);
        json value{{"file", relative}};
        value.update(file);
        object[key] = value;
      } else if (const std::string type = plan.kind;
                 (type.starts_with("int") || type.starts_with("uint") || type == "bool") &&
                 !(type == "uint64" && LittleEndian(v.bytes, false) < 0)) {
        object[key] = LittleEndian(v.bytes, type.starts_with("int"));
      } else {
        object[key] = json{{"hex", Hex(v.bytes)}};
      }
    }
    if (row.status != 0) object["$status"] = row.status;
    text += "  " + object.dump() + (r + 1 < model.rows.size() ? ",\n" : "\n");
    if (progress) progress(r + 1, model.rows.size());
  }
  text += " ]\n}\n";
  const fs::path out = fs::path(dir) / (name + ".json");
  WriteText(out, text);
  return out.string();
}

}  // namespace cdstool
