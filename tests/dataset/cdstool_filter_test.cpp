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

}  // namespace
}  // namespace dorvem
