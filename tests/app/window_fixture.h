// Helpers for window tests: a program folder of its own in a temporary
// directory, optionally holding a data file, and the main window built on
// it.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "tests/dataset/test_packets.h"

namespace dorvem::testing {

class ProgramFolderFixture {
 public:
  // The program folder, with its one trailing separator.
  QString Folder() const { return dir_.path() + QDir::separator(); }
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
