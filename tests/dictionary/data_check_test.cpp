// The dictionary check: every kind of fault in a crafted dictionary with
// the exact line it gives, the data file's own failures, and the program
// itself checking the demo dictionary and a damaged copy of it.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <sstream>

#include "dataset/core/byte_layout.h"
#include "dataset/packet/packet_format.h"
#include "dictionary/data_check.h"
#include "tests/app/bmp_writer.h"
#include "tests/dictionary/program_folder.h"
#include "tests/media/media_bytes.h"

namespace dorvem {
namespace {

using testing::Bytes;
using testing::DictionaryModel;
using testing::DictRow;
using testing::Encode;
using testing::ProgramFolderFixture;

const char kUnplayable[] =
    "(hibakód 296: A fájl nem játszható le: nem WAV-, MP3- vagy MIDI-fájl, vagy a tartalma "
    "sérült.)";

class DataCheckTest : public ::testing::Test {
 protected:
  // Writes `bytes` to `relative` below the program folder, making its folders.
  void Put(const QString& relative, const Bytes& bytes) const {
    const QString path = folder_.Folder() + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  }
  void Put(const QString& relative, const std::string& text) const {
    Put(relative, Bytes(text.begin(), text.end()));
  }
  void MakeFolder(const QString& relative) const { QDir().mkpath(folder_.Folder() + relative); }

  // Checks the data file of the program folder; the report's lines and
  // the exit status.
  std::pair<std::string, int> Check() const {
    const std::string dataFile = folder_.DataFile().toStdString();
    std::ostringstream out;
    const int status = WriteCheckReport(CheckDictionary(dataFile, folder_.Folder()), out);
    return {out.str(), status};
  }

  std::string Folder() const { return folder_.Folder().toStdString(); }

  static Bytes Wave() { return testing::WaveFile(8000, 1, 800); }
  static Bytes Mp3() { return testing::MpegFrames({0xFF, 0xFB, 0x90, 0x00}, 417, 4); }
  static std::string Bitmap() {
    return testing::EncodeBmp(testing::Pattern(2, 2, {0xFF0000, 0x00FF00}), {});
  }

  // The start of a GIF picture, longer than a bitmap file header.
  static std::string Gif() {
    return std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13) + std::string(30, '\xff');
  }

  ProgramFolderFixture folder_;
};

TEST_F(DataCheckTest, EachFaultGivesItsOwnLineInHeadwordOrder) {
  // The cue for a sound is a wave file under an MP3 name, which the device
  // chosen by the file plays; the score cue is missing.
  Put("Sounds/hangkep.mp3", Wave());
  MakeFolder("Sounds/Pictures");
  Put("Sounds/jo.wav", Wave());
  Put("Sounds/Pictures/jo.PDF", std::string("%PDF-1.4\n%%EOF\n"));
  MakeFolder("Sounds/mappa.wav");
  Put("kint.wav", Wave());
  Put("Sounds/hamis.mid", Wave());
  Put("Sounds/szemet.mp3", std::string("nem hang, csak szöveg"));
  Put("Sounds/fuvola.wav", Wave());
  Put("Sounds/al/hang.wav", Wave());
  Put("Sounds/kotta.mid", testing::OneNoteMidi(480));
  Put("Sounds/Pictures/kotta.pdf", std::string("%PDF-1.7\n"));
  Put("Sounds/rossz.mp3", Mp3());
  Put("Sounds/Pictures/rossz.PDF", std::string("<html>nem PDF</html>"));
  Put("Sounds/darab.scm", std::string("kotta"));
  Put("Sounds/lap.htm", std::string("<p>lap</p>"));

  // Headwords and names in windows-1250; rows not in headword order.
  const std::string rtf = "{\\rtf1\\ansi j\\'f3}";
  const std::vector<DictRow> rows = {
      {"kotta.mid", "10 KOTTA", rtf, {}, 110},
      {"jo.wav", "01 J\xD3", rtf, Bitmap(), 101},
      {"nincs.mp3", "02 HI\xC1NYZ\xD3", rtf, {}, 102},
      {"mappa.wav", "03 MAPPA", "sima sz\xF6veg", {}, 103},
      {"/etc/hosts", "04 ABSZOL\xDAT", {}, {}, 104},
      {"..\\kint.wav", "05 KIJUT\xD3", {}, {}, 105},
      {"hamis.mid", "06 HAMIS MIDI", {}, {}, 106},
      {"szemet.mp3", "07 SZEM\xC9T", {}, {}, 107},
      {"FUVOLA.WAV", "08 NAGYBET\xDBS", {}, {}, 108},
      {"al\\hang.wav", "09 ALMAPPA", {}, {}, 109},
      {"rossz.mp3", "11 NEM PDF", {}, {}, 111},
      {{}, "12 K\xC9P", {}, Gif(), 112},
      {{}, "13 R\xD6VID K\xC9P", {}, std::string("BM\x01\x02\x03"), 113},
      {{}, "14 MEM\xD3", std::string("ab\0cd", 5), {}, 114},
      {{}, "", "nincs c\xEDmsz\xF3", {}, {}},
      {"darab.scm", "15 KOTTALEJ\xC1TSZ\xD3", {}, {}, 115},
      {"", "16 \xDCRES N\xC9V", {}, {}, 116},
      {"lap.htm", "17 WEBLAP", {}, {}, 117},
  };
  folder_.WriteDataFile(Encode(DictionaryModel(rows)));

  const std::string outside =
      "a Sounds mappán kívülre mutat (abszolút név vagy \"..\"), a program "
      "nem keresi: ";
  const std::string expected =
      "FIGYELMEZTETÉS: a mappa csak más kis- és nagybetűkkel van meg: Sounds\\PICTURES (a "
      "lemezen: Sounds/Pictures)\n"
      "HIBA: nincs meg a jelzőhang: Sounds\\kottakep.mp3\n"
      "HIBA: (üres címszó) (Index nincs): üres a címszó (KSZOVEG): a keresés sosem mutatja meg\n"
      "HIBA: 02 HIÁNYZÓ (Index 102): nincs meg a médiafájl: Sounds\\nincs.mp3\n"
      "HIBA: 03 MAPPA (Index 103): a médiafájl helyén mappa van: Sounds\\mappa.wav\n"
      "HIBA: 04 ABSZOLÚT (Index 104): a médiafájl neve " +
      outside +
      "/etc/hosts\n"
      "HIBA: 05 KIJUTÓ (Index 105): a médiafájl neve " +
      outside +
      "..\\kint.wav\n"
      "HIBA: 06 HAMIS MIDI (Index 106): a médiafájl nem játszható le: Sounds\\hamis.mid " +
      kUnplayable +
      "\n"
      "HIBA: 07 SZEMÉT (Index 107): a médiafájl nem játszható le: Sounds\\szemet.mp3 " +
      kUnplayable +
      "\n"
      "FIGYELMEZTETÉS: 08 NAGYBETŰS (Index 108): a médiafájl csak más kis- és nagybetűkkel van "
      "meg: Sounds\\FUVOLA.WAV (a lemezen: Sounds/fuvola.wav)\n"
      "FIGYELMEZTETÉS: 09 ALMAPPA (Index 109): a médiafájl csak más mappaelválasztóval van meg: "
      "Sounds\\al\\hang.wav (a lemezen: Sounds/al/hang.wav)\n"
      "FIGYELMEZTETÉS: 10 KOTTA (Index 110): a kottadokumentum csak más kis- és nagybetűkkel van "
      "meg: Sounds\\PICTURES\\kotta.PDF (a lemezen: Sounds/Pictures/kotta.pdf)\n"
      "HIBA: 11 NEM PDF (Index 111): a kottadokumentum nem PDF-fájl: "
      "Sounds\\PICTURES\\rossz.PDF\n"
      "HIBA: 12 KÉP (Index 112): a kép (GRAPHIC) hibás: Bitmap image is not valid\n"
      "HIBA: 13 RÖVID KÉP (Index 113): a kép (GRAPHIC) hibás: Stream read error\n"
      "HIBA: 14 MEMÓ (Index 114): a magyarázat (SZOVMAGY) nem tölthető be: Failed to Load "
      "Stream\n"
      "Megjegyzés: Nincs meg a kottalejátszó program (" +
      Folder() +
      "scplayer.exe): 1 címszó .SCM fájlja ezen a gépen nem játszható le. Ez nem az adatok "
      "hibája.\n"
      "Adatfájl: " +
      Folder() +
      "Data/dorvem1.cds\n"
      "Médiamappa: " +
      Folder() +
      "Sounds/\n"
      "Ellenőrizve: 18 címszó, 9 médiafájl, 3 kottadokumentum.\n"
      "Eredmény: 12 hiba, 4 figyelmeztetés.\n";
  const auto [report, status] = Check();
  EXPECT_EQ(report, expected);
  EXPECT_EQ(status, 1);
}

TEST_F(DataCheckTest, WarningsAloneLeaveTheStatusZero) {
  // Every file in place (the score player too), below a media folder in
  // lower case, and one name in another case.
  Put("sounds/hangkep.mp3", Mp3());
  Put("sounds/kottakep.mp3", Mp3());
  Put("sounds/ORGONA.mp3", Mp3());
  Put("sounds/PICTURES/orgona.PDF", std::string("%PDF-1.4\n"));
  Put("sounds/darab.scm", std::string("kotta"));
  Put("scplayer.exe", std::string("program"));
  folder_.WriteDataFile(Encode(DictionaryModel({
      {"orgona.MP3", "ORGONA", "{\\rtf1 orgona}", {}, 1},
      {"darab.scm", "DARAB", "darab", {}, 2},
  })));
  const auto [report, status] = Check();
  // The folder's spelling is told once, not for the score folder in it or
  // for each file.
  EXPECT_EQ(report,
            "FIGYELMEZTETÉS: a mappa csak más kis- és nagybetűkkel van meg: Sounds (a lemezen: "
            "sounds)\n"
            "FIGYELMEZTETÉS: ORGONA (Index 1): a médiafájl csak más kis- és nagybetűkkel van "
            "meg: Sounds\\orgona.MP3 (a lemezen: sounds/ORGONA.mp3)\n"
            "Adatfájl: " +
                Folder() +
                "Data/dorvem1.cds\n"
                "Médiamappa: " +
                Folder() +
                "Sounds/\n"
                "Ellenőrizve: 2 címszó, 2 médiafájl, 1 kottadokumentum.\n"
                "Eredmény: 0 hiba, 2 figyelmeztetés.\n");
  EXPECT_EQ(status, 0);
}

// A memo longer than the window shows (128 KB) is a warning with its size
// in kilobytes, rounded up; one of exactly 128 KB is not.
TEST_F(DataCheckTest, AMemoTheWindowShowsInPartIsAWarning) {
  MakeFolder("Sounds/PICTURES");
  Put("Sounds/hangkep.mp3", Mp3());
  Put("Sounds/kottakep.mp3", Mp3());
  std::string words;
  while (words.size() < 131072) words += "hang ";
  words.resize(131072);
  folder_.WriteDataFile(Encode(DictionaryModel({
      {{}, "ELEG", words, {}, 1},
      {{}, "HOSSZU", words + "x", {}, 2},
  })));
  const auto [report, status] = Check();
  EXPECT_EQ(report,
            "FIGYELMEZTETÉS: HOSSZU (Index 2): a magyarázat (SZOVMAGY) túl hosszú: 129 KB, az "
            "ablak csak az első 128 KB-ját mutatja\n"
            "Adatfájl: " +
                Folder() +
                "Data/dorvem1.cds\n"
                "Médiamappa: " +
                Folder() +
                "Sounds/\n"
                "Ellenőrizve: 2 címszó, 0 médiafájl, 0 kottadokumentum.\n"
                "Eredmény: 0 hiba, 1 figyelmeztetés.\n");
  EXPECT_EQ(status, 0);
}

TEST_F(DataCheckTest, ADataFileThatCannotBeOpenedIsReportedWithTheDatasetsText) {
  Put("Sounds/hangkep.mp3", Mp3());
  Put("Sounds/kottakep.mp3", Mp3());
  const std::string tail = "Adatfájl: " + Folder() + "Data/dorvem1.cds\nMédiamappa: " + Folder() +
                           "Sounds/\nEllenőrizve: semmi, mert az adatfájl nem nyitható meg.\n";

  // Absent.
  auto [report, status] = Check();
  EXPECT_EQ(report,
            "HIBA: az adatfájl nem nyitható meg: tblAdat: Missing data provider or data "
            "packet.\n" +
                tail + "Eredmény: 1 hiba, 0 figyelmeztetés.\n");
  EXPECT_EQ(status, 1);

  // Not a packet at all.
  folder_.WriteDataFile({'x', 'y', 'z', 'z', 'y'});
  std::tie(report, status) = Check();
  EXPECT_EQ(report, "HIBA: az adatfájl nem nyitható meg: Mismatch in datapacket.\n" + tail +
                        "Eredmény: 1 hiba, 0 figyelmeztetés.\n");
  EXPECT_EQ(status, 1);

  // A packet without two of the window's columns: each one named.
  PacketModel model = DictionaryModel({{"a.mp3", "A", "a", {}, 1}});
  model.columns.erase(model.columns.begin() + 3);  // GRAPHIC
  std::snprintf(model.columns[1].desc.name, sizeof model.columns[1].desc.name, "CIMSZO");
  for (PacketRow& row : model.rows) row.values.erase(row.values.begin() + 3);
  folder_.WriteDataFile(Encode(model));
  std::tie(report, status) = Check();
  EXPECT_EQ(report,
            "HIBA: az adatfájl nem nyitható meg: tblAdat: Field 'KSZOVEG' not found.\n"
            "HIBA: az adatfájl nem nyitható meg: tblAdat: Field 'GRAPHIC' not found.\n" +
                tail + "Eredmény: 2 hiba, 0 figyelmeztetés.\n");
  EXPECT_EQ(status, 1);
}

TEST_F(DataCheckTest, DamageThatStillOpensIsReported) {
  Put("Sounds/hangkep.mp3", Mp3());
  Put("Sounds/kottakep.mp3", Mp3());
  // Two entries, but the header counts one: the window would show one.
  Bytes bytes = Encode(DictionaryModel({{{}, "A", "a", {}, 1}, {{}, "B", "b", {}, 2}}));
  StoreU32(bytes.data() + packet::kOffRowCount, 1);
  folder_.WriteDataFile(bytes);
  const auto [report, status] = Check();
  EXPECT_EQ(report,
            "HIBA: az adatfájl sérült: a fejléc szerint 1 sor van az adatfájlban, de 2 sor van "
            "benne: a többit a program nem mutatja\n"
            "Adatfájl: " +
                Folder() + "Data/dorvem1.cds\nMédiamappa: " + Folder() +
                "Sounds/\nEllenőrizve: 1 címszó, 0 médiafájl, 0 kottadokumentum.\n"
                "Eredmény: 1 hiba, 0 figyelmeztetés.\n");
  EXPECT_EQ(status, 1);
}

TEST_F(DataCheckTest, LinksOutOfTheMediaFolderAndFilesTheDesktopWouldRunAreErrors) {
  QTemporaryDir elsewhere;
  const QString out = elsewhere.path();
  auto link = [&](const QString& target, const QString& relative) {
    ASSERT_TRUE(QFile::link(target, folder_.Folder() + relative)) << relative.toStdString();
  };
  auto makeExecutable = [&](const QString& relative) {
    const QString path = folder_.Folder() + relative;
    ASSERT_TRUE(QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner));
  };
  QFile secret(out + QStringLiteral("/secret.txt"));
  ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
  secret.write("titok");
  secret.close();
  QFile pdf(out + QStringLiteral("/kotta.pdf"));
  ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
  pdf.write("%PDF-1.4\n");
  pdf.close();

  Put("Sounds/hangkep.mp3", Mp3());
  link(out + QStringLiteral("/secret.txt"), QStringLiteral("Sounds/kottakep.mp3"));
  MakeFolder("Sounds/PICTURES");
  link(out + QStringLiteral("/secret.txt"), QStringLiteral("Sounds/x.txt"));
  link(out, QStringLiteral("Sounds/dir"));
  Put("Sounds/valodi.txt", std::string("sz\xF6veg"));
  link(QStringLiteral("valodi.txt"), QStringLiteral("Sounds/belso.txt"));
  Put("Sounds/indito.desktop", std::string("[Desktop Entry]\nExec=rm -rf ~\n"));
  Put("Sounds/futtat.txt", std::string("szöveg"));
  makeExecutable(QStringLiteral("Sounds/futtat.txt"));
  Put("Sounds/szkript.htm", std::string("#!/bin/sh\nrm -rf ~\n"));
  Put("Sounds/hang.wav", Wave());
  makeExecutable(QStringLiteral("Sounds/hang.wav"));
  Put("Sounds/kotta.mid", testing::OneNoteMidi(480));
  link(out + QStringLiteral("/kotta.pdf"), QStringLiteral("Sounds/PICTURES/kotta.PDF"));
  Put("Sounds/fut.mid", testing::OneNoteMidi(480));
  Put("Sounds/PICTURES/fut.PDF", std::string("%PDF-1.4\n"));
  makeExecutable(QStringLiteral("Sounds/PICTURES/fut.PDF"));
  folder_.WriteDataFile(Encode(DictionaryModel({
      {"x.txt", "01 KIVEZETO LINK", {}, {}, 1},
      {"dir\\secret.txt", "02 KIVEZETO MAPPA", {}, {}, 2},
      {"belso.txt", "03 BELSO LINK", {}, {}, 3},
      {"indito.desktop", "04 INDITO", {}, {}, 4},
      {"futtat.txt", "05 FUTTATHATO", {}, {}, 5},
      {"szkript.htm", "06 SZKRIPT", {}, {}, 6},
      {"hang.wav", "07 FUTTATHATO HANG", {}, {}, 7},
      {"kotta.mid", "08 KOTTA KINT", {}, {}, 8},
      {"fut.mid", "09 FUTTATHATO KOTTA", {}, {}, 9},
  })));

  const std::string real = QDir(out).canonicalPath().toStdString();
  const std::string outside =
      " valódi helye a Sounds mappán kívül van (oda vezető szimbolikus link), a program nem "
      "nyitja meg: ";
  const std::string refused = ", a program nem adja át a rendszernek megnyitásra: ";
  const auto [report, status] = Check();
  EXPECT_EQ(report,
            "HIBA: a jelzőhang" + outside + "Sounds\\kottakep.mp3 (valódi helye: " + real +
                "/secret.txt)\n"
                "HIBA: 01 KIVEZETO LINK (Index 1): a médiafájl" +
                outside + "Sounds\\x.txt (valódi helye: " + real +
                "/secret.txt)\n"
                "HIBA: 02 KIVEZETO MAPPA (Index 2): a médiafájl" +
                outside + "Sounds\\dir\\secret.txt (valódi helye: " + real +
                "/secret.txt)\n"
                "HIBA: 04 INDITO (Index 4): a médiafájl asztali indítófájl (.desktop)" +
                refused +
                "Sounds\\indito.desktop\n"
                "HIBA: 05 FUTTATHATO (Index 5): a médiafájl futtatható fájl (végrehajtási joga "
                "van)" +
                refused +
                "Sounds\\futtat.txt\n"
                "HIBA: 06 SZKRIPT (Index 6): a médiafájl szkript (#!-lal kezdődik, vagy nem "
                "olvasható)" +
                refused +
                "Sounds\\szkript.htm\n"
                "HIBA: 08 KOTTA KINT (Index 8): a kottadokumentum" +
                outside + "Sounds\\PICTURES\\kotta.PDF (valódi helye: " + real +
                "/kotta.pdf)\n"
                "HIBA: 09 FUTTATHATO KOTTA (Index 9): a kottadokumentum futtatható fájl "
                "(végrehajtási joga van)" +
                refused +
                "Sounds\\PICTURES\\fut.PDF\n"
                "Adatfájl: " +
                Folder() + "Data/dorvem1.cds\nMédiamappa: " + Folder() +
                "Sounds/\n"
                "Ellenőrizve: 9 címszó, 4 médiafájl, 0 kottadokumentum.\n"
                "Eredmény: 8 hiba, 0 figyelmeztetés.\n");
  EXPECT_EQ(status, 1);
}

TEST(DataCheckFolderTest, ANamedDataFileHasItsMediaBesideItsFolder) {
  const std::pair<const char*, const char*> cases[] = {
      {"/srv/szotar/Data/dorvem1.cds", "/srv/szotar/"},
      {"/srv/uj.cds", "/"},
      {"/uj.cds", "/"},
  };
  for (const auto& [file, folder] : cases)
    EXPECT_EQ(ProgramFolderOfDataFile(file).toStdString(), folder) << file;
  EXPECT_EQ(ProgramFolderOfDataFile("Data/x.cds"), QDir::currentPath() + u'/');
}

// The program itself, without a display, on the demo dictionary beside it.
struct CheckRun {
  int status = -1;
  std::string out;
};

CheckRun RunCheck(const QStringList& args) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    env.remove(QString::fromLatin1(name));
  QProcess dorvem;
  dorvem.setProcessEnvironment(env);
  dorvem.start(QStringLiteral(DORVEM_PATH), QStringList{QStringLiteral("--check")} + args);
  EXPECT_TRUE(dorvem.waitForFinished(60000));
  return {dorvem.exitCode(), dorvem.readAllStandardOutput().toStdString()};
}

// The lines of `out` that name a problem.
std::vector<std::string> ProblemLines(const std::string& out) {
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("HIBA: ", 0) == 0 || line.rfind("FIGYELMEZTETÉS: ", 0) == 0)
      lines.push_back(line);
  return lines;
}

// The demo ships whole: no error, no warning (the players this machine may
// lack are notes).
TEST(DataCheckProgramTest, TheDemoDictionaryShipsWhole) {
  const CheckRun run = RunCheck({});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(ProblemLines(run.out), std::vector<std::string>{});
  EXPECT_NE(run.out.find("\nEredmény: 0 hiba, 0 figyelmeztetés.\n"), std::string::npos) << run.out;
}

// A copy of the demo whose one sound is gone: that entry's error, status 1.
TEST(DataCheckProgramTest, ACopyOfTheDemoWithoutOneSoundNamesIt) {
  const QString bin = QFileInfo(QStringLiteral(DORVEM_PATH)).absolutePath();
  QTemporaryDir dir;
  QDir(dir.path()).mkpath(QStringLiteral("Data"));
  QDir(dir.path()).mkpath(QStringLiteral("Sounds"));
  ASSERT_TRUE(QFile::copy(bin + "/Data/dorvem1.cds", dir.path() + "/Data/dorvem1.cds"));
  // Every file of the demo's media folder but one, copied: links would lead
  // out of the copy's media folder, and the check refuses those.
  QDirIterator files(bin + "/Sounds", QDir::Files, QDirIterator::Subdirectories);
  while (files.hasNext()) {
    const QString from = files.next();
    const QString relative = QDir(bin + "/Sounds").relativeFilePath(from);
    if (relative == QStringLiteral("tarogato.mp3")) continue;
    const QString to = dir.path() + "/Sounds/" + relative;
    QDir().mkpath(QFileInfo(to).path());
    ASSERT_TRUE(QFile::copy(from, to)) << from.toStdString();
  }

  const CheckRun run = RunCheck({dir.path() + "/Data/dorvem1.cds"});
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_EQ(ProblemLines(run.out),
            std::vector<std::string>{
                "HIBA: TÁROGATÓ (Index 324): nincs meg a médiafájl: Sounds\\tarogato.mp3"});
  EXPECT_NE(run.out.find("\nEredmény: 1 hiba, 0 figyelmeztetés.\n"), std::string::npos) << run.out;
}

TEST(DataCheckProgramTest, ATruncatedCopyOfTheDemoGivesTheEnginesError) {
  const QString bin = QFileInfo(QStringLiteral(DORVEM_PATH)).absolutePath();
  QFile demo(bin + "/Data/dorvem1.cds");
  ASSERT_TRUE(demo.open(QIODevice::ReadOnly));
  const QByteArray whole = demo.readAll();
  ASSERT_GT(whole.size(), 1000);

  // A copy cut in half, with the demo's media beside it.
  QTemporaryDir dir;
  QDir(dir.path()).mkpath(QStringLiteral("Data"));
  ASSERT_TRUE(QFile::link(bin + "/Sounds", dir.path() + "/Sounds"));
  const QString copy = dir.path() + "/Data/dorvem1.cds";
  QFile file(copy);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(whole.left(whole.size() / 2));
  file.close();

  const CheckRun run = RunCheck({copy});
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_EQ(run.out,
            "HIBA: az adatfájl nem nyitható meg: Mismatch in datapacket.\n"
            "Adatfájl: " +
                copy.toStdString() + "\nMédiamappa: " + dir.path().toStdString() +
                "/Sounds/\n"
                "Ellenőrizve: semmi, mert az adatfájl nem nyitható meg.\n"
                "Eredmény: 1 hiba, 0 figyelmeztetés.\n");
}

TEST(DataCheckProgramTest, TheDemoWithSixteenBytesCutOutIsDamaged) {
  const QString bin = QFileInfo(QStringLiteral(DORVEM_PATH)).absolutePath();
  QFile demo(bin + "/Data/dorvem1.cds");
  ASSERT_TRUE(demo.open(QIODevice::ReadOnly));
  QByteArray bytes = demo.readAll();
  ASSERT_GT(bytes.size(), 2000);
  bytes.remove(1024, 16);

  QTemporaryDir dir;
  QDir(dir.path()).mkpath(QStringLiteral("Data"));
  ASSERT_TRUE(QFile::link(bin + "/Sounds", dir.path() + "/Sounds"));
  const QString copy = dir.path() + "/Data/dorvem1.cds";
  QFile file(copy);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  file.close();

  // The rows after the cut no longer line up: values that cannot be
  // fetched, and bytes after the counted rows.
  const CheckRun run = RunCheck({copy});
  EXPECT_EQ(run.status, 1) << run.out;
  std::vector<std::string> damage;
  for (const std::string& line : ProblemLines(run.out))
    if (line.rfind("HIBA: az adatfájl sérült: ", 0) == 0) damage.push_back(line);
  ASSERT_EQ(damage.size(), 2u) << run.out;
  EXPECT_NE(damage[0].find(" érték nem olvasható ki az adatfájlból"), std::string::npos);
  EXPECT_NE(damage[1].find(" bájt áll az utolsó teljes sor után"), std::string::npos);
}

}  // namespace
}  // namespace dorvem
