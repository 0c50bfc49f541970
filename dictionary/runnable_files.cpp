#include "dictionary/runnable_files.h"

#include <QFile>
#include <QFileInfo>

namespace dorvem {

namespace {

constexpr char kLauncherStart[] = "[Desktop Entry]";

bool IsLauncherName(const QString& path) {
  return path.endsWith(QStringLiteral(".desktop"), Qt::CaseInsensitive);
}

}  // namespace

TRunnableKind RunnableKindOf(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return TRunnableKind::rkNone;
  QFile file(path);
  const bool readable = file.open(QIODevice::ReadOnly);
  // Enough for the longest beginning looked for.
  const QByteArray start = readable ? file.read(sizeof kLauncherStart - 1) : QByteArray();
  if (IsLauncherName(info.fileName()) || IsLauncherName(info.canonicalFilePath()) ||
      start.startsWith(kLauncherStart))
    return TRunnableKind::rkLauncher;
  if (info.permissions() & (QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther))
    return TRunnableKind::rkExecutable;
  if (!readable || start.startsWith("#!")) return TRunnableKind::rkScript;
  return TRunnableKind::rkNone;
}

}  // namespace dorvem
