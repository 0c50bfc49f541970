// cdstool build: a packet from a JSON description (see packet_json.h).
#include <filesystem>
#include <iostream>
#include <string>

#include "dataset/host/db_errors.h"
#include "dataset/packet/packet_model.h"
#include "terminal/progress_line.h"
#include "tools/cdstool/commands.h"
#include "tools/cdstool/packet_file.h"
#include "tools/cdstool/packet_json.h"

namespace cdstool {

using namespace dorvem;

int RunBuild(const Args& args, const Context& /*context*/) {
  std::string source, out;
  bool xml = false;
  for (const std::string& a : args) {
    if (a == "--xml")
      xml = true;
    else if (!a.empty() && a[0] == '-')
      throw UsageError("unknown option '" + a + "'");
    else if (source.empty())
      source = a;
    else if (out.empty())
      out = a;
    else
      throw UsageError("unexpected argument '" + a + "'");
  }
  if (source.empty() || out.empty()) throw UsageError("build needs SOURCE.json OUT");
  TProgressLine progress(std::cerr, IsTerminal(2), {"build: ", " rows, time left ", ""});
  const std::vector<std::uint8_t> text = ReadFileBytes(source);
  const std::string baseDir = std::filesystem::path(source).parent_path().string();
  const PacketModel model = PacketModelFromJson(
      std::string(text.begin(), text.end()), baseDir.empty() ? "." : baseDir,
      [&](std::size_t done, std::size_t total) { progress.Update(done, total); });
  progress.Finish();
  std::vector<std::uint8_t> bytes;
  Check(WritePacketModel(model, xml ? PacketForm::kXml : PacketForm::kBinary, &bytes));
  WriteFileBytes(out, bytes);
  return 0;
}

}  // namespace cdstool
