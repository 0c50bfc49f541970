#include "dictionary/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

}  // namespace dorvem
