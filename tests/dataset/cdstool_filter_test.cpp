// cdstool's filter commands as their users meet them.
#include <gtest/gtest.h>

#include "tests/dataset/test_packets.h"
#include "tests/dataset/tool_runner.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::Encode;
using testing::RunTool;
using testing::TempFile;

TEST(CdsToolFilterTest, FilterBufferPrintsTheBufferSixteenBytesALine) {
  TempFile file(Encode(DictionaryModel({{"a.mp3", "ABC", {}, {}, 1}})));
  auto r = RunTool({"filter-buffer", file.Path(), "KSZOVEG='ABC*'"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "02 00 40 00 ff ff 0a 00 34 00 03 00 00 00 03 00\n"
            "00 00 00 00 03 00 10 00 1c 00 04 00 00 00 0d 00\n"
            "00 00 02 00 00 00 05 00 00 00 0e 00 00 00 01 00\n"
            "04 00 08 00 4b 53 5a 4f 56 45 47 00 41 42 43 00\n");
  // Case-insensitive sets the case flag; no-partial keeps the * (Compare, n=0).
  r = RunTool(
      {"filter-buffer", file.Path(), "KSZOVEG='ABC*'", "--no-partial", "--case-insensitive"});
  EXPECT_EQ(r.out.substr(48, 17), "00 00 01 00 00 00");
  // Text is taken as UTF-8 and compared in the data's code page: Á is 0xC1.
  r = RunTool({"filter-buffer", file.Path(), "KSZOVEG='Á*'"});
  EXPECT_NE(r.out.find("c1 00"), std::string::npos) << r.out;

  r = RunTool({"filter-buffer", file.Path(), "KSZOVEG='A' AND B*'"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "cdstool: tblAdat: Field 'B' not found.\n");
  r = RunTool({"filter-buffer", file.Path(), "KSZOVEG="});
  EXPECT_EQ(r.err, "cdstool: Expression expected but nothing found.\n");
  EXPECT_EQ(RunTool({"filter-buffer", file.Path()}).status, 2);
}

TEST(CdsToolFilterTest, RowsShowOnlyWhatTheFilterLetsThrough) {
  // Windows-1250: "\xC1RIA" is ÁRIA.
  TempFile file(Encode(DictionaryModel({{{}, "ALMA", {}, {}, 1},
                                        {{}, ".B", {}, {}, 2},
                                        {{}, "\xC1RIA", {}, {}, 3},
                                        {{}, "alt", {}, {}, 4},
                                        {{}, "A*", {}, {}, 5}})));
  auto rows = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"rows", file.Path(), "--fields", "Index"});
    const auto r = RunTool(args);
    EXPECT_EQ(r.err, "");
    return r.out;
  };
  EXPECT_EQ(rows({"--filter", "KSZOVEG='A*'"}), "1\n5\n");
  EXPECT_EQ(rows({"--filter", "KSZOVEG='A*'", "--no-partial"}), "5\n");
  EXPECT_EQ(rows({"--index", "KSZOVEG", "--filter", "KSZOVEG='A*'", "--case-insensitive"}),
            "5\n1\n4\n");
  EXPECT_EQ(rows({"--filter", "KSZOVEG='Á*'"}), "3\n");
  EXPECT_EQ(rows({"--filter", "KSZOVEG='.*'"}), "2\n");
  EXPECT_EQ(rows({"--filter", ""}), "1\n2\n3\n4\n5\n");
  const auto r = RunTool({"rows", file.Path(), "--filter", "KSZOVEG='A' AND B*'"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "cdstool: tblAdat: Field 'B' not found.\n");
}

TEST(CdsToolFilterTest, TraceShowsTheTwoScrollsOfAKeystroke) {
  TempFile file(Encode(
      DictionaryModel({{{}, "ALMA", {}, {}, 1}, {{}, ".B", {}, {}, 2}, {{}, "ALT", {}, {}, 3}})));
  const auto r =
      RunTool({"trace", file.Path(), "--index", "KSZOVEG", "--filter", "KSZOVEG='.*'", "open",
               "options:", "filter:KSZOVEG='AL*'", "filter:KSZOVEG='A' 1'",
               "options:", "options:ci", "filtered:0", "filter:KSZOVEG='ALT*'", "filtered:1"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string scroll = "BeforeScroll\nDataSetChanged\nAfterScroll\n";
  EXPECT_EQ(r.out,
            "BeforeOpen\nStateChanged\nAfterOpen\nAfterScroll\n"
            "= open bof=1 eof=0 rec=2 seq=1 window=2\n" +
                scroll + "= options: bof=1 eof=0 rec=2 seq=1 window=2\n" + scroll +
                "= filter:KSZOVEG='AL*' bof=1 eof=0 rec=1 seq=1 window=1\n"
                // A refused text: no scroll; the window keeps its rows...
                "! Unterminated string constant.\n"
                "= filter:KSZOVEG='A' 1' bof=1 eof=0 rec=1 seq=1 window=1\n" +
                // ...until the next GoFirst shows the unfiltered index.
                scroll + "= options: bof=1 eof=0 rec=2 seq=1 window=2\n" + scroll +
                "= options:ci bof=1 eof=0 rec=1 seq=1 window=1\n" + scroll +
                "= filtered:0 bof=1 eof=0 rec=2 seq=1 window=2\n"
                "= filter:KSZOVEG='ALT*' bof=1 eof=0 rec=2 seq=1 window=2\n" +
                scroll + "= filtered:1 bof=1 eof=0 rec=3 seq=1 window=3\n");
}

}  // namespace
}  // namespace dorvem
