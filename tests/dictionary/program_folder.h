// A program folder of its own for a test, in a temporary directory,
// optionally holding a data file of the dictionary's shape, and the
// dictionary's options on it.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "dictionary/dictionary_options.h"
#include "dictionary/external_programs.h"
#include "dictionary/paths.h"
#include "tests/dataset/test_packets.h"

namespace dorvem::testing {

// The options of a dictionary on the program folder `folder`: the cache
// folder the test environment chose (cache_home.cpp sets XDG_CACHE_HOME),
// the system's video player.
inline TDictionaryOptions TestOptions(const QString& folder) {
  const QByteArray cache = qgetenv("XDG_CACHE_HOME");
  return {folder, cache.isEmpty() ? std::string() : cache.toStdString() + "/dorvem",
          QString::fromLatin1(kVideoPlayerPath), {}};
}

class ProgramFolderFixture {
 public:
  // The program folder, with its one trailing separator.
  QString Folder() const { return dir_.path() + QDir::separator(); }
  TDictionaryOptions Options() const { return TestOptions(Folder()); }
  QString DataFile() const { return FileSystemPath(Folder() + QString::fromLatin1(kDataFileName)); }

  void WriteDataFile(const std::vector<std::uint8_t>& bytes) const {
    QDir(dir_.path()).mkpath(QStringLiteral("Data"));
    QFile file(DataFile());
    if (file.open(QIODevice::WriteOnly))
      file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  }

  // A packet of the dictionary's shape with the given headwords.
  static std::vector<std::uint8_t> Dictionary(const std::vector<std::string>& headwords) {
    std::vector<DictRow> rows;
    int index = 0;
    for (const std::string& h : headwords)
      rows.push_back({h + ".mp3", h, "{\\rtf1 x}", {}, ++index});
    return Encode(DictionaryModel(rows));
  }

 private:
  QTemporaryDir dir_;
};

}  // namespace dorvem::testing
