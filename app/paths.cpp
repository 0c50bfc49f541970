#include "app/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

namespace dorvem {

QString IncludeTrailingPathDelimiter(const QString& dir) {
  if (dir.endsWith(u'/') || dir.endsWith(u'\\')) return dir;
  return dir + QDir::separator();
}

QString ProgramFolderOf(const QString& executablePath) {
  return IncludeTrailingPathDelimiter(QFileInfo(executablePath).absolutePath());
}

QString ProgramFolder() {
  return ProgramFolderOf(QCoreApplication::applicationFilePath());
}

QString FileSystemPath(const QString& path) {
  QString result = path;
  result.replace(u'\\', QDir::separator());
  return result;
}

std::string FileSystemName(const QString& path) {
  return QFile::encodeName(FileSystemPath(path)).toStdString();
}

std::string UserCacheFolder() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/dorvem";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/dorvem";
  return {};
}

}  // namespace dorvem
