#include "app/command_line.h"

#include "dictionary/data_check.h"
#include "dictionary/paths.h"

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
  // Anything else belongs to the toolkit, and the window opens.
  return {};
}

std::string VersionText() {
  return std::string("dorvem ") + DORVEM_VERSION + "\n";
}

std::string HelpText(const std::string& dataFile) {
  return "Használat: dorvem [Qt-kapcsolók]\n"
         "          dorvem --help | --version\n"
         "          dorvem --check [ADATFÁJL]\n"
         "\n"
         "Zenei fogalmak szótára. Kapcsoló nélkül megnyitja a szótár ablakát, amely\n"
         "ezt az adatfájlt olvassa:\n"
         "  " +
         dataFile +
         "\n"
         "\n"
         "Kapcsolók:\n"
         "  -h, --help    ez a súgó\n"
         "  --version     a program neve és változata\n"
         "  --check [ADATFÁJL]\n"
         "                ablak nélkül ellenőrzi az adatfájlt (ha nincs megadva, a fentit),\n"
         "                minden címszó magyarázatát és képét, médiafájlját és kottáját;\n"
         "                a médiafájlokat az adatfájl mappája melletti Sounds mappában\n"
         "                keresi. Kilépési kód: 0 nincs hiba, 1 hibát talált.\n"
         "\n"
         "Billentyűk az ablakban:\n"
         "  betűk         a címszavak listája a beírt szókezdetre szűkül\n"
         "  Le, Fel       a keresőmezőből a következő, az előző címszóra lép\n"
         "  Tab           a következő vezérlőre lép: keresőmező, magyarázat, lista,\n"
         "                kép, automatikus gombhang, Kilép gomb\n"
         "  F3            lejátssza a címszó hangját, zenéjét vagy videóját\n"
         "  F4            megnyitja a címszó kottáját\n"
         "  Alt+G         az automatikus gombhang ki- és bekapcsolása\n"
         "  Alt+K         kilépés\n"
         "  Ctrl+F        keresés a magyarázatokban is (címszó és magyarázat szókezdetei,\n"
         "                ékezet, kis- és nagybetű nélkül); újra Ctrl+F vagy Esc: vissza\n"
         "                a címszavas kereséshez\n"
         "  Ctrl+Enter    a magyarázat kiemelt hivatkozására ugrik (a szövegkurzornál\n"
         "                vagy utána); egérrel: kattintás a hivatkozásra\n";
}

int RunCommandLine(const TCommandLine& commandLine, const TDictionaryOptions& options,
                   std::ostream& out, std::ostream& err) {
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
      return WriteCheckReport(
          CheckDictionary(file, ProgramFolderOfDataFile(file), options.cacheFolder), out);
    }
    case TCommand::cmWindow:
    case TCommand::cmLookup:
    case TCommand::cmUsageError:
      break;
  }
  err << "dorvem: " << commandLine.error << "\n"
      << "Bővebben: dorvem --help\n";
  return 2;
}

}  // namespace dorvem
