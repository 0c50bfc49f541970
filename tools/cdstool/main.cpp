// cdstool: the command-line face of the data engine. Inspects, queries,
// converts, builds and exports data packets through the same client
// dataset the window uses.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "dataset/host/db_errors.h"
#include "tools/cdstool/commands.h"

namespace {

constexpr const char* kUsage =
    "usage: cdstool COMMAND ARGUMENTS...\n"
    "  info FILE                        the packet's header, columns, parameters and row count\n"
    "  rows FILE [--index FIELDS] [--filter TEXT] [--case-insensitive] [--no-partial]\n"
    "       [--fields A,B] [--recno] [--json]\n"
    "                                   the visible records in cursor order, as TSV or JSON\n"
    "  filter-buffer FILE TEXT [--case-insensitive] [--no-partial]\n"
    "                                   a filter text's expression buffer, in hex\n"
    "  convert IN OUT --to xml|binary   the packet rewritten in the other form\n"
    "  build SOURCE.json OUT [--xml]    a packet built from a JSON description\n"
    "  export PACKET DIR                the packet as build's JSON, memos and pictures as files\n"
    "  trace FILE [--index FIELDS] [--filter TEXT] [--window N] COMMAND...\n"
    "                                   the dataset's events and notices while commands run\n"
    "  help, --help                     this text\n"
    "  --version                        the program's name and version\n";

}  // namespace

namespace cdstool {

std::string UserCacheFolder() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/dorvem";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/dorvem";
  return {};
}

}  // namespace cdstool

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string command = argv[1];
  const cdstool::Args args(argv + 2, argv + argc);
  if (command == "help" || command == "--help" || command == "-h") {
    if (!args.empty()) {
      std::fprintf(stderr, "cdstool: unexpected argument '%s'\n%s", args[0].c_str(), kUsage);
      return 2;
    }
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version") {
    if (!args.empty()) {
      std::fprintf(stderr, "cdstool: unexpected argument '%s'\n%s", args[0].c_str(), kUsage);
      return 2;
    }
    std::fputs("cdstool " CDSTOOL_VERSION "\n", stdout);
    return 0;
  }
  const cdstool::Context context{cdstool::UserCacheFolder()};
  try {
    if (command == "info") return cdstool::RunInfo(args, context);
    if (command == "rows") return cdstool::RunRows(args, context);
    if (command == "convert") return cdstool::RunConvert(args, context);
    if (command == "build") return cdstool::RunBuild(args, context);
    if (command == "export") return cdstool::RunExport(args, context);
    if (command == "filter-buffer") return cdstool::RunFilterBuffer(args, context);
    if (command == "trace") return cdstool::RunTrace(args, context);
    throw cdstool::UsageError("unknown command '" + command + "'");
  } catch (const cdstool::UsageError& e) {
    std::fprintf(stderr, "cdstool: %s\n%s", e.what(), kUsage);
    return 2;
  } catch (const dorvem::EAbort&) {
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "cdstool: %s\n", dorvem::ErrorReportText(e.what()).c_str());
    return 1;
  }
}
