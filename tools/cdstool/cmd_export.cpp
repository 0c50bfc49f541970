// cdstool export: a packet written as the JSON description that build
// reads, with its memos and pictures as files (packet_json_export.h).
#include <filesystem>
#include <iostream>
#include <string>

#include "dataset/packet/packet_model.h"
#include "terminal/progress_line.h"
#include "tools/cdstool/commands.h"
#include "tools/cdstool/packet_file.h"
#include "tools/cdstool/packet_json_export.h"

namespace cdstool {

using namespace dorvem;

int RunExport(const Args& args, const Context& context) {
  std::string in, dir;
  for (const std::string& a : args) {
    if (!a.empty() && a[0] == '-')
      throw UsageError("unknown option '" + a + "'");
    else if (in.empty())
      in = a;
    else if (dir.empty())
      dir = a;
    else
      throw UsageError("unexpected argument '" + a + "'");
  }
  if (in.empty() || dir.empty()) throw UsageError("export needs PACKET DIR");

  // A packet the dataset cannot open is not exported.
  PacketModel model = ReadOpenablePacketModel(in, context.cacheFolder);
  TProgressLine progress(std::cerr, IsTerminal(2), {"export: ", " rows, time left ", ""});
  const std::string json = ExportPacketModel(
      model, dir, std::filesystem::path(in).stem().string(),
      [&](std::uint64_t done, std::uint64_t total) { progress.Update(done, total); });
  progress.Finish();
  std::cout << json << "\n";
  return 0;
}

}  // namespace cdstool
