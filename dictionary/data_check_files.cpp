#include "dictionary/data_check_files.h"

#include <QFile>
#include <QFileInfo>

#include "dataset/locale/locale_services.h"
#include "dictionary/external_programs.h"
#include "dictionary/runnable_files.h"
#include "media/probe/file_probe.h"
#include "media/probe/mci_errors.h"

namespace dorvem {

namespace {

// A score document is a PDF file when "%PDF-" stands within its first
// kilobyte, as PDF readers accept it.
constexpr qint64 kPdfHeaderWindow = 1024;

// `path` (a path the look-up built, "/" between components) below the
// program folder `folder`, as its components.
QStringList BelowProgramFolder(const QString& folder, const QString& path) {
  QString root = folder;
  while (root.endsWith(u'/') || root.endsWith(u'\\')) root.chop(1);
  return PathComponents(path.mid(root.size()));
}

QString Fixed(const char* text) {
  return QString::fromLatin1(text);
}

QString What(const char* what) {
  return QString::fromUtf8(what);
}

// Why the desktop's opener is not handed a file of `kind` (not rkNone).
QString RunnableReason(TRunnableKind kind) {
  switch (kind) {
    case TRunnableKind::rkLauncher:
      return QStringLiteral(u"asztali indítófájl (.desktop)");
    case TRunnableKind::rkExecutable:
      return QStringLiteral(u"futtatható fájl (végrehajtási joga van)");
    case TRunnableKind::rkScript:
      return QStringLiteral(u"szkript (#!-lal kezdődik, vagy nem olvasható)");
    case TRunnableKind::rkNone:
      break;
  }
  return {};
}

}  // namespace

TFileCheck::TFileCheck(const QString& programFolder, TDataCheck& check)
    : programFolder_(programFolder), check_(check) {}

void TFileCheck::Add(TFindingLevel level, const std::string& entry, const QString& text) {
  check_.findings.push_back({level, entry, text.toStdString()});
}

void TFileCheck::CheckFolders() {
  for (const char* folder : {kMediaFolder, kScoreFolder}) {
    const LocatedFile found = LocateFile(programFolder_, Fixed(folder));
    if (!QFileInfo(found.path).isDir()) continue;  // a missing folder shows in its files
    // Only the folder's own name: the PICTURES folder is not blamed for its
    // parent's spelling.
    const QStringList written = PathComponents(Fixed(folder));
    const QStringList onDisk = BelowProgramFolder(programFolder_, found.path);
    if (!onDisk.isEmpty() && onDisk.last() != written.last())
      Add(TFindingLevel::flWarning, {},
          QStringLiteral(u"a mappa csak más kis- és nagybetűkkel van meg: %1 (a lemezen: %2)")
              .arg(written.join(u'\\'), onDisk.join(u'/')));
  }
  // The cue sounds, named below the media folder.
  for (const bool scoreCue : {false, true})
    CheckPlayable({}, "jelzőhang",
                  Fixed(scoreCue ? kScoreCue : kSoundCue).mid(Fixed(kMediaFolder).size()),
                  LocateCueFile(programFolder_, scoreCue), TMediaHandling::mhAutoSelect);
}

void TFileCheck::CheckEntry(const std::string& entry, const std::optional<std::string>& bytes,
                            std::uint32_t codePage, std::uint32_t lcid) {
  const QString name = bytes ? QString::fromStdString(locale::ToUtf8(*bytes, codePage)) : QString();
  // A null name reads as empty text, whose score document the window looks
  // for like any other.
  CheckScore(entry, name);
  // No name, or an empty one, names no media: the entry has no sound.
  if (name.isEmpty()) return;
  if (!IsSafeMediaName(name)) {
    Add(TFindingLevel::flError, entry,
        QStringLiteral(u"a médiafájl neve a Sounds mappán kívülre mutat (abszolút név vagy "
                       u"\"..\"), a program nem keresi: %1")
            .arg(name));
    return;
  }
  const TMediaHandling handling = MediaHandlingOf(*bytes, lcid);
  const LocatedFile found = LocateMediaFile(programFolder_, name);
  CheckPlayable(entry, "médiafájl", name, found, handling);
  if (!found.exists) return;
  // The window opens these with the system (a video when its player is
  // missing), and never hands the opener a file it may run.
  const bool systemOpens =
      handling == TMediaHandling::mhSystem ||
      (handling == TMediaHandling::mhVideoPlayer && !QFileInfo(Fixed(kVideoPlayerPath)).isFile());
  if (systemOpens && CheckRunnable(entry, "médiafájl", Fixed(kMediaFolder) + name, found)) return;
  ++check_.mediaFiles;
  if (handling == TMediaHandling::mhScorePlayer) ++scorePlayerEntries_;
  if (handling == TMediaHandling::mhVideoPlayer) ++videoEntries_;
}

void TFileCheck::CheckPlayable(const std::string& entry, const char* what, const QString& name,
                               const LocatedFile& found, TMediaHandling handling) {
  const QString written = Fixed(kMediaFolder) + name;
  if (found.outside) {
    AddOutside(entry, what, written, found);
    return;
  }
  if (!found.exists) {
    const bool folder = QFileInfo(found.path).isDir();
    Add(TFindingLevel::flError, entry,
        (folder ? QStringLiteral(u"a %1 helyén mappa van: %2")
                : QStringLiteral(u"nincs meg a %1: %2"))
            .arg(What(what), written));
    return;
  }
  CheckSpelling(entry, what, kMediaFolder, name, found);
  if (handling != TMediaHandling::mhSequencer && handling != TMediaHandling::mhAutoSelect) return;
  // The sequencer takes MIDI only; a device chosen by the file takes any
  // kind the layer plays.
  const std::optional<mci::MediaKind> required =
      handling == TMediaHandling::mhSequencer ? std::optional(mci::MediaKind::kMidi) : std::nullopt;
  const mci::FileProbe probe =
      mci::ProbeMediaFileFor(QFile::encodeName(found.path).toStdString(), required);
  if (probe.error == 0) return;
  const std::optional<std::string> reason = mci::MciErrorText(probe.error);
  Add(TFindingLevel::flError, entry,
      QStringLiteral(u"a %1 nem játszható le: %2 (hibakód %3%4)")
          .arg(What(what), written, QString::number(probe.error),
               reason ? QStringLiteral(": ") + QString::fromStdString(*reason) : QString()));
}

void TFileCheck::CheckScore(const std::string& entry, const QString& name) {
  const LocatedFile found = LocateScoreFile(programFolder_, name);
  const QString score = QString::fromStdString(ScoreFileName(name.toStdString()));
  const QString written = Fixed(kScoreFolder) + score;
  if (found.outside) AddOutside(entry, "kottadokumentum", written, found);
  if (!found.exists) return;
  // The window opens it with the system.
  if (CheckRunnable(entry, "kottadokumentum", written, found)) return;
  ++check_.scoreDocuments;
  CheckSpelling(entry, "kottadokumentum", kScoreFolder, score, found);
  QFile file(found.path);
  if (!file.open(QIODevice::ReadOnly)) {
    Add(TFindingLevel::flError, entry,
        QStringLiteral(u"a kottadokumentum nem olvasható: %1 (%2)")
            .arg(written, file.errorString()));
    return;
  }
  if (!file.read(kPdfHeaderWindow).contains("%PDF-"))
    Add(TFindingLevel::flError, entry,
        QStringLiteral(u"a kottadokumentum nem PDF-fájl: %1").arg(written));
}

void TFileCheck::AddOutside(const std::string& entry, const char* what, const QString& written,
                            const LocatedFile& found) {
  Add(TFindingLevel::flError, entry,
      QStringLiteral(u"a %1 valódi helye a Sounds mappán kívül van (oda vezető szimbolikus "
                     u"link), a program nem nyitja meg: %2 (valódi helye: %3)")
          .arg(What(what), written, QFileInfo(found.path).canonicalFilePath()));
}

bool TFileCheck::CheckRunnable(const std::string& entry, const char* what, const QString& written,
                               const LocatedFile& found) {
  const TRunnableKind kind = RunnableKindOf(found.path);
  if (kind == TRunnableKind::rkNone) return false;
  Add(TFindingLevel::flError, entry,
      QStringLiteral(u"a %1 %2, a program nem adja át a rendszernek megnyitásra: %3")
          .arg(What(what), RunnableReason(kind), written));
  return true;
}

void TFileCheck::CheckSpelling(const std::string& entry, const char* what, const char* folder,
                               const QString& name, const LocatedFile& found) {
  // Only the part below the folder: a folder's own spelling is reported
  // once, by CheckFolders.
  const QStringList wanted = PathComponents(name);
  const QStringList onDisk =
      BelowProgramFolder(programFolder_, found.path).mid(PathComponents(Fixed(folder)).size());
  const bool otherSeparator = wanted.join(u'/') != name;
  const bool otherCase = onDisk != wanted;
  if (!otherSeparator && !otherCase) return;
  const QString how = otherCase && otherSeparator
                          ? QStringLiteral(u"más kis- és nagybetűkkel és más mappaelválasztóval")
                      : otherCase ? QStringLiteral(u"más kis- és nagybetűkkel")
                                  : QStringLiteral(u"más mappaelválasztóval");
  Add(TFindingLevel::flWarning, entry,
      QStringLiteral(u"a %1 csak %2 van meg: %3 (a lemezen: %4)")
          .arg(What(what), how, Fixed(folder) + name,
               BelowProgramFolder(programFolder_, found.path).join(u'/')));
}

void TFileCheck::AddNotes() {
  const QString scorePlayer = programFolder_ + Fixed(kScorePlayer);
  if (scorePlayerEntries_ > 0 && !QFileInfo(scorePlayer).isFile())
    check_.notes.push_back(
        QStringLiteral(u"Nincs meg a kottalejátszó program (%1): %2 címszó .SCM fájlja ezen a "
                       u"gépen nem játszható le. Ez nem az adatok hibája.")
            .arg(scorePlayer, QString::number(scorePlayerEntries_))
            .toStdString());
  const QString videoPlayer = Fixed(kVideoPlayerPath);
  if (videoEntries_ > 0 && !QFileInfo(videoPlayer).isFile())
    check_.notes.push_back(
        QStringLiteral(u"Nincs meg a videólejátszó (%1): %2 címszó .AVI fájlját a rendszer "
                       u"társított programja nyitja meg helyette. Ez nem az adatok hibája.")
            .arg(videoPlayer, QString::number(videoEntries_))
            .toStdString());
}

}  // namespace dorvem
