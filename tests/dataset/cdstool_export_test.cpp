// cdstool's help and version, and its export: a packet written as build's
// JSON and built again gives the same packet, value for value, as the
// engine's own reader reads both.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "dataset/packet/packet_model.h"
#include "tests/dataset/test_packets.h"
#include "tests/dataset/tool_runner.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::Encode;
using testing::RunTool;
using testing::TempFile;
namespace fs = std::filesystem;

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

PacketModel ReadModel(const fs::path& path) {
  PacketModel model;
  EXPECT_EQ(ReadPacketModel(FileBytes(path), &model), 0) << path;
  return model;
}

void ExpectSamePacket(const PacketModel& a, const PacketModel& b) {
  ASSERT_EQ(a.columns.size(), b.columns.size());
  for (std::size_t c = 0; c < a.columns.size(); ++c) {
    EXPECT_STREQ(a.columns[c].desc.name, b.columns[c].desc.name);
    EXPECT_EQ(a.columns[c].desc.typeWord, b.columns[c].desc.typeWord) << c;
    EXPECT_EQ(a.columns[c].desc.attributes, b.columns[c].desc.attributes) << c;
    ASSERT_EQ(a.columns[c].params.size(), b.columns[c].params.size()) << c;
    for (std::size_t p = 0; p < a.columns[c].params.size(); ++p)
      EXPECT_EQ(a.columns[c].params[p].value, b.columns[c].params[p].value) << c;
  }
  ASSERT_EQ(a.tableParams.size(), b.tableParams.size());
  for (std::size_t p = 0; p < a.tableParams.size(); ++p) {
    EXPECT_EQ(a.tableParams[p].name, b.tableParams[p].name);
    EXPECT_EQ(a.tableParams[p].typeWord, b.tableParams[p].typeWord);
    EXPECT_EQ(a.tableParams[p].value, b.tableParams[p].value);
  }
  ASSERT_EQ(a.rows.size(), b.rows.size());
  for (std::size_t r = 0; r < a.rows.size(); ++r) {
    EXPECT_EQ(a.rows[r].status, b.rows[r].status) << r;
    for (std::size_t c = 0; c < a.columns.size(); ++c) {
      EXPECT_EQ(a.rows[r].values[c].status, b.rows[r].values[c].status) << r << "," << c;
      EXPECT_EQ(a.rows[r].values[c].bytes, b.rows[r].values[c].bytes) << r << "," << c;
    }
  }
}

// Exports `packet`, builds the JSON again and compares; returns the
// export's folder.
fs::path RoundTrip(const std::string& packet) {
  const fs::path dir = fs::path(packet).parent_path() / "export";
  const fs::path rebuilt = fs::path(packet).parent_path() / "rebuilt.cds";
  const auto exported = RunTool({"export", packet, dir.string()});
  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.err, "");  // no progress line: stderr is no terminal
  const fs::path json = dir / (fs::path(packet).stem().string() + ".json");
  EXPECT_EQ(exported.out, json.string() + "\n");
  const auto built = RunTool({"build", json.string(), rebuilt.string()});
  EXPECT_EQ(built.status, 0) << built.err;
  ExpectSamePacket(ReadModel(packet), ReadModel(rebuilt));
  return dir;
}

std::size_t FilesEndingIn(const fs::path& dir, const std::string& ext) {
  std::size_t n = 0;
  for (const auto& e : fs::recursive_directory_iterator(dir)) n += e.path().extension() == ext;
  return n;
}

TEST(CdsToolExportTest, TheDemoDictionaryComesBackValueForValue) {
  TempFile packet(FileBytes(fs::path(DORVEM_SOURCE_DIR) / "demo/Data/dorvem1.cds"), "dorvem1.cds");
  const fs::path dir = RoundTrip(packet.Path());
  // Rich and plain memos and pictures, each as files of their kind.
  EXPECT_GT(FilesEndingIn(dir, ".rtf"), 0u);
  EXPECT_GT(FilesEndingIn(dir, ".txt"), 0u);
  EXPECT_GT(FilesEndingIn(dir, ".bmp"), 0u);
}

TEST(CdsToolExportTest, ValuesThatTextCannotHoldKeepTheirBytes) {
  // 0x81 and 0x98 are undefined in windows-1250; a picture after the
  // graphic header; an empty memo and a blank one; a memo with a zero byte.
  const std::string headed(
      "\x01\x00\x00\x01\x00\x00\x00\x00"
      "BM\x10\x00",
      12);
  TempFile packet(Encode(DictionaryModel({
      {"a\x81.wav", "\xC1RIA", "plain \xF5 \x98 text\r\n", headed, -7},
      {std::nullopt, "B", "", std::nullopt, std::nullopt},
      {"", "C", std::nullopt, std::string("\x00\x01", 2), 0},
      {"x.mp3", "D", std::string("k\x00z", 3), "BMxy", 2147483647},
  })));
  const fs::path dir = RoundTrip(packet.Path());
  // The plain memo in UTF-8 for an editor (0x98 reads as U+0098 and back).
  const std::string utf8 = "plain \u0151 \u0098 text\r\n";
  EXPECT_EQ(FileBytes(dir / "SZOVMAGY/00001.txt"),
            std::vector<std::uint8_t>(utf8.begin(), utf8.end()));
  EXPECT_EQ(FileBytes(dir / "GRAPHIC/00001.bmp").size(), headed.size());
  EXPECT_TRUE(fs::exists(dir / "GRAPHIC/00003.bin"));
}

TEST(CdsToolExportTest, HelpAndVersionAnswer) {
  for (const char* help : {"help", "--help", "-h"}) {
    const auto r = RunTool({help});
    EXPECT_EQ(r.status, 0) << help;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("usage: cdstool COMMAND ARGUMENTS...\n", 0), 0u) << r.out;
    // Each command on a line of its own with what it does.
    for (const char* command :
         {"info", "rows", "filter-buffer", "convert", "build", "export", "trace"})
      EXPECT_NE(r.out.find(std::string("\n  ") + command + " "), std::string::npos) << command;
  }
  const auto version = RunTool({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("cdstool ") + DORVEM_EXPECTED_VERSION + "\n");
  const auto unknown = RunTool({"--chek"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err.rfind("cdstool: unknown command '--chek'\nusage: cdstool", 0), 0u);
}

}  // namespace
}  // namespace dorvem
