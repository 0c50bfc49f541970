// cdstool convert: rewrites a packet in the other form through the engine's
// packet writer.
#include <string>

#include "dataset/host/db_errors.h"
#include "dataset/packet/packet_model.h"
#include "tools/cdstool/commands.h"
#include "tools/cdstool/packet_file.h"

namespace cdstool {

using namespace dorvem;

int RunConvert(const Args& args, const Context& context) {
  std::string in, out, to;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--to" && i + 1 < args.size())
      to = args[++i];
    else if (!args[i].empty() && args[i][0] == '-')
      throw UsageError("unknown option '" + args[i] + "'");
    else if (in.empty())
      in = args[i];
    else if (out.empty())
      out = args[i];
    else
      throw UsageError("unexpected argument '" + args[i] + "'");
  }
  if (in.empty() || out.empty() || (to != "xml" && to != "binary"))
    throw UsageError("convert needs IN OUT --to xml|binary");

  // A packet the dataset cannot open is not converted.
  PacketModel model = ReadOpenablePacketModel(in, context.cacheFolder);
  std::vector<std::uint8_t> bytes;
  Check(WritePacketModel(model, to == "xml" ? PacketForm::kXml : PacketForm::kBinary, &bytes));
  WriteFileBytes(out, bytes);
  return 0;
}

}  // namespace cdstool
