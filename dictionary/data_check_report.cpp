// The lines the maintainer reads: one per finding, the notes, the summary.
#include <QFile>
#include <QFileInfo>

#include "dictionary/data_check.h"
#include "dictionary/media_paths.h"
#include "dictionary/paths.h"

namespace dorvem {

int WriteCheckReport(const TDataCheck& check, std::ostream& out) {
  int errors = 0;
  int warnings = 0;
  for (const TCheckFinding& finding : check.findings) {
    const bool error = finding.level == TFindingLevel::flError;
    (error ? errors : warnings) += 1;
    out << (error ? "HIBA: " : "FIGYELMEZTETÉS: ");
    if (!finding.entry.empty()) out << finding.entry << ": ";
    out << finding.text << "\n";
  }
  for (const std::string& note : check.notes) out << "Megjegyzés: " << note << "\n";

  const QString dataFile = QFileInfo(QFile::decodeName(check.dataFile.c_str())).absoluteFilePath();
  const QString mediaFolder =
      FileSystemPath(check.programFolder + QString::fromLatin1(kMediaFolder));
  out << "Adatfájl: " << dataFile.toStdString() << "\n"
      << "Médiamappa: " << mediaFolder.toStdString() << "\n";
  if (check.opened)
    out << "Ellenőrizve: " << check.entries << " címszó, " << check.mediaFiles << " médiafájl, "
        << check.scoreDocuments << " kottadokumentum.\n";
  else
    out << "Ellenőrizve: semmi, mert az adatfájl nem nyitható meg.\n";
  out << "Eredmény: " << errors << " hiba, " << warnings << " figyelmeztetés.\n";
  return errors > 0 ? 1 : 0;
}

}  // namespace dorvem
