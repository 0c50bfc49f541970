#include "dictionary/dictionary.h"

#include <QFileInfo>
#include <exception>

#include "dataset/locale/locale_services.h"
#include "dictionary/paths.h"
#include "dictionary/runnable_files.h"
#include "dictionary/search_key.h"

namespace dorvem {

namespace {

QString MissingPlayer(const QString& path) {
  return QStringLiteral(u"Nincs meg a lejátszó program:") + path;
}

QString MissingFile(const QString& path) {
  return QStringLiteral(u"Nincs meg a lejátszandó file:") + path;
}

bool IsFile(const QString& path) {
  return QFileInfo(path).isFile();
}

}  // namespace

TDictionary::TDictionary(TDictionaryOptions options) : options_(std::move(options)) {
  // Created closed; Open supplies the file name.
  const TTablePreloadRequest request = PreloadRequest(options_);
  tblAdat.SetFilter(request.filterText);
  tblAdat.SetFiltered(true);
  tblAdat.SetIndexFieldNames(request.indexFieldNames);
  tblAdat.SetCacheFolder(request.cacheFolder);
  // No control may put the dataset into edit mode.
  DataSource1.SetAutoEdit(false);
  DataSource1.SetDataSet(&tblAdat);
}

TTablePreloadRequest TDictionary::PreloadRequest(const TDictionaryOptions& options) {
  TTablePreloadRequest request;
  request.fileName = FileSystemName(options.programFolder + QString::fromLatin1(kDataFileName));
  request.cacheFolder = options.cacheFolder;
  request.indexFieldNames = kHeadwordColumn;
  request.filterText = kEmptySearchFilter;
  return request;
}

std::string TDictionary::DataFileName() const {
  return PreloadRequest(options_).fileName;
}

void TDictionary::Open() {
  tblAdat.SetFileName(DataFileName());
  tblAdat.Open();
}

void TDictionary::Close() {
  tblAdat.Close();
}

void TDictionary::Search(const QString& text) {
  if (text.isEmpty()) {
    tblAdat.SetFilter(kEmptySearchFilter);
    return;
  }
  const std::string key = SearchKey(ToCodePage(text, tblAdat.TextCodePage()));
  // On the open dataset each assignment moves to the first record of the
  // list it leaves: first of the old list, then of the new one. When the
  // first move fails (that entry's picture cannot be shown, say), the new
  // filter is still set, or every later keystroke would fail on the same
  // entry and the list could never change; the error is raised after it.
  std::exception_ptr leaving;
  try {
    tblAdat.SetFilterOptions(
        static_cast<TFilterOptions>(tblAdat.FilterOptions() & ~foNoPartialCompare));
  } catch (...) {
    leaving = std::current_exception();
  }
  tblAdat.SetFilter(SearchFilter(key));
  tblAdat.Open();
  if (leaving) std::rethrow_exception(leaving);
}

void TDictionary::StepNext() {
  tblAdat.GoNext();
}

void TDictionary::StepPrior() {
  tblAdat.GoPrior();
}

std::string TDictionary::Headword() const {
  return Fields[TColumnRole::crHeadword].AsString();
}

bool TDictionary::HasPicture() const {
  return !Fields[TColumnRole::crPicture].IsNull();
}

bool TDictionary::HasMedia() const {
  return !Fields[TColumnRole::crMediaFile].IsNull();
}

bool TDictionary::HasScore() const {
  return ScoreFile().exists;
}

QString TDictionary::DataText(const std::string& bytes) const {
  return QString::fromStdString(locale::ToUtf8(bytes, tblAdat.TextCodePage()));
}

LocatedFile TDictionary::MediaFile() const {
  return LocateMediaFile(options_.programFolder,
                         DataText(Fields[TColumnRole::crMediaFile].AsString()));
}

LocatedFile TDictionary::ScoreFile() const {
  // A null name reads as empty text, whose score document is looked for
  // like any other. It is opened with the system, so one the desktop's
  // opener would run counts as missing.
  LocatedFile score = LocateScoreFile(options_.programFolder,
                                      DataText(Fields[TColumnRole::crMediaFile].AsString()));
  if (score.exists && !MayOpenWithSystem(score.path)) score.exists = false;
  return score;
}

LocatedFile TDictionary::CueFile(bool scoreCue) const {
  return LocateCueFile(options_.programFolder, scoreCue);
}

QString TDictionary::CuePath(bool scoreCue) const {
  return dorvem::CuePath(options_.programFolder, scoreCue);
}

TPlayPlan TDictionary::PlanPlay() const {
  TPlayPlan plan;
  const LocatedFile media = MediaFile();
  // A missing file: nothing, and the button stays disabled.
  if (!media.exists) return plan;

  const TMediaHandling handling =
      MediaHandlingOf(Fields[TColumnRole::crMediaFile].AsString(), tblAdat.Lcid());
  // A file the desktop's opener would run is never handed to it: as the
  // only way to open the entry it makes the file a missing one.
  const bool mayOpen = MayOpenWithSystem(media.path);
  if (handling == TMediaHandling::mhSystem && !mayOpen) return plan;
  const QString shortPath = ShortPathName(media.path);
  plan.enableAfter = true;
  switch (handling) {
    case TMediaHandling::mhSequencer:
    case TMediaHandling::mhAutoSelect:
      plan.devicePath = media.path;
      plan.handling = handling;
      break;
    case TMediaHandling::mhScorePlayer:
    case TMediaHandling::mhVideoPlayer: {
      if (!IsFile(media.path)) {
        plan.warning = MissingFile(media.path);
        break;
      }
      const QString player = handling == TMediaHandling::mhScorePlayer
                                 ? options_.programFolder + QString::fromLatin1(kScorePlayer)
                                 : options_.videoPlayerPath;
      if (!IsFile(player)) {
        plan.warning = MissingPlayer(player);
        plan.enableAfter = false;
        // Without its player a video still opens, with the system, unless
        // the opener would run it.
        if (handling == TMediaHandling::mhVideoPlayer && mayOpen) plan.openWithSystem = shortPath;
        break;
      }
      plan.program = player;
      plan.argument = shortPath;
      break;
    }
    case TMediaHandling::mhSystem:
      if (IsFile(media.path)) plan.openWithSystem = media.path;
      break;
  }
  return plan;
}

}  // namespace dorvem
