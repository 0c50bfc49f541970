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

QString ProgramFolderBeforeApplication() {
  // Where the application object looks on Linux, resolved the same way.
  const QString path = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
  return path.isEmpty() ? QString() : ProgramFolderOf(path);
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
