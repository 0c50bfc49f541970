// cdstool as its users meet it: what it prints and how it exits.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

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

TEST(CdsToolTest, ControlCharactersAreEscapedAsEachFormSays) {
  // Tab-separated rows escape tab, line feed, carriage return and the
  // backslash; JSON (RFC 8259) every character below U+0020.
  TempFile file(Encode(DictionaryModel({{"a\rb",
                                         "C\x1F"
                                         "D\x10",
                                         {},
                                         {},
                                         1}})));
  auto r = RunTool({"rows", file.Path(), "--fields", "FAJLNEV,KSZOVEG"});
  EXPECT_EQ(r.out,
            "a\\rb\tC\x1F"
            "D\x10\n");
  r = RunTool({"rows", file.Path(), "--json", "--fields", "FAJLNEV,KSZOVEG"});
  EXPECT_EQ(r.out, "[\n  {\"FAJLNEV\": \"a\\rb\", \"KSZOVEG\": \"C\\u001fD\\u0010\"}\n]\n");
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

TEST(CdsToolTest, BuildWritesTextsInTheCodePageOfTheLcid) {
  // English data is windows-1252 and Russian windows-1251: letters that
  // windows-1250 does not have come back as they were written.
  for (const auto& [lcid, word] : {std::pair{1033, "ÕÑ"}, std::pair{1049, "ДОМ"}}) {
    SCOPED_TRACE(lcid);
    TempFile anchor({});
    const std::string dir = anchor.Path().substr(0, anchor.Path().rfind('/'));
    const std::string json = dir + "/w.json", out = dir + "/w.cds";
    std::ofstream(json) << R"({"params": {"LCID": )" << lcid
                        << R"(}, "columns": [{"name": "KSZOVEG", "type": "string", "width": 40}],
                              "rows": [{"KSZOVEG": ")"
                        << word << R"("}]})";
    auto r = RunTool({"build", json, out});
    ASSERT_EQ(r.status, 0) << r.err;
    r = RunTool({"rows", out});
    EXPECT_EQ(r.out, std::string(word) + "\n");
  }
}

// What info shows of the dictionary's packet: the header as written, each
// column's type word, logical type, width, record length and subtype, the
// parameters, the rows and the locale. Each expected line begins a line of
// the output; the text form has no header and its own type words.
TEST(CdsToolTest, InfoShowsHeaderColumnsParametersRowsAndLocale) {
  // One hidden (deleted) row among three, and a blank LCID-free variant.
  PacketModel model = DictionaryModel({{"a.mp3", "\xC1RIA", "x", std::nullopt, 1},
                                       {std::nullopt, "B", std::nullopt, "BM", 2},
                                       {std::nullopt, "C", std::nullopt, std::nullopt, 3}});
  model.rows[1].status = 2;  // deleted
  const std::vector<std::string> common = {
      "  FAJLNEV          type 0x0049000",
      "      WIDTH = 255",
      "  KSZOVEG          type 0x00490001  logical 1      units 40,0  length 41  attributes 0x0",
      "      WIDTH = 40",
      "      SUBTYPE = \"Text\"",
      "      SUBTYPE = \"Binary\"",
      "  Index            type 0x00010004  logical 6 ",
      "table parameters:",
      "  LCID = 1038",
      "rows:          3 (2 visible)",
      "LCID:          1038 (code page 1250)",
  };
  const struct {
    bool xml;
    std::vector<std::string> lines;
  } forms[] = {
      {false,
       {"form:          binary", "magic:         0xBDE01996", "version:       1.0",
        "header length: 24", "column count:  5", "row count:     3", "flags:         0x00000001",
        "  FAJLNEV          type 0x00490002  logical 1      units 255,0  length 256",
        "  SZOVMAGY         type 0x004B0004  logical 3      units 0,0  length 4  subtype 22",
        "  GRAPHIC          type 0x004B0004  logical 3      units 0,0  length 4  subtype 23"}},
      {true,
       {"form:          XML text",
        "  FAJLNEV          type 0x00490001  logical 1      units 255,0  length 256",
        "  SZOVMAGY         type 0x004B0001  logical 3      units 0,0  length 4  subtype 22",
        "  GRAPHIC          type 0x004B0001  logical 3      units 0,0  length 4  subtype 23"}},
  };
  for (const auto& form : forms) {
    SCOPED_TRACE(form.xml ? "xml" : "binary");
    TempFile file(Encode(model, form.xml));
    const auto r = RunTool({"info", file.Path()});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> out;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) out.push_back(line);
    std::vector<std::string> expected = common;
    expected.insert(expected.end(), form.lines.begin(), form.lines.end());
    for (const std::string& want : expected) {
      const bool found = std::any_of(out.begin(), out.end(), [&](const std::string& line) {
        return line.rfind(want, 0) == 0;
      });
      EXPECT_TRUE(found) << "no line begins with \"" << want << "\" in\n" << r.out;
    }
    EXPECT_EQ(form.xml, r.out.find("magic:") == std::string::npos);
  }
  // Without an LCID the comparison locale is the user's and the text's code
  // page the fallback one.
  TempFile none(Encode(DictionaryModel({{{}, "A", {}, {}, 1}}, 0)));
  const auto r = RunTool({"info", none.Path()});
  EXPECT_NE(r.out.find("\nLCID:          0 (none: user's default locale) (code page 1250)\n"),
            std::string::npos)
      << r.out;
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
