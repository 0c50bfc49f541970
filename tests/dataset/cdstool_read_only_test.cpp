// cdstool never writes the packet it reads: after every command, with every
// option, the file's bytes, its modification time and its folder are what
// they were. convert writes only the file it is told to.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/dataset/file_snapshot.h"
#include "tests/dataset/test_packets.h"
#include "tests/dataset/tool_runner.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::Encode;
using testing::FileSnapshot;
using testing::RunTool;
using testing::TempFile;

TEST(CdsToolReadOnlyTest, NoCommandChangesTheFileItReads) {
  const std::vector<testing::DictRow> rows = {
      {"a.mp3", ".ARIA", "{\\rtf1 x}", "BM\x01\x02", 1},
      {std::nullopt, "BETA", "lassan", std::nullopt, 2},
      {"c.mid", "CELLO", std::nullopt, std::nullopt, std::nullopt}};
  for (bool xml : {false, true}) {
    SCOPED_TRACE(xml ? "xml" : "binary");
    TempFile file(Encode(DictionaryModel(rows), xml), xml ? "d.xml" : "d.cds");
    const std::string& path = file.Path();
    // Beside the file's folder, which must keep exactly its one name.
    const std::string other =
        path.substr(0, path.rfind('/')) + "/../converted_" + std::to_string(::getpid()) + ".out";
    FileSnapshot::Age(path);
    const FileSnapshot before = FileSnapshot::Of(path);
    const std::vector<std::vector<std::string>> commands = {
        {"info", path},
        {"rows", path},
        {"rows", path, "--index", "KSZOVEG", "--filter", "KSZOVEG='B*'", "--case-insensitive",
         "--no-partial", "--fields", "KSZOVEG,Index", "--recno"},
        {"rows", path, "--json"},
        {"rows", path, "--filter", "KSZOVEG='A'1*'"},  // refused: an error
        {"filter-buffer", path, "KSZOVEG='AB*'", "--case-insensitive", "--no-partial"},
        {"trace",         path,           "--index",     "KSZOVEG",
         "--filter",      "KSZOVEG='.*'", "--window",    "3",
         "open",          "first",        "next",        "last",
         "prior",         "move:2",       "goto:1",      "filter:KSZOVEG='B*'",
         "options:ci,np", "filtered:0",   "index:Index", "close"},
        {"convert", path, other, "--to", xml ? "binary" : "xml"},
    };
    for (const auto& args : commands) {
      SCOPED_TRACE(args[0] + " " + (args.size() > 2 ? args[2] : ""));
      const auto r = RunTool(args);
      EXPECT_EQ(r.signal, 0);
      EXPECT_TRUE(FileSnapshot::Of(path) == before);
    }
    // What convert wrote is the other form of the same rows.
    const auto r = RunTool({"rows", other});
    EXPECT_NE(r.out, "");
    EXPECT_EQ(r.out, RunTool({"rows", path}).out);
    std::remove(other.c_str());
  }
}

}  // namespace
}  // namespace dorvem
