// cdstool rows: the visible records in cursor order.
#include <cstdio>
#include <string>
#include <vector>

#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "tools/cdstool/commands.h"
#include "tools/cdstool/packet_damage_report.h"
#include "tools/cdstool/packet_file.h"
#include "tools/cdstool/text_out.h"
#include "tools/cdstool/trace_options.h"

namespace cdstool {

using namespace dorvem;

namespace {

std::vector<std::string> SplitList(const std::string& text, char sep) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : text) {
    if (c == sep) {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  return parts;
}

}  // namespace

int RunRows(const Args& args, const Context& context) {
  std::string file;
  std::string fieldList;
  TraceSettings settings;
  bool recno = false, json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--fields" && i + 1 < args.size())
      fieldList = args[++i];
    else if (ParseTraceOption(args, &i, &settings))
      continue;
    else if (a == "--recno")
      recno = true;
    else if (a == "--json")
      json = true;
    else if (!a.empty() && a[0] == '-')
      throw UsageError("unknown option '" + a + "'");
    else if (file.empty())
      file = a;
    else
      throw UsageError("unexpected argument '" + a + "'");
  }
  if (file.empty()) throw UsageError("rows needs a FILE");

  TClientDataSet ds("tblAdat");
  ds.SetFileName(file);
  ds.SetCacheFolder(context.cacheFolder);
  ApplyTraceSettings(settings, ds);
  ds.Open();

  std::vector<TField*> fields;
  if (fieldList.empty()) {
    fields = ds.Fields();
  } else {
    for (const std::string& name : SplitList(fieldList, ','))
      fields.push_back(ds.FieldByName(name));
  }
  const std::uint32_t codePage = ds.TextCodePage();

  std::string out;
  std::string value;
  bool first = true;
  if (json) out += "[";
  ds.GoFirst();
  while (!ds.IsEmpty()) {
    const std::uint32_t record = ds.Buffer(ds.ActiveSlot()).bookmark.record;
    if (json) {
      out += first ? "\n  {" : ",\n  {";
      bool firstField = true;
      if (recno) {
        out += "\"$recno\": " + std::to_string(record);
        firstField = false;
      }
      for (TField* f : fields) {
        if (!firstField) out += ", ";
        firstField = false;
        out += JsonString(f->FieldName()) + ": ";
        const ValueKind kind = FieldValue(*f, codePage, &value);
        if (kind == ValueKind::kNull)
          out += "null";
        else if (kind == ValueKind::kInteger)
          out += value;
        else
          out += JsonString(value);
      }
      out += "}";
    } else {
      bool firstField = true;
      if (recno) {
        out += std::to_string(record);
        firstField = false;
      }
      for (TField* f : fields) {
        if (!firstField) out += '\t';
        firstField = false;
        const ValueKind kind = FieldValue(*f, codePage, &value);
        out += kind == ValueKind::kNull ? "\\N" : EscapeTsv(value);
      }
      out += '\n';
    }
    first = false;
    std::fwrite(out.data(), 1, out.size(), stdout);
    out.clear();
    ds.GoNext();
    if (ds.AtEnd()) break;
  }
  if (json) out += first ? "]\n" : "\n]\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  return ReportDamage(MapFileBytes(file));
}

}  // namespace cdstool
