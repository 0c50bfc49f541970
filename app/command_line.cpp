#include "app/command_line.h"

#include "app/lookup.h"
#include "app/toolkit_options.h"
#include "dictionary/data_check.h"
#include "dictionary/paths.h"
#include "terminal/progress_line.h"

#ifndef DORVEM_VERSION
#error "DORVEM_VERSION is set by the build (the project's version)"
#endif

namespace dorvem {

namespace {

TCommandLine UsageError(std::string error) {
  TCommandLine result;
  result.command = TCommand::cmUsageError;
  result.error = std::move(error);
  return result;
}

TCommandLine ExtraArgument(const std::string& option, const std::string& argument) {
  return UsageError(option + ": fölösleges argumentum: '" + argument + "'");
}

// An own option takes no further argument (but --check one file name).
TCommandLine Alone(TCommand command, const std::vector<std::string>& args) {
  if (args.size() > 1) return ExtraArgument(args[0], args[1]);
  TCommandLine result;
  result.command = command;
  return result;
}

// The window's or the lookup's command line: search words, --everything,
// --lookup, --json and the toolkit's options in any order; "--" ends the
// options, so that a word may begin with "-". Any other option is refused.
TCommandLine ParseSearch(const std::vector<std::string>& args) {
  TCommandLine result;
  bool lookup = false;
  bool optionsEnded = false;
  std::vector<std::string> words;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!isOption) {
      words.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--lookup") {
      lookup = true;
    } else if (arg == "--everything") {
      result.everything = true;
    } else if (arg == "--json") {
      result.json = true;
    } else if (arg == "--help" || arg == "-h" || arg == "--version" || arg == "--check") {
      return UsageError(arg + ": csak első argumentumként adható meg");
    } else if (const TToolkitOption toolkit = ToolkitOptionOf(arg);
               toolkit != TToolkitOption::toNone) {
      // The toolkit takes it out of argv itself, with its value.
      if (toolkit == TToolkitOption::toWithValue) ++i;
    } else {
      return UsageError("ismeretlen kapcsoló: '" + arg + "'");
    }
  }
  for (const std::string& word : words) {
    if (word.empty()) continue;
    if (!result.search.empty()) result.search += ' ';
    result.search += word;
  }
  if (lookup) {
    result.command = TCommand::cmLookup;
    if (result.search.empty()) return UsageError("--lookup: hiányzik a keresett szó");
  } else if (result.json) {
    return UsageError("--json: csak a --lookup kapcsolóval együtt használható");
  }
  return result;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) return {};
  const std::string& first = args[0];
  if (first == "--help" || first == "-h") return Alone(TCommand::cmHelp, args);
  if (first == "--version") return Alone(TCommand::cmVersion, args);
  if (first == "--check") {
    if (args.size() > 2) return ExtraArgument(args[0], args[2]);
    TCommandLine result;
    result.command = TCommand::cmCheck;
    if (args.size() == 2) {
      if (args[1].empty()) return UsageError("--check: üres az adatfájl neve");
      result.dataFile = args[1];
    }
    return result;
  }
  return ParseSearch(args);
}

std::string VersionText() {
  return std::string("dorvem ") + DORVEM_VERSION + "\n";
}

std::string HelpText(const std::string& dataFile) {
  return "Használat: dorvem [Qt-kapcsolók] [--everything] [--] [KERESETT SZÓ...]\n"
         "          dorvem --lookup [--everything] [--json] [--] KERESETT SZÓ...\n"
         "          dorvem --help | --version\n"
         "          dorvem --check [ADATFÁJL]\n"
         "\n"
         "Zenei fogalmak szótára. Kapcsoló nélkül megnyitja a szótár ablakát, amely\n"
         "ezt az adatfájlt olvassa:\n"
         "  " +
         dataFile +
         "\n"
         "A megadott szavak (szóközzel elválasztva) a keresőmezőbe kerülnek.\n"
         "\n"
         "Kapcsolók:\n"
         "  -h, --help    ez a súgó\n"
         "  --version     a program neve és változata\n"
         "  --check [ADATFÁJL]\n"
         "                ablak nélkül ellenőrzi az adatfájlt (ha nincs megadva, a fentit),\n"
         "                minden címszó magyarázatát és képét, médiafájlját és kottáját;\n"
         "                a médiafájlokat az adatfájl mappája melletti Sounds mappában\n"
         "                keresi. Kilépési kód: 0 nincs hiba, 1 hibát talált.\n"
         "  --lookup      ablak nélkül kiírja azokat a címszavakat, amelyek a keresett\n"
         "                szóval kezdődnek: a magyarázatot szövegként, a médiafájl és a\n"
         "                kotta nevét. Kilépési kód: 0 talált, 1 nem talált,\n"
         "                2 hibás parancssor vagy olvashatatlan adatfájl.\n"
         "  --everything  a címszavakban és a magyarázatokban keres\n"
         "  --json        a --lookup címszónként egy sor JSON-objektumot ír ki\n"
         "  --            a további argumentumok keresett szavak (kezdődhetnek\n"
         "                kötőjellel is)\n"
         "\n"
         "Billentyűk az ablakban:\n"
         "  betűk         a címszavak listája a beírt szókezdetre szűkül\n"
         "  Le, Fel       a keresőmezőből a következő, az előző címszóra lép\n"
         "  Tab           a következő vezérlőre lép: keresőmező, magyarázat, lista,\n"
         "                kép, automatikus gombhang, Kilép gomb\n"
         "  F3            lejátssza a címszó hangját, zenéjét vagy videóját\n"
         "  F4            megnyitja a címszó kottáját\n"
         "  Alt+Bal, Alt+Jobb (vagy az egér Vissza, Előre gombja)\n"
         "                vissza, előre az olvasott címszavak között\n"
         "  Alt+G         az automatikus gombhang ki- és bekapcsolása\n"
         "  Alt+K         kilépés\n"
         "  Ctrl+F        keresés a magyarázatokban is (címszó és magyarázat szókezdetei,\n"
         "                ékezet, kis- és nagybetű nélkül); újra Ctrl+F vagy Esc: vissza\n"
         "                a címszavas kereséshez\n"
         "  Ctrl+Enter    a magyarázat kiemelt hivatkozására ugrik (a szövegkurzornál\n"
         "                vagy utána); egérrel: kattintás a hivatkozásra\n"
         "  Ctrl+plusz, Ctrl+mínusz, Ctrl+0, Ctrl+görgő a magyarázat fölött\n"
         "                a magyarázat betűmérete (50–300%); a következő indításkor is ennyi\n"
         "  jobb gomb a lejátszógombon vagy a keresőmezőn\n"
         "                lejátszás lassabban, 75%-os vagy 50%-os tempóval, azonos hangmagasságon\n"
         "\n"
         "Ha ugyanarra az adatfájlra már nyitva van az ablak, az újabb indítás átadja\n"
         "neki a keresett szót (D-Buson), előre hozza, és azonnal kilép.\n";
}

int RunCommandLine(const TCommandLine& commandLine, const TDictionaryOptions& options,
                   std::ostream& out, std::ostream& err, const TTerminalInfo& terminal) {
  const std::string dataFile =
      FileSystemName(options.programFolder + QString::fromLatin1(kDataFileName));
  switch (commandLine.command) {
    case TCommand::cmHelp:
      out << HelpText(dataFile);
      return 0;
    case TCommand::cmVersion:
      out << VersionText();
      return 0;
    case TCommand::cmCheck: {
      const std::string& file = commandLine.dataFile.empty() ? dataFile : commandLine.dataFile;
      TProgressLine progress(err, terminal.errIsTerminal,
                             {"Ellenőrzés: ", " címszó, hátralévő idő: ", ""});
      TDataCheck check =
          CheckDictionary(file, ProgramFolderOfDataFile(file), options.cacheFolder,
                          [&](int done, int total) { progress.Update(done, total); });
      progress.Finish();
      return WriteCheckReport(check, out);
    }
    case TCommand::cmLookup:
      return RunLookup(commandLine, options, out, err, terminal.outWidth);
    case TCommand::cmWindow:
    case TCommand::cmUsageError:
      break;
  }
  err << "dorvem: " << commandLine.error << "\n"
      << "Bővebben: dorvem --help\n";
  return 2;
}

}  // namespace dorvem
