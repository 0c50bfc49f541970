// cdstool filter-buffer: the expression buffer a filter text parses to
// against a packet's fields, as lowercase hex, 16 bytes a line.
#include <cstdio>
#include <string>

#include "dataset/filter/expr_parser.h"
#include "dataset/host/client_dataset.h"
#include "dataset/locale/locale_services.h"
#include "tools/cdstool/commands.h"

namespace cdstool {

using namespace dorvem;

int RunFilterBuffer(const Args& args, const Context& context) {
  std::string file, text;
  bool haveText = false;
  TFilterOptions options = 0;
  for (const std::string& a : args) {
    if (a == "--case-insensitive")
      options |= foCaseInsensitive;
    else if (a == "--no-partial")
      options |= foNoPartialCompare;
    else if (!a.empty() && a[0] == '-' && a.size() > 1 && a[1] == '-')
      throw UsageError("unknown option '" + a + "'");
    else if (file.empty())
      file = a;
    else if (!haveText)
      text = a, haveText = true;
    else
      throw UsageError("unexpected argument '" + a + "'");
  }
  if (file.empty() || !haveText) throw UsageError("filter-buffer needs FILE and TEXT");

  TClientDataSet ds("tblAdat");
  ds.SetFileName(file);
  ds.SetCacheFolder(context.cacheFolder);
  ds.Open();
  // The text arrives as UTF-8; the dataset's strings are in its code page.
  const std::string filter = locale::FromUtf8(text, ds.TextCodePage());
  const TExprParser parser(ds, filter, options, kPoExtended, "", nullptr, kFieldTypeMap);

  std::string out;
  char cell[4];
  const auto& buffer = parser.FilterData();
  for (std::size_t i = 0; i < buffer.size(); ++i) {
    std::snprintf(cell, sizeof cell, "%02x", buffer[i]);
    out += cell;
    out += (i % 16 == 15 || i + 1 == buffer.size()) ? '\n' : ' ';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace cdstool
