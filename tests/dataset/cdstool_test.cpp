// cdstool as its users meet it: what it prints and how it exits.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/dataset/test_packets.h"
#include "tests/dataset/tool_runner.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::Encode;
using testing::RunTool;
using testing::TempFile;

TEST(CdsToolTest, RowsPrintExactlyWhatWasWrittenInBothForms) {
  // Windows-1250 bytes of "ÁRIA" and "ŐSZ"; the tool prints UTF-8.
  const std::vector<testing::DictRow> rows = {
      {"a\tb.mp3", "\xC1RIA", "line1\nline2\\", std::string("\x00\x01", 2), 42},
      {std::nullopt, "\xD5SZ  ", std::nullopt, std::nullopt, std::nullopt},
      {"", "", "", "", -1},
  };
  const std::string expected =
      "a\\tb.mp3\tÁRIA\tline1\\nline2\\\\\t<blob 2 bytes>\t42\n"
      "\\N\tŐSZ  \t\\N\t\\N\t\\N\n"
      "\t\t\\N\t\\N\t-1\n";
  for (bool xml : {false, true}) {
    SCOPED_TRACE(xml ? "xml" : "binary");
    TempFile file(Encode(DictionaryModel(rows), xml));
    const auto r = RunTool({"rows", file.Path()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected);
  }
}

TEST(CdsToolTest, RowsCanChooseFieldsNumberRecordsAndPrintJson) {
  TempFile file(Encode(DictionaryModel({{"x.wav", "A\"B", {}, {}, 1}, {{}, "C", {}, {}, 2}})));
  auto r = RunTool({"rows", file.Path(), "--fields", "Index,KSZOVEG", "--recno"});
  EXPECT_EQ(r.out, "1\t1\tA\"B\n2\t2\tC\n");
  r = RunTool({"rows", file.Path(), "--json", "--fields", "KSZOVEG,FAJLNEV"});
  EXPECT_EQ(r.out,
            "[\n  {\"KSZOVEG\": \"A\\\"B\", \"FAJLNEV\": \"x.wav\"},\n"
            "  {\"KSZOVEG\": \"C\", \"FAJLNEV\": null}\n]\n");
  r = RunTool({"rows", file.Path(), "--fields", "NOPE"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "cdstool: tblAdat: Field 'NOPE' not found.\n");
}

TEST(CdsToolTest, ConvertGoesBothWaysWithoutLosingAnything) {
  TempFile file(Encode(DictionaryModel({{"s.mid", "\xC9NEKKAR", "{\\rtf1 \\b x}", "BM..", 3}})));
  const std::string xml = file.Path() + ".xml", back = file.Path() + ".back";
  ASSERT_EQ(RunTool({"convert", file.Path(), xml, "--to", "xml"}).status, 0);
  ASSERT_EQ(RunTool({"convert", xml, back, "--to", "binary"}).status, 0);
  const auto a = RunTool({"rows", file.Path()});
  EXPECT_EQ(RunTool({"rows", xml}).out, a.out);
  EXPECT_EQ(RunTool({"rows", back}).out, a.out);
  std::ifstream in(xml);
  std::string head(5, ' ');
  in.read(head.data(), 5);
  EXPECT_EQ(head, "<?xml");
}

TEST(CdsToolTest, BuildMakesAPacketFromJson) {
  TempFile pic({'B', 'M', 1, 2, 3});
  const std::string dir = pic.Path().substr(0, pic.Path().rfind('/'));
  const std::string json = dir + "/d.json";
  std::ofstream(json) << R"({
    "params": {"LCID": 1038},
    "columns": [{"name": "FAJLNEV", "type": "string", "width": 255},
                {"name": "KSZOVEG", "type": "string", "width": 40},
                {"name": "SZOVMAGY", "type": "blob", "subtype": "Text"},
                {"name": "GRAPHIC", "type": "blob", "subtype": "Binary"},
                {"name": "Index", "type": "int32"}],
    "rows": [{"FAJLNEV": "ária.mp3", "KSZOVEG": "ÁRIA", "SZOVMAGY": "első\nsor",
              "GRAPHIC": {"file": "t.cds"}, "Index": 1},
             {"KSZOVEG": "ZSOLTÁR", "GRAPHIC": {"base64": "Qk0="}, "Index": 2}]
  })";
  for (bool xml : {false, true}) {
    const std::string out = dir + (xml ? "/d.xml" : "/d.cds");
    std::vector<std::string> args = {"build", json, out};
    if (xml) args.push_back("--xml");
    auto r = RunTool(args);
    ASSERT_EQ(r.status, 0) << r.err;
    r = RunTool({"rows", out});
    EXPECT_EQ(r.out,
              "ária.mp3\tÁRIA\telső\\nsor\t<blob 5 bytes>\t1\n"
              "\\N\tZSOLTÁR\t\\N\t<blob 2 bytes>\t2\n");
    r = RunTool({"info", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("LCID:          1038"), std::string::npos) << r.out;
  }
}

TEST(CdsToolTest, ErrorsGoToStderrWithStatusOneAndUsageWithTwo) {
  auto r = RunTool({"rows", "/nonexistent.cds"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "cdstool: tblAdat: Missing data provider or data packet.\n");
  EXPECT_EQ(r.out, "");
  r = RunTool({"frobnicate"});
  EXPECT_EQ(r.status, 2);
  r = RunTool({"rows"});
  EXPECT_EQ(r.status, 2);
}

TEST(CdsToolTest, TruncatedPacketsEndWithStatusOneNeverASignal) {
  const std::vector<std::uint8_t> whole =
      Encode(DictionaryModel({{"a.mp3", "A", "memo", "BM", 1}, {{}, "B", {}, {}, 2}}));
  TempFile file(whole);
  // Every tenth offset: each run is a process, so not all of them.
  for (std::size_t n = 1; n < whole.size(); n += 10) {
    file.Rewrite({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n)});
    const auto r = RunTool({"rows", file.Path()});
    EXPECT_EQ(r.signal, 0) << "cut at " << n;
    EXPECT_EQ(r.status, 1) << "cut at " << n;
    EXPECT_EQ(r.err.rfind("cdstool: ", 0), 0u) << r.err;
  }
}

}  // namespace
}  // namespace dorvem
