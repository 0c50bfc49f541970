// The demo dictionary's own content: enough entries of each kind, the welcome pages, and
// every case the window's media actions have to handle.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "entries.h"
#include "media.h"
#include "memo.h"
#include "pictures.h"

namespace demo {
namespace {

const std::filesystem::path kSource = DEMO_SOURCE_DIR;

class Content : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    entries_ = new std::vector<Entry>(LoadEntries(kSource / "entries"));
    std::ifstream in(kSource / "media.txt");
    std::stringstream buf;
    buf << in.rdbuf();
    recipes_ = new std::vector<MediaRecipe>(ParseRecipes(buf.str()));
  }
  static void TearDownTestSuite() {
    delete entries_;
    delete recipes_;
  }
  static const Entry* Find(const std::string& headword) {
    for (const Entry& e : *entries_) {
      if (e.headword == headword) return &e;
    }
    return nullptr;
  }
  static const MediaRecipe* Recipe(const std::string& name) {
    for (const MediaRecipe& r : *recipes_) {
      if (r.name == name) return &r;
    }
    return nullptr;
  }
  static std::vector<Entry>* entries_;
  static std::vector<MediaRecipe>* recipes_;
};

std::vector<Entry>* Content::entries_ = nullptr;
std::vector<MediaRecipe>* Content::recipes_ = nullptr;

TEST_F(Content, IsValidAndLargeEnough) {
  EXPECT_NO_THROW(ValidateEntries(*entries_));
  EXPECT_NO_THROW(CheckReferences(*entries_));
  EXPECT_GE(entries_->size(), 300u);
  for (const char* h :
       {"ÁRIA", "CSELLÓ", "ÉNEKKAR", "GYORSAN", "KVINTKÖR", "NYITÁNY", "ÖSSZHANG", "SZOPRÁN",
        "TERC", "ZSOLTÁR", "ADAGIO", "ALLEGRO", "DA CAPO", "VIOLA D'AMORE"}) {
    EXPECT_NE(Find(h), nullptr) << h;
  }
}

TEST_F(Content, WelcomePagesComeFirstInTheSourcesAndUseRichText) {
  int welcome = 0;
  for (const Entry& e : *entries_) {
    if (e.headword.starts_with(".")) {
      ++welcome;
      EXPECT_FALSE(e.plain) << e.headword;
    }
  }
  EXPECT_GE(welcome, 3);
}

TEST_F(Content, BothMemoKindsAndEnoughPictures) {
  const auto plain =
      std::count_if(entries_->begin(), entries_->end(), [](const Entry& e) { return e.plain; });
  const double share = static_cast<double>(plain) / entries_->size();
  EXPECT_GE(share, 0.15);
  EXPECT_LE(share, 0.25);
  std::set<std::string> pictures;
  int with_picture = 0;
  for (const Entry& e : *entries_) {
    if (!e.picture) continue;
    ++with_picture;
    pictures.insert(*e.picture);
    EXPECT_NO_THROW(RenderPicture(*e.picture)) << e.headword;
  }
  EXPECT_GE(with_picture, 30);
  EXPECT_EQ(pictures.size(), PictureCatalogue().size());  // no picture drawn for nothing
}

TEST_F(Content, MediaNamesCoverTheCasesOfThePlayAction) {
  std::set<std::string> names;
  int null_names = 0;
  for (const Entry& e : *entries_) {
    if (e.media) {
      names.insert(*e.media);
    } else {
      ++null_names;
    }
  }
  EXPECT_GT(null_names, static_cast<int>(entries_->size() / 2));  // most entries: none
  EXPECT_TRUE(names.contains(""));
  auto has = [&](auto pred) { return std::any_of(names.begin(), names.end(), pred); };
  EXPECT_TRUE(has([](const std::string& n) { return n.ends_with(".scm"); }));
  EXPECT_TRUE(has([](const std::string& n) { return n.ends_with(".avi"); }));
  EXPECT_TRUE(has([](const std::string& n) { return n.ends_with(".htm") || n.ends_with(".txt"); }));
  EXPECT_TRUE(has([](const std::string& n) { return n.ends_with(".mp3"); }));
  EXPECT_TRUE(has([](const std::string& n) { return n.ends_with(".WAV") || n.ends_with(".MP3"); }));
  EXPECT_TRUE(has([](const std::string& n) { return std::count(n.begin(), n.end(), '.') == 2; }));
  // The demo ships whole: no entry's media file is left out on purpose (a
  // missing file is the tests' own data).
  EXPECT_FALSE(has([&](const std::string& n) {
    const MediaRecipe* r = Recipe(n);
    return r != nullptr && r->kind == "hianyzik";
  }));
  for (const std::string& n : names) {
    if (!n.empty()) {
      EXPECT_NE(Recipe(n), nullptr) << n;
    }
  }
}

TEST_F(Content, CueSoundsAndScoresExist) {
  ASSERT_NE(Recipe("hangkep.mp3"), nullptr);
  ASSERT_NE(Recipe("kottakep.mp3"), nullptr);
  EXPECT_NE(Recipe("hangkep.mp3")->tune.instrument, Recipe("kottakep.mp3")->tune.instrument);
  const auto scores = std::count_if(recipes_->begin(), recipes_->end(), [](const MediaRecipe& r) {
    return r.options.contains("kotta");
  });
  EXPECT_GE(scores, 20);
}

}  // namespace
}  // namespace demo
