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

}  // namespace
}  // namespace dorvem
