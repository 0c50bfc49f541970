#include "dictionary/media_paths.h"

#include <QFileInfo>
#include <optional>

#include "dataset/locale/locale_services.h"
#include "dictionary/folder_listing.h"
#include "dictionary/paths.h"

namespace dorvem {

namespace {

// The entry of `dir` called `name`: exactly that one when it exists, else
// the first one (in name order) equal to it ignoring case.
std::optional<QString> FindEntry(const QString& dir, const QString& name) {
  if (QFileInfo::exists(dir + u'/' + name)) return name;
  return FindEntryIgnoringCase(dir, name);
}

}  // namespace

QStringList PathComponents(const QString& path) {
  // Split by hand: it runs for every media name on every keystroke.
  QStringList parts;
  qsizetype start = 0;
  for (qsizetype i = 0; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != u'\\' && path[i] != u'/') continue;
    if (i > start) parts.append(path.mid(start, i - start));
    start = i + 1;
  }
  return parts;
}

std::string ExtensionOf(std::string_view name) {
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return {};
  const std::size_t folder = name.find_last_of("\\:");
  if (folder != std::string_view::npos && folder > dot) return {};
  return std::string(name.substr(dot));
}

std::string ScoreFileName(std::string_view name) {
  const std::string extension = ExtensionOf(name);
  return std::string(name.substr(0, name.size() - extension.size())) + ".PDF";
}

TMediaHandling MediaHandlingOf(std::string_view name, std::uint32_t lcid) {
  const std::string extension = locale::CharUpperA(lcid, ExtensionOf(name));
  if (extension == ".MID" || extension == ".RMI") return TMediaHandling::mhSequencer;
  if (extension == ".WAV" || extension == ".MP3") return TMediaHandling::mhAutoSelect;
  if (extension == ".SCM") return TMediaHandling::mhScorePlayer;
  if (extension == ".AVI") return TMediaHandling::mhVideoPlayer;
  return TMediaHandling::mhSystem;
}

bool IsSafeMediaName(const QString& name) {
  if (name.startsWith(u'\\') || name.startsWith(u'/')) return false;
  if (name.size() >= 2 && name[1] == u':') return false;
  return !PathComponents(name).contains(QStringLiteral(".."));
}

LocatedFile LocateFile(const QString& folder, const QString& relative) {
  // Without its trailing separators (the root becomes empty).
  QString path = folder;
  while (path.endsWith(u'/') || path.endsWith(u'\\')) path.chop(1);
  bool found = true;
  for (const QString& component : PathComponents(relative)) {
    std::optional<QString> entry;
    if (found) entry = FindEntry(path, component);
    found = entry.has_value();
    path += u'/' + (found ? *entry : component);
  }
  return {path, found && QFileInfo(path).isFile()};
}

QString RealMediaFolder(const QString& programFolder) {
  const QFileInfo folder(LocateFile(programFolder, QString::fromLatin1(kMediaFolder)).path);
  return folder.isDir() ? folder.canonicalFilePath() : QString();
}

bool LiesInsideFolder(const QString& path, const QString& realFolder) {
  if (realFolder.isEmpty()) return false;
  const QString real = QFileInfo(path).canonicalFilePath();
  // The root folder already ends with its separator.
  const QString prefix = realFolder.endsWith(u'/') ? realFolder : realFolder + u'/';
  return !real.isEmpty() && real.startsWith(prefix);
}

namespace {

// `relative` below the program folder, found only inside the media folder.
LocatedFile LocateInsideMediaFolder(const QString& programFolder, const QString& relative) {
  LocatedFile found = LocateFile(programFolder, relative);
  if (found.exists && !LiesInsideFolder(found.path, RealMediaFolder(programFolder))) {
    found.exists = false;
    found.outside = true;
  }
  return found;
}

LocatedFile LocateUnderProgramFolder(const QString& programFolder, const QString& name,
                                     const QString& relative) {
  if (!IsSafeMediaName(name)) return {FileSystemPath(programFolder + relative), false};
  return LocateInsideMediaFolder(programFolder, relative);
}

}  // namespace

LocatedFile LocateMediaFile(const QString& programFolder, const QString& name) {
  return LocateUnderProgramFolder(programFolder, name, QString::fromLatin1(kMediaFolder) + name);
}

LocatedFile LocateScoreFile(const QString& programFolder, const QString& name) {
  // The extension rule looks for ASCII bytes only, which UTF-8 never uses
  // inside another character.
  const QString score = QString::fromStdString(ScoreFileName(name.toStdString()));
  return LocateUnderProgramFolder(programFolder, name, QString::fromLatin1(kScoreFolder) + score);
}

namespace {

// The cue's name below the program folder.
QString CueName(bool scoreCue) {
  return QString::fromLatin1(scoreCue ? kScoreCue : kSoundCue);
}

}  // namespace

LocatedFile LocateCueFile(const QString& programFolder, bool scoreCue) {
  return LocateInsideMediaFolder(programFolder, CueName(scoreCue));
}

QString CuePath(const QString& programFolder, bool scoreCue) {
  return LocateFile(programFolder, CueName(scoreCue)).path;
}

}  // namespace dorvem
