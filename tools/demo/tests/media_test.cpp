// Making the media files from their recipes, and the synthesiser behind the sounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "file_io.h"
#include "media.h"
#include "packet_json.h"
#include "synth.h"

namespace demo {
namespace {

namespace fs = std::filesystem;

class MediaFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("demo_media_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "src");
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::vector<std::string> Make(const std::string& line) {
    return MakeMedia(ParseRecipes(line).at(0), "TERC", dir_ / "Sounds", dir_ / "src");
  }
  fs::path dir_;
};

TEST_F(MediaFiles, SoundWithScoreWritesBothUnderTheirNames) {
  const auto written = Make("a.b.wav hang kotta | C4:1 E4:1 |\n");
  ASSERT_EQ(written, (std::vector<std::string>{"a.b.wav", "PICTURES/a.b.PDF"}));
  EXPECT_EQ(ReadFile(dir_ / "Sounds" / "a.b.wav").substr(0, 4), "RIFF");
  EXPECT_EQ(ReadFile(dir_ / "Sounds" / "PICTURES" / "a.b.PDF").substr(0, 5), "%PDF-");
}

TEST_F(MediaFiles, EachKindWritesItsOwnFormat) {
  Make("x.mp3 hang | C4:1\n");
  Make("s.mid hang midi=1 | C4:1\n");
  Make("p.scm scm | C4+E4:2 R:1\n");
  WriteFile(dir_ / "src" / "t.txt", "szöveg");
  Make("t.txt masolat forras=t.txt\n");
  EXPECT_EQ(static_cast<uint8_t>(ReadFile(dir_ / "Sounds" / "x.mp3")[0]), 0xFF);
  EXPECT_EQ(ReadFile(dir_ / "Sounds" / "s.mid").substr(0, 4), "MThd");
  const std::string scm = ReadFile(dir_ / "Sounds" / "p.scm");
  EXPECT_NE(scm.find("cim: TERC"), std::string::npos);
  EXPECT_NE(scm.find("C4+E4:2\nR:1\n"), std::string::npos);
  EXPECT_EQ(ReadFile(dir_ / "Sounds" / "t.txt"), "szöveg");
  EXPECT_THROW(Make("u.txt masolat\n"), std::runtime_error);
}

TEST_F(MediaFiles, MissingOnPurposeWritesNothing) {
  EXPECT_TRUE(Make("tarogato.mp3 hianyzik\n").empty());
  EXPECT_FALSE(fs::exists(dir_ / "Sounds" / "tarogato.mp3"));
}

TEST(Synth, RenderingIsBoundedAndLastsAsLongAsTheTune) {
  Tune t;
  t.tempo = 120;  // half a second a beat
  t.events = ParseEvents("C4+E4+G4:2 R:1 A4:1");
  for (const char* instrument : {"zongora", "hegedu", "harang", "orgona"}) {
    t.instrument = instrument;
    const std::vector<float> s = RenderTune(t, 8000);
    const Timbre& timbre = TimbreByName(instrument);
    EXPECT_NEAR(s.size() / 8000.0, 2.0 + timbre.release + 0.2, 0.01) << instrument;
    float peak = 0;
    for (const float v : s) peak = std::max(peak, std::abs(v));
    EXPECT_NEAR(peak, 0.8f, 0.01f) << instrument;
    EXPECT_EQ(s.front(), 0.0f);  // faded in
    EXPECT_EQ(s.back(), 0.0f);   // and out
  }
  t.instrument = "duda";
  EXPECT_THROW(RenderTune(t, 8000), std::runtime_error);
}

TEST(PacketDescription, NullAndEmptyNamesStayApart) {
  const std::string j = PacketJson({{std::nullopt, "TERC", "memo/0001.rtf", std::nullopt, 1},
                                    {"", "CSEND \"x\"", "memo/0002.txt", "pictures/a.bmp", 2}});
  EXPECT_NE(j.find("{\"FAJLNEV\": null, \"KSZOVEG\": \"TERC\""), std::string::npos);
  EXPECT_NE(j.find("\"GRAPHIC\": null, \"Index\": 1}"), std::string::npos);
  EXPECT_NE(j.find("{\"FAJLNEV\": \"\", \"KSZOVEG\": \"CSEND \\\"x\\\"\""), std::string::npos);
  EXPECT_NE(j.find("\"GRAPHIC\": {\"file\": \"pictures/a.bmp\"}"), std::string::npos);
  EXPECT_NE(j.find("\"params\": {\"LCID\": 1038}"), std::string::npos);
  EXPECT_EQ(JsonQuote("a\tb\x01"), "\"a\\tb\\u0001\"");
}

}  // namespace
}  // namespace demo
