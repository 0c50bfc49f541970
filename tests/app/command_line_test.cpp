// The program's own options: which command each command line means, what
// the commands print, and the program answering them without a display.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <sstream>

#include "app/command_line.h"
#include "app/toolkit_options.h"

namespace dorvem {
namespace {

// The window's data file is "/opt/d/Data/dorvem1.cds".
const TDictionaryOptions kOptions{QStringLiteral("/opt/d/"), {}, {}, {}};

TEST(CommandLineTest, OwnOptionsAreReadOnlyAsTheFirstArgument) {
  struct Case {
    std::vector<std::string> args;
    TCommand command;
    std::string dataFile;
    std::string error;
  };
  const Case cases[] = {
      {{}, TCommand::cmWindow, "", ""},
      {{"--help"}, TCommand::cmHelp, "", ""},
      {{"-h"}, TCommand::cmHelp, "", ""},
      {{"--version"}, TCommand::cmVersion, "", ""},
      {{"--check"}, TCommand::cmCheck, "", ""},
      {{"--check", "/srv/szotar.cds"}, TCommand::cmCheck, "/srv/szotar.cds", ""},
      // The toolkit's own arguments open the window, as before.
      {{"-platform", "xcb"}, TCommand::cmWindow, "", ""},
      {{"-style", "fusion", "--help"},
       TCommand::cmUsageError,
       "",
       "--help: csak első argumentumként adható meg"},
      // Unknown options are refused, also those only close to the toolkit's.
      {{"--chek"}, TCommand::cmUsageError, "", "ismeretlen kapcsoló: '--chek'"},
      {{"LEGATO", "-platformx"}, TCommand::cmUsageError, "", "ismeretlen kapcsoló: '-platformx'"},
      {{"--json", "A"},
       TCommand::cmUsageError,
       "",
       "--json: csak a --lookup kapcsolóval együtt használható"},
      {{"--lookup", "--json"}, TCommand::cmUsageError, "", "--lookup: hiányzik a keresett szó"},
      {{"--help", "x"}, TCommand::cmUsageError, "", "--help: fölösleges argumentum: 'x'"},
      {{"--version", "--help"},
       TCommand::cmUsageError,
       "",
       "--version: fölösleges argumentum: '--help'"},
      {{"--check", "a.cds", "b.cds"},
       TCommand::cmUsageError,
       "",
       "--check: fölösleges argumentum: 'b.cds'"},
      {{"--check", ""}, TCommand::cmUsageError, "", "--check: üres az adatfájl neve"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const TCommandLine parsed = ParseCommandLine(c.args);
    EXPECT_EQ(parsed.command, c.command);
    EXPECT_EQ(parsed.dataFile, c.dataFile);
    EXPECT_EQ(parsed.error, c.error);
  }
}

TEST(CommandLineTest, WordsAreASearchAndTheToolkitKeepsItsOptions) {
  struct Case {
    std::vector<std::string> args;
    TCommand command;
    std::string search;
    bool everything;
    bool json;
  };
  const Case cases[] = {
      {{"LEGATO"}, TCommand::cmWindow, "LEGATO", false, false},
      {{"ALLEGRO", "", " MA", "NON"}, TCommand::cmWindow, "ALLEGRO  MA NON", false, false},
      // A toolkit option's value is no search word, in either dash form
      // and before or after the words.
      {{"-platform", "offscreen", "kotta", "--style", "fusion", "-reverse", "-style=fusion",
        "-qwindowtitle", "T", "-display", ":1"},
       TCommand::cmWindow,
       "kotta",
       false,
       false},
      {{"--everything", "gyors", "tempó"}, TCommand::cmWindow, "gyors tempó", true, false},
      {{"--lookup", "LEG"}, TCommand::cmLookup, "LEG", false, false},
      {{"LEG", "--json", "--lookup"}, TCommand::cmLookup, "LEG", false, true},
      {{"--lookup", "--everything", "--json", "lassú", "tempó"},
       TCommand::cmLookup,
       "lassú tempó",
       true,
       true},
      // After "--" everything is a word.
      {{"--lookup", "--", "-platform", "--json", "-"},
       TCommand::cmLookup,
       "-platform --json -",
       false,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const TCommandLine parsed = ParseCommandLine(c.args);
    EXPECT_EQ(parsed.command, c.command) << parsed.error;
    EXPECT_EQ(parsed.search, c.search);
    EXPECT_EQ(parsed.everything, c.everything);
    EXPECT_EQ(parsed.json, c.json);
  }
  // The toolkit never sees the words after "--".
  const char* const argv[] = {"dorvem", "-reverse", "--", "-style", "x"};
  EXPECT_EQ(ToolkitArgumentCount(5, argv), 2);
  EXPECT_EQ(ToolkitArgumentCount(2, argv), 2);
}

TEST(CommandLineTest, CommandsPrintTheirTextAndStatus) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;  // the whole output, or "" when it goes to stderr
    std::string err;
  };
  const std::string version = std::string("dorvem ") + DORVEM_EXPECTED_VERSION + "\n";
  const Case cases[] = {
      {{"--version"}, 0, version, ""},
      {{"--help", "x"},
       2,
       "",
       "dorvem: --help: fölösleges argumentum: 'x'\nBővebben: dorvem --help\n"},
      {{"--check", "a", "b"},
       2,
       "",
       "dorvem: --check: fölösleges argumentum: 'b'\nBővebben: dorvem --help\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine(ParseCommandLine(c.args), kOptions, out, err), c.status);
    EXPECT_EQ(out.str(), c.out);
    EXPECT_EQ(err.str(), c.err);
  }

  // The help names the data file on a line of its own and lists the keys.
  std::ostringstream out, err;
  EXPECT_EQ(RunCommandLine(ParseCommandLine({"-h"}), kOptions, out, err), 0);
  EXPECT_EQ(err.str(), "");
  const std::string help = out.str();
  EXPECT_EQ(
      help.rfind("Használat: dorvem [Qt-kapcsolók] [--everything] [--] [KERESETT SZÓ...]\n", 0), 0u)
      << help;
  EXPECT_NE(help.find("\n  /opt/d/Data/dorvem1.cds\n"), std::string::npos) << help;
  EXPECT_NE(help.find("\n          dorvem --check [ADATFÁJL]\n"), std::string::npos) << help;
  EXPECT_NE(help.find("\n  --check [ADATFÁJL]\n"), std::string::npos) << help;
  for (const char* option : {"--lookup ", "--everything ", "--json ", "-- "})
    EXPECT_NE(help.find(std::string("\n  ") + option), std::string::npos) << option;
  for (const char* key : {"F3", "F4", "Alt+G", "Alt+K", "Tab", "Le, Fel", "Ctrl+plusz,", "jobb"})
    EXPECT_NE(help.find(std::string("\n  ") + key + " "), std::string::npos) << key;
}

// The program itself, with no display at all: the options need none.
TEST(CommandLineTest, TheProgramAnswersWithoutADisplay) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    env.remove(QString::fromLatin1(name));
  auto run = [&](const QStringList& args) {
    QProcess dorvem;
    dorvem.setProcessEnvironment(env);
    dorvem.start(QStringLiteral(DORVEM_PATH), args);
    EXPECT_TRUE(dorvem.waitForFinished(30000));
    return std::tuple(dorvem.exitCode(), dorvem.readAllStandardOutput().toStdString(),
                      dorvem.readAllStandardError().toStdString());
  };
  auto [status, out, err] = run({QStringLiteral("--version")});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, std::string("dorvem ") + DORVEM_EXPECTED_VERSION + "\n");
  EXPECT_EQ(err, "");

  // The data file beside the executable, whatever the current directory.
  const QString dataFile =
      QFileInfo(QStringLiteral(DORVEM_PATH)).canonicalPath() + "/Data/dorvem1.cds";
  std::tie(status, out, err) = run({QStringLiteral("--help")});
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("\n  " + dataFile.toStdString() + "\n"), std::string::npos) << out;

  std::tie(status, out, err) = run({QStringLiteral("--version"), QStringLiteral("-x")});
  EXPECT_EQ(status, 2);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "dorvem: --version: fölösleges argumentum: '-x'\nBővebben: dorvem --help\n");

  std::tie(status, out, err) = run({QStringLiteral("--chek")});
  EXPECT_EQ(status, 2);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "dorvem: ismeretlen kapcsoló: '--chek'\nBővebben: dorvem --help\n");

  // The lookup in the demo dictionary beside the program, to a pipe: not
  // wrapped.
  std::tie(status, out, err) = run({QStringLiteral("--lookup"), QStringLiteral("legato")});
  EXPECT_EQ(status, 0) << err;
  EXPECT_EQ(out.rfind("LEGATO\n", 0), 0u) << out;
  std::tie(status, out, err) = run({QStringLiteral("--lookup"), QStringLiteral("QQQ")});
  EXPECT_EQ(status, 1) << err;
  EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace dorvem
