// `dorvem --lookup`: what it prints of rich and plain explanations, media
// and score files, as text and as JSON, and its exit statuses.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <sstream>

#include "app/command_line.h"
#include "app/lookup.h"
#include "tests/dictionary/program_folder.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::Encode;

class LookupTest : public ::testing::Test, public testing::ProgramFolderFixture {
 protected:
  void SetUp() override {
    // Windows-1250: \xf6 ö, \xe9 é, \xe1 á, \xfb ű.
    WriteDataFile(Encode(DictionaryModel({
        {"legato.mp3",
         "LEGATO",
         "{\\rtf1\\ansi\\ansicpg1250 {\\b K\\'f6tve} j\\'e1tszva,\\par m\\'e1sodik "
         "bekezd\\'e9s.}",
         {},
         1},
        {"nincs.wav", "LEGGIERO", "K\xf6nnyed\xe9n,\r\nfinoman \xfcgyelve r\xe1", {}, 2},
        {{}, "LARGO", "Sz\xe9lesen.", {}, 3},
        {{}, "\xc9NEK", "Dal.", {}, 4},
    })));
    QDir(Folder()).mkpath(QStringLiteral("Sounds/PICTURES"));
    for (const char* name : {"Sounds/legato.mp3", "Sounds/PICTURES/legato.PDF"}) {
      QFile file(Folder() + QString::fromLatin1(name));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write("%PDF-1.4\n");
    }
  }

  int Lookup(const std::vector<std::string>& args, int width = 0) {
    out_.str({});
    err_.str({});
    return RunCommandLine(ParseCommandLine(args), Options(), out_, err_, {width, false});
  }

  std::ostringstream out_, err_;
};

TEST_F(LookupTest, PrintsTheEntriesOfTheHeadwordSearch) {
  const std::string folder = Folder().toStdString();
  // Lower case is typed as the search box types it: in capitals.
  EXPECT_EQ(Lookup({"--lookup", "leg"}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "LEGATO\n"
            "Kötve játszva,\n"
            "második bekezdés.\n"
            "Médiafájl: " +
                folder +
                "Sounds/legato.mp3\n"
                "Kotta: " +
                folder +
                "Sounds/PICTURES/legato.PDF\n"
                "\n"
                "LEGGIERO\n"
                "Könnyedén,\n"
                "finoman ügyelve rá\n"
                "Médiafájl: " +
                folder + "Sounds/nincs.wav (nincs meg)\n");
  EXPECT_EQ(err_.str(), "");

  // On a terminal of 12 columns the paragraphs are wrapped between words.
  EXPECT_EQ(Lookup({"--lookup", "LEGG"}, 12), 0);
  EXPECT_EQ(out_.str(), "LEGGIERO\nKönnyedén,\nfinoman\nügyelve rá\nMédiafájl: " + folder +
                            "Sounds/nincs.wav (nincs meg)\n");

  // Accented letters too, by the data's casing rules.
  EXPECT_EQ(Lookup({"--lookup", "ének"}), 0);
  EXPECT_EQ(out_.str(), "ÉNEK\nDal.\n");

  EXPECT_EQ(Lookup({"--lookup", "LEGX"}), 1);
  EXPECT_EQ(out_.str(), "");
}

TEST_F(LookupTest, EverythingFindsWordsOfHeadwordsAndExplanations) {
  // A word of the rich text as shown (not of its control words), folded.
  EXPECT_EQ(Lookup({"--lookup", "--everything", "kotve"}), 0) << err_.str();
  EXPECT_EQ(out_.str().rfind("LEGATO\n", 0), 0u) << out_.str();
  // Every word at once, accents and case ignored, in headword order.
  EXPECT_EQ(Lookup({"--lookup", "--everything", "ÜGYELVE", "konnyed"}), 0);
  EXPECT_EQ(out_.str().rfind("LEGGIERO\n", 0), 0u) << out_.str();
  EXPECT_EQ(out_.str().find("LEGATO"), std::string::npos) << out_.str();
  EXPECT_EQ(Lookup({"--lookup", "--everything", "ene", "dal"}), 0);
  EXPECT_EQ(out_.str(), "ÉNEK\nDal.\n");
  // Words of two entries never both in one: nothing; no word at all: nothing.
  EXPECT_EQ(Lookup({"--lookup", "--everything", "dal", "ugyelve"}), 1);
  EXPECT_EQ(Lookup({"--lookup", "--everything", "--", "-"}), 1);
  EXPECT_EQ(out_.str(), "");
}

TEST_F(LookupTest, PrintsOneJsonObjectPerEntry) {
  EXPECT_EQ(Lookup({"--lookup", "--json", "L"}), 0) << err_.str();
  std::vector<QJsonObject> objects;
  std::istringstream lines(out_.str());
  for (std::string line; std::getline(lines, line);) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << line;
    objects.push_back(doc.object());
  }
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(objects[0][u"headword"].toString(), QStringLiteral("LARGO"));
  EXPECT_EQ(objects[0][u"text"].toString(), QStringLiteral(u"Szélesen."));
  EXPECT_TRUE(objects[0][u"media"].isNull());
  EXPECT_TRUE(objects[0][u"score"].isNull());
  EXPECT_EQ(objects[1][u"headword"].toString(), QStringLiteral("LEGATO"));
  EXPECT_EQ(objects[1][u"text"].toString(), QStringLiteral(u"Kötve játszva,\nmásodik bekezdés."));
  EXPECT_EQ(objects[1][u"media"].toString(), Folder() + "Sounds/legato.mp3");
  EXPECT_TRUE(objects[1][u"mediaFound"].toBool());
  EXPECT_EQ(objects[1][u"score"].toString(), Folder() + "Sounds/PICTURES/legato.PDF");
  EXPECT_EQ(objects[2][u"media"].toString(), Folder() + "Sounds/nincs.wav");
  EXPECT_FALSE(objects[2][u"mediaFound"].toBool());
}

TEST_F(LookupTest, AnUnreadableDataFileIsStatusTwo) {
  QFile::remove(DataFile());
  EXPECT_EQ(Lookup({"--lookup", "LEG"}), 2);
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(err_.str().rfind("dorvem: " + DataFile().toStdString() + ": ", 0), 0u) << err_.str();
}

TEST(WrapTextTest, BreaksBetweenWordsAndKeepsLongWordsWhole) {
  EXPECT_EQ(WrapText(QStringLiteral("aa bb cc\n\nhosszúszó x"), 5),
            QStringLiteral(u"aa bb\ncc\n\nhosszúszó\nx"));
  EXPECT_EQ(WrapText(QStringLiteral("a  b"), 0), QStringLiteral("a  b"));
}

}  // namespace
}  // namespace dorvem
