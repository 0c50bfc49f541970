// The data half of the dictionary check: opening the data file as the
// window opens it, and reading every entry's fields, explanation and
// picture as the window's views read them.
#include "dictionary/data_check.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <functional>
#include <optional>

#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "dataset/host/fields.h"
#include "dataset/locale/locale_services.h"
#include "dataset/packet/packet_damage.h"
#include "dictionary/data_check_files.h"
#include "dictionary/dictionary_fields.h"
#include "views/picture/graphic_errors.h"
#include "views/picture/picture_blob.h"
#include "views/rtf/memo_text.h"

namespace dorvem {

namespace {

// tblAdat as the window sets it up, but with its filter off: every record
// is checked, not only those the start-up filter shows.
struct TDictionaryTable {
  TClientDataSet tblAdat{"tblAdat"};
  TDictionaryFields fields;

  // With all the window's fields, or only with `only`.
  TDictionaryTable(const std::string& file, const std::string& cacheFolder,
                   std::optional<TColumnRole> only = {})
      : fields(tblAdat, only) {
    tblAdat.SetFileName(file);
    tblAdat.SetCacheFolder(cacheFolder);
    if (!only) tblAdat.SetIndexFieldNames(std::string(kHeadwordColumn));
  }
  const TField& Field(TColumnRole role) const { return fields[role]; }
};

std::string OpenFailure(const std::string& message) {
  return "az adatfájl nem nyitható meg: " + ErrorReportText(message);
}

// Why the window's tblAdat cannot open `file`, which failed with `error`:
// the packet's own error when the packet cannot be read at all; otherwise
// the error of each field the packet lacks or holds in another type, each
// found by opening with that field alone; `error` itself when no field
// alone fails.
std::vector<std::string> OpenFailures(const std::string& file, const std::string& cacheFolder,
                                      const std::string& error) {
  try {
    TClientDataSet plain("tblAdat");
    plain.SetFileName(file);
    plain.SetCacheFolder(cacheFolder);
    plain.Open();
  } catch (const std::exception& e) {
    return {OpenFailure(e.what())};
  }
  std::vector<std::string> failures;
  for (const TColumnDeclaration& column : kDictionaryColumns) {
    try {
      TDictionaryTable one(file, cacheFolder, column.role);
      one.tblAdat.Open();
    } catch (const std::exception& e) {
      failures.push_back(OpenFailure(e.what()));
    }
  }
  if (failures.empty()) failures.push_back(OpenFailure(error));
  return failures;
}

std::string EntryLabel(const TDictionaryTable& table, std::uint32_t codePage) {
  const TField& headword = table.Field(TColumnRole::crHeadword);
  const TField& index = table.Field(TColumnRole::crIndex);
  std::string label =
      headword.AsString().empty() ? "(üres címszó)" : locale::ToUtf8(headword.AsString(), codePage);
  label += index.IsNull() ? " (Index nincs)" : " (Index " + index.AsString() + ")";
  return label;
}

std::string BlobText(const TField& field) {
  std::vector<std::uint8_t> bytes;
  static_cast<const TBlobField&>(field).SaveToBytes(&bytes);
  return std::string(bytes.begin(), bytes.end());
}

// The current record: its headword, explanation, picture and files.
void CheckEntry(const TDictionaryTable& table, QTextDocument& doc, TFileCheck& files,
                TDataCheck& check) {
  const std::uint32_t codePage = table.tblAdat.TextCodePage();
  const std::string entry = EntryLabel(table, codePage);
  auto error = [&](std::string text) {
    check.findings.push_back({TFindingLevel::flError, entry, std::move(text)});
  };
  ++check.entries;
  if (table.Field(TColumnRole::crHeadword).AsString().empty())
    error("üres a címszó (KSZOVEG): a keresés sosem mutatja meg");

  const std::string memo = BlobText(table.Field(TColumnRole::crExplanation));
  if (LoadMemoText(memo, codePage, doc) == TMemoOutcome::kFailed)
    error(std::string("a magyarázat (SZOVMAGY) nem tölthető be: ") + kFailedToLoadStream);
  else if (MemoShownInPart(memo.size()))
    check.findings.push_back(
        {TFindingLevel::flWarning, entry,
         "a magyarázat (SZOVMAGY) túl hosszú: " + std::to_string((memo.size() + 1023) / 1024) +
             " KB, az ablak csak az első " + std::to_string(kMaxShownMemoBytes / 1024) +
             " KB-ját mutatja"});

  const std::string picture = BlobText(table.Field(TColumnRole::crPicture));
  const TPictureLoad load = DecodePictureBlob(
      std::span(reinterpret_cast<const std::uint8_t*>(picture.data()), picture.size()));
  if (load.outcome == TBitmapCheck::kNotValid)
    error(std::string("a kép (GRAPHIC) hibás: ") + kInvalidBitmapText);
  if (load.outcome == TBitmapCheck::kReadError)
    error(std::string("a kép (GRAPHIC) hibás: ") + kStreamReadErrorText);

  const TField& name = table.Field(TColumnRole::crMediaFile);
  files.CheckEntry(entry, name.IsNull() ? std::nullopt : std::optional(name.AsString()), codePage,
                   table.tblAdat.Lcid());
}

}  // namespace

QString ProgramFolderOfDataFile(const std::string& dataFile) {
  const QString dataFolder = QFileInfo(QFile::decodeName(dataFile.c_str())).absolutePath();
  QString folder = QFileInfo(dataFolder).absolutePath();
  if (!folder.endsWith(u'/')) folder += u'/';
  return folder;
}

TDataCheck CheckDictionary(const std::string& dataFile, const QString& programFolder,
                           const std::string& cacheFolder, const TCheckProgress& progress) {
  TDataCheck check;
  check.dataFile = dataFile;
  check.programFolder = programFolder;
  TFileCheck files(programFolder, check);
  files.CheckFolders();

  TDictionaryTable table(dataFile, cacheFolder);
  try {
    table.tblAdat.Open();
  } catch (const std::exception& e) {
    for (std::string& failure : OpenFailures(dataFile, cacheFolder, e.what()))
      check.findings.push_back({TFindingLevel::flError, {}, std::move(failure)});
    return check;
  }
  check.opened = true;
  for (const std::string& damage : PacketFileDamageLines(dataFile))
    check.findings.push_back({TFindingLevel::flError, {}, "az adatfájl sérült: " + damage});

  QTextDocument doc;
  doc.setUndoRedoEnabled(false);
  int record = 0;
  const int total = progress ? table.tblAdat.RecordCount() : 0;
  try {
    table.tblAdat.GoFirst();
    while (!table.tblAdat.IsEmpty()) {
      ++record;
      try {
        CheckEntry(table, doc, files, check);
      } catch (const std::exception& e) {
        // A value the dataset refuses to read: the next record may still be
        // readable.
        check.findings.push_back(
            {TFindingLevel::flError,
             {},
             "a(z) " + std::to_string(record) +
                 ". rekord (címszó-sorrendben) nem olvasható: " + ErrorReportText(e.what())});
      }
      if (progress) progress(record, total);
      table.tblAdat.GoNext();
      if (table.tblAdat.AtEnd()) break;
    }
  } catch (const std::exception& e) {
    // A move the dataset refuses ends the walk.
    check.findings.push_back({TFindingLevel::flError,
                              {},
                              "az adatfájl olvasása a(z) " + std::to_string(record) +
                                  ". rekord után megszakadt: " + ErrorReportText(e.what())});
  }
  files.AddNotes();
  return check;
}

}  // namespace dorvem
