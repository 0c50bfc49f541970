// window_soak: the real main window, offscreen, on a large dictionary,
// driven by a long run of random user actions; one summary line at the end.
//
//   window_soak [--entries N] [--actions N] [--seed S] [--max-rss-growth P]
//
// It writes a packet of N entries (default 100,000: headwords of Hungarian
// letters, rich and plain memos, long memos, pictures of several depths,
// pictures that are no bitmaps, media names of every kind) into a program
// folder of its own, opens the window on it and runs the actions of
// tests/app/window_actions.h, drawn with equal weight from a generator
// seeded with S (default 14), 20,000 by default. Between actions the event
// queue is run, as the program's event loop would, so painting, layout and
// deferred deletion happen too. Reports, message boxes and external
// programs are counted instead of shown or started, and the media device
// plays through a recording layer.
//
// After every action the window's invariants are checked
// (window_invariants.h); the first that does not hold ends the run (status
// 1) with the action's number and name and what was wrong.
//
// Resident memory is sampled once the warm-up is over - the first quarter
// of the actions, but at least 2,000: on the 100,000-entry dictionary the
// process meets its caches, fonts and largest documents within about 2,000
// actions and stays within a fraction of a percent after that - and again
// after the last action; with --max-rss-growth P the run fails (status 1)
// when it grew by P percent or more between the two. A run no longer than
// its warm-up takes no measure, and refuses a limit (status 2). A
// crash, a sanitizer finding or a leak ends the run with the sanitizer's
// status.
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/error_report.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "dictionary/external_programs.h"
#include "media/default_mci.h"
#include "tests/app/bmp_writer.h"
#include "tests/app/window_actions.h"
#include "tests/app/window_fixture.h"
#include "tests/dataset/test_packets.h"
#include "tests/media/recording_mci.h"
#include "tests/soak/window_invariants.h"

// Leaks that are the libraries' own, kept for the life of the process:
// fontconfig's matching caches and GLib's quark table (see the media tests).
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libglib-2.0.so\n";
}

namespace {

using namespace dorvem;
using namespace dorvem::testing;

struct Options {
  int entries = 100000;
  int actions = 20000;
  unsigned seed = 14;
  double maxRssGrowth = -1;  // percent; negative: not checked
};

bool ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    char* end = nullptr;
    const double v = std::strtod(argv[i + 1], &end);
    if (end == argv[i + 1] || *end != '\0' || v < 0) return false;
    if (name == "--entries") {
      o->entries = static_cast<int>(v);
    } else if (name == "--actions") {
      o->actions = static_cast<int>(v);
    } else if (name == "--seed") {
      o->seed = static_cast<unsigned>(v);
    } else if (name == "--max-rss-growth") {
      o->maxRssGrowth = v;
    } else {
      return false;
    }
  }
  return argc % 2 == 1 && o->entries > 0;
}

// Resident memory in bytes.
double ResidentBytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

// Upper-case letters of windows-1250, the accented ones among them.
const std::vector<std::string>& Letters() {
  static const std::vector<std::string> letters = [] {
    std::vector<std::string> l;
    for (char c = 'A'; c <= 'Z'; ++c) l.emplace_back(1, c);
    for (const char* a : {"\xC1", "\xC9", "\xCD", "\xD3", "\xD6", "\xD5", "\xDA", "\xDC", "\xDB"})
      l.emplace_back(a);
    return l;
  }();
  return letters;
}

std::string Headword(std::mt19937& random, int n) {
  std::string word = random() % 100 == 0 ? "." : "";
  const int length = 2 + static_cast<int>(random() % 9);
  for (int i = 0; i < length; ++i) word += Letters()[random() % Letters().size()];
  if (random() % 5 == 0) word += " " + std::to_string(n % 1000);
  return word.substr(0, 40);
}

std::string Memo(std::mt19937& random, const std::string& headword) {
  const unsigned kind = random() % 60;
  if (kind == 0) {  // a long memo, about 15 KB
    std::string memo = "{\\rtf1\\ansi\\ansicpg1250 ";
    for (int i = 0; i < 300; ++i) memo += "{\\b " + headword + "} hossz\\'fa bekezd\\'e9s\\par ";
    return memo + "}";
  }
  if (kind < 10) return {};
  if (kind < 25)  // plain text with bare line feeds
    return headword + ": egyszer\xFB sz\xF6veg\nm\xE1sodik sor\n\nharmadik";
  return "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}"
         "{\\colortbl ;\\red128\\green0\\blue0;}\\pard\\qc\\cf1\\b\\fs26 " +
         headword +
         "\\b0\\par\\pard\\cf0\\fs20 k\\'e9t hang t\\'e1vols\\'e1ga, {\\i d\\'f5lt}\\par}";
}

std::optional<std::string> Picture(std::mt19937& random) {
  if (random() % 40 != 0) return std::nullopt;
  if (random() % 10 == 0) return std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13);
  static const int kBits[] = {1, 4, 8, 24, 32};
  BmpEncoding encoding;
  encoding.bits = kBits[random() % 5];
  const int w = 4 + static_cast<int>(random() % 160), h = 4 + static_cast<int>(random() % 120);
  return EncodeBmp(encoding.bits >= 24 ? Gradient(w, h) : Pattern(w, h, {0xFF0000, 0x00FF00}),
                   encoding);
}

std::vector<std::uint8_t> BuildPacket(int entries, std::mt19937& random) {
  static const char* kMedia[] = {"a.mp3", "b.wav", "c.mid", "d.rmi",
                                 "e.avi", "f.scm", "g.txt", "hi\xE1ny.mp3"};
  std::vector<DictRow> rows;
  rows.reserve(static_cast<std::size_t>(entries));
  for (int i = 1; i <= entries; ++i) {
    DictRow row;
    row.kszoveg = Headword(random, i);
    if (random() % 3 != 0) row.fajlnev = kMedia[random() % 8];
    if (std::string memo = Memo(random, *row.kszoveg); !memo.empty()) row.szovmagy = memo;
    row.graphic = Picture(random);
    row.index = i;
    rows.push_back(std::move(row));
  }
  return Encode(DictionaryModel(rows));
}

void WriteFile(const QString& path, const char* data, qint64 size) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  if (f.open(QIODevice::WriteOnly)) f.write(data, size);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: window_soak [--entries N] [--actions N] [--seed S] "
                 "[--max-rss-growth PERCENT]\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication app(argc, argv);
  QElapsedTimer clock;
  clock.start();

  int reports = 0, boxes = 0, external = 0;
  SetErrorReportSink([&](const ErrorReportBox&) { ++reports; });
  SetMessageBoxSink([&](const MessageBoxText&) { ++boxes; });
  SetExternalActions(
      {[&](const QString&) { ++external; }, [&](const QString&, const QString&) { ++external; }});
  RecordingMci media;
  mci::SetDefaultMci(&media);

  std::mt19937 random(options.seed);
  QTemporaryDir dir;
  const QString folder = dir.path() + QDir::separator();
  {
    const std::vector<std::uint8_t> packet = BuildPacket(options.entries, random);
    WriteFile(folder + QStringLiteral("Data/dorvem1.cds"),
              reinterpret_cast<const char*>(packet.data()), static_cast<qint64>(packet.size()));
  }
  for (const char* f : {"Sounds/a.mp3", "Sounds/c.mid", "Sounds/e.avi", "Sounds/f.scm",
                        "Sounds/g.txt", "Sounds/PICTURES/a.PDF", "Sounds/PICTURES/c.PDF",
                        "Sounds/hangkep.mp3", "Sounds/kottakep.mp3"})
    WriteFile(folder + QString::fromLatin1(f), "data", 4);

  // The warm-up's end, the first point of the memory measure; the second is
  // the end of the run, so the two are never the same moment.
  const int warmUp = std::max(2000, options.actions / 4);
  if (options.maxRssGrowth >= 0 && options.actions <= warmUp) {
    std::fprintf(stderr, "window_soak: --max-rss-growth needs more than %d actions\n", warmUp);
    return 2;
  }
  double rssAfterWarmUp = 0, rssEnd = 0;
  int moves = 0;
  std::string broken;
  {
    TfrmMain window(TestOptions(folder));
    RefreshSeen refresh;
    window.Dictionary().tblAdat.AfterScroll =
        [&, own = window.Dictionary().tblAdat.AfterScroll](TDataSet& ds) {
          if (own) own(ds);
          refresh.duringAction = true;
          refresh.index = CurrentIndex(window);
        };
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
      std::fprintf(stderr, "window_soak: the window was not shown\n");
      return 1;
    }
    const std::vector<WindowAction>& actions = WindowActions();
    for (int i = 1; i <= options.actions && broken.empty(); ++i) {
      const int before =
          window.Dictionary().tblAdat.Active() ? window.Dictionary().tblAdat.RecNo() : -1;
      const WindowAction& action = actions[random() % actions.size()];
      refresh.duringAction = false;
      action.run(window, random);
      if (window.Dictionary().tblAdat.Active() && window.Dictionary().tblAdat.RecNo() != before)
        ++moves;
      QCoreApplication::processEvents();
      media.requests.clear();
      if (std::string wrong = BrokenInvariant(window, refresh); !wrong.empty())
        broken = "after action " + std::to_string(i) + " (" + action.name + "): " + wrong;
      if (i == warmUp) rssAfterWarmUp = ResidentBytes();
    }
    rssEnd = ResidentBytes();
    window.close();
  }
  QCoreApplication::processEvents();
  const double growth =
      rssAfterWarmUp > 0 ? (rssEnd - rssAfterWarmUp) * 100.0 / rssAfterWarmUp : 0.0;
  std::printf(
      "window_soak: %d entries, %d actions (seed %u), %d moves, %d reports, %d message boxes, "
      "%d external, RSS after the warm-up of %d actions %.1f MiB, at end %.1f MiB (%+.2f %%), "
      "%.1f s\n",
      options.entries, options.actions, options.seed, moves, reports, boxes, external, warmUp,
      rssAfterWarmUp / 1048576.0, rssEnd / 1048576.0, growth, clock.elapsed() / 1000.0);
  mci::SetDefaultMci(nullptr);
  if (!broken.empty()) {
    std::fprintf(stderr, "window_soak: %s\n", broken.c_str());
    return 1;
  }
  if (options.maxRssGrowth >= 0 && rssAfterWarmUp > 0 && growth >= options.maxRssGrowth) {
    std::fprintf(stderr, "window_soak: resident memory grew by %.2f %% (limit %.2f %%)\n", growth,
                 options.maxRssGrowth);
    return 1;
  }
  return 0;
}
