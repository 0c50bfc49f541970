// cdstool rows --index: the records in the order of the given key fields.
#include <gtest/gtest.h>

#include "tests/dataset/test_packets.h"
#include "tests/dataset/tool_runner.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::Encode;
using testing::RunTool;
using testing::TempFile;

TEST(CdsToolIndexTest, RowsFollowTheIndexOption) {
  // Hungarian order: CZ before CS; equal headwords by Index when asked.
  TempFile file(Encode(DictionaryModel(
      {{{}, "CSELL\xD3", {}, {}, 1}, {{}, "CZ", {}, {}, 2}, {{}, "CZ", {}, {}, 0}})));
  auto r = RunTool({"rows", file.Path(), "--index", "KSZOVEG;Index", "--fields", "KSZOVEG,Index"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "CZ\t0\nCZ\t2\nCSELLÓ\t1\n");
  r = RunTool({"rows", file.Path(), "--fields", "Index"});
  EXPECT_EQ(r.out, "1\n2\n0\n");
  r = RunTool({"rows", file.Path(), "--index", "SZOVMAGY"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "cdstool: Invalid field type.\n");
}

TEST(CdsToolIndexTest, TraceOrdersBeforeOpeningAndReordersWhileOpen) {
  TempFile file(
      Encode(DictionaryModel({{{}, "C", {}, {}, 1}, {{}, "A", {}, {}, 2}, {{}, "B", {}, {}, 3}})));
  const auto r = RunTool({"trace", file.Path(), "--index", "KSZOVEG", "--window", "2", "open",
                          "next", "index:KSZOVEG", "index:", "index:NOPE"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "BeforeOpen\nStateChanged\nAfterOpen\nAfterScroll\n"
            "= open bof=1 eof=0 rec=2 seq=1 window=2,3\n"
            "BeforeScroll\nDataSetScrolled 0\nAfterScroll\n"
            "= next bof=0 eof=0 rec=3 seq=2 window=2,3\n"
            "= index:KSZOVEG bof=0 eof=0 rec=3 seq=2 window=2,3\n"
            "DataSetChanged\n"
            "= index: bof=0 eof=0 rec=3 seq=3 window=2,3\n"
            "! tblAdat: Field 'NOPE' not found.\n"
            "= index:NOPE bof=0 eof=0 rec=3 seq=3 window=2,3\n");
}

}  // namespace
}  // namespace dorvem
