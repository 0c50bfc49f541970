// The whole build on a small source tree: what it writes, and the inconsistencies between
// entries and media recipes it refuses.
#include <gtest/gtest.h>

#include "demo_build.h"
#include "file_io.h"

namespace demo {
namespace {

namespace fs = std::filesystem;

class DemoBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("demo_build_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    WriteFile(dir_ / "src" / "entries" / "a.txt",
              "== .ÚTMUTATÓ\nÜdvözöljük! Vö. [[TERC]].\n"
              "== TERC\nfajl: terc.wav\nkep: g_kulcs\nHárom fok.\n"
              "== CSEND\nfajl: \"\"\nSemmi.\n");
    WriteFile(dir_ / "src" / "entries" / "b.txt", "@sima\n== ÜTEM\nkep: g_kulcs\nEgység.\n");
    WriteFile(dir_ / "src" / "entries" / "notes.md", "not an entry file");
    WriteFile(dir_ / "src" / "media.txt",
              "terc.wav hang kotta | C4:1 E4:1\nhangkep.mp3 hang | E6:0.5\n");
  }
  void TearDown() override { fs::remove_all(dir_); }
  BuildSummary Build() { return BuildDemo(dir_ / "src", dir_ / "out"); }
  fs::path dir_;
};

TEST_F(DemoBuild, WritesMediaMemosPicturesAndTheDescription) {
  WriteFile(dir_ / "out" / "Sounds" / "stale.wav", "old");  // replaced, not kept
  const BuildSummary s = Build();
  EXPECT_EQ(s.entries, 4u);
  EXPECT_EQ(s.plain, 1u);
  EXPECT_EQ(s.pictures, 1u);  // one picture shared by two entries
  EXPECT_EQ(s.sounds, 2);
  EXPECT_EQ(s.scores, 1);
  EXPECT_TRUE(fs::exists(dir_ / "out" / "Sounds" / "terc.wav"));
  EXPECT_TRUE(fs::exists(dir_ / "out" / "Sounds" / "PICTURES" / "terc.PDF"));
  EXPECT_FALSE(fs::exists(dir_ / "out" / "Sounds" / "stale.wav"));
  EXPECT_TRUE(ReadFile(dir_ / "out" / "packet" / "memo" / "0001.rtf").starts_with("{\\rtf1"));
  EXPECT_EQ(ReadFile(dir_ / "out" / "packet" / "memo" / "0004.txt"), "\xDCTEM\n\nEgys\xE9g.\n");
  const std::string json = ReadFile(dir_ / "out" / "packet" / "dorvem1.json");
  EXPECT_NE(json.find("\"FAJLNEV\": \"\", \"KSZOVEG\": \"CSEND\""), std::string::npos);
  EXPECT_NE(json.find("\"Index\": 4}"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir_ / "out" / "packet" / "pictures" / "g_kulcs.bmp"));
}

TEST_F(DemoBuild, RefusesMediaWithoutRecipeAndRecipesWithoutEntry) {
  WriteFile(dir_ / "src" / "media.txt", "hangkep.mp3 hang | E6:0.5\n");
  EXPECT_THROW(Build(), std::runtime_error);  // terc.wav has no recipe
  WriteFile(dir_ / "src" / "media.txt",
            "terc.wav hang | C4:1\nkvint.wav hang | C4:1\n");  // nobody uses kvint.wav
  EXPECT_THROW(Build(), std::runtime_error);
  WriteFile(dir_ / "src" / "media.txt", "terc.wav hang | C4:1\nterc.wav hang | D4:1\n");
  EXPECT_THROW(Build(), std::runtime_error);
}

TEST_F(DemoBuild, RefusesBrokenReferencesAndUnknownPictures) {
  WriteFile(dir_ / "src" / "entries" / "c.txt", "== SZEXT\nVö. [[NÓNA]].\n");
  EXPECT_THROW(Build(), std::runtime_error);
  WriteFile(dir_ / "src" / "entries" / "c.txt", "== SZEXT\nkep: nincs_ilyen\nHat fok.\n");
  EXPECT_THROW(Build(), std::runtime_error);
}

}  // namespace
}  // namespace demo
