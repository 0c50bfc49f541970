// The data half of the dictionary check: opening the data file as the
// window opens it, and reading every entry's fields, explanation and
// picture as the window's views read them.
#include "app/data_check.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <functional>
#include <memory>
#include <optional>

#include "app/data_check_files.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "dataset/host/fields.h"
#include "dataset/locale/locale_services.h"
#include "views/graphic_errors.h"
#include "views/picture_blob.h"
#include "views/rtf/memo_text.h"

namespace dorvem {

namespace {

// The window's persistent fields of tblAdat (main_window.h), in its order.
enum TDictionaryField { kFajlnev, kKszoveg, kSzovmagy, kGraphic, kIndex, kFieldCount };

std::unique_ptr<TField> MakeField(TDictionaryField which) {
  switch (which) {
    case kFajlnev:
      return std::make_unique<TStringField>("FAJLNEV", 255);
    case kKszoveg:
      return std::make_unique<TStringField>("KSZOVEG", 40);
    case kSzovmagy: {
      auto memo = std::make_unique<TMemoField>("SZOVMAGY");
      memo->SetSize(50);
      return memo;
    }
    case kGraphic:
      return std::make_unique<TBlobField>("GRAPHIC");
    case kIndex:
    case kFieldCount:
      break;
  }
  return std::make_unique<TIntegerField>("Index");
}

// tblAdat as the window sets it up, but with its filter off: every record
// is checked, not only those the start-up filter shows.
struct TDictionaryTable {
  TClientDataSet tblAdat{"tblAdat"};
  std::vector<std::unique_ptr<TField>> fields;

  // With all the window's fields, or only with `only`.
  explicit TDictionaryTable(const std::string& file, std::optional<TDictionaryField> only = {}) {
    tblAdat.SetFileName(file);
    for (int i = 0; i < kFieldCount; ++i) {
      if (only && *only != i) continue;
      fields.push_back(MakeField(static_cast<TDictionaryField>(i)));
      fields.back()->SetName(tblAdat.Name() + fields.back()->FieldName());
      fields.back()->SetDataSet(&tblAdat);
    }
    if (!only) tblAdat.SetIndexFieldNames("KSZOVEG");
  }
  const TField& Field(TDictionaryField which) const { return *fields[which]; }
};

std::string OpenFailure(const std::string& message) {
  return "az adatfájl nem nyitható meg: " + ErrorReportText(message);
}

// Why the window's tblAdat cannot open `file`, which failed with `error`:
// the packet's own error when the packet cannot be read at all; otherwise
// the error of each field the packet lacks or holds in another type, each
// found by opening with that field alone; `error` itself when no field
// alone fails.
std::vector<std::string> OpenFailures(const std::string& file, const std::string& error) {
  try {
    TClientDataSet plain("tblAdat");
    plain.SetFileName(file);
    plain.Open();
  } catch (const std::exception& e) {
    return {OpenFailure(e.what())};
  }
  std::vector<std::string> failures;
  for (int i = 0; i < kFieldCount; ++i) {
    try {
      TDictionaryTable one(file, static_cast<TDictionaryField>(i));
      one.tblAdat.Open();
    } catch (const std::exception& e) {
      failures.push_back(OpenFailure(e.what()));
    }
  }
  if (failures.empty()) failures.push_back(OpenFailure(error));
  return failures;
}

std::string EntryLabel(const TDictionaryTable& table, std::uint32_t codePage) {
  const TField& headword = table.Field(kKszoveg);
  const TField& index = table.Field(kIndex);
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
  if (table.Field(kKszoveg).AsString().empty())
    error("üres a címszó (KSZOVEG): a keresés sosem mutatja meg");

  const std::string memo = BlobText(table.Field(kSzovmagy));
  if (LoadMemoText(memo, codePage, doc) == TMemoOutcome::kFailed)
    error(std::string("a magyarázat (SZOVMAGY) nem tölthető be: ") + kFailedToLoadStream);

  const std::string picture = BlobText(table.Field(kGraphic));
  const TPictureLoad load = DecodePictureBlob(
      std::span(reinterpret_cast<const std::uint8_t*>(picture.data()), picture.size()));
  if (load.outcome == TBitmapCheck::kNotValid)
    error(std::string("a kép (GRAPHIC) hibás: ") + kInvalidBitmapText);
  if (load.outcome == TBitmapCheck::kReadError)
    error(std::string("a kép (GRAPHIC) hibás: ") + kStreamReadErrorText);

  const TField& name = table.Field(kFajlnev);
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

TDataCheck CheckDictionary(const std::string& dataFile, const QString& programFolder) {
  TDataCheck check;
  check.dataFile = dataFile;
  check.programFolder = programFolder;
  TFileCheck files(programFolder, check);
  files.CheckFolders();

  TDictionaryTable table(dataFile);
  try {
    table.tblAdat.Open();
  } catch (const std::exception& e) {
    for (std::string& failure : OpenFailures(dataFile, e.what()))
      check.findings.push_back({TFindingLevel::flError, {}, std::move(failure)});
    return check;
  }
  check.opened = true;

  QTextDocument doc;
  doc.setUndoRedoEnabled(false);
  int record = 0;
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
