#include "dictionary/folder_listing.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>
#include <cstdint>

namespace dorvem {

namespace {

constexpr int kMaxFolders = 64;

// What says whether a folder may have changed.
struct FolderStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;
  bool operator==(const FolderStamp&) const = default;
};

struct Listing {
  FolderStamp stamp;
  // Case-folded name -> the first entry in name order with that name.
  QHash<QString, QString> entries;
};

std::int64_t Ns(const timespec& t) {
  return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

std::optional<FolderStamp> StampOf(const QString& dir) {
  struct stat st {};
  if (::stat(QFile::encodeName(dir).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
    return std::nullopt;
  return FolderStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                     Ns(st.st_mtim), Ns(st.st_ctim)};
}

std::int64_t WallClockNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return Ns(now);
}

// The key two names share when they are equal ignoring case: each code
// point simply case-folded, as QString::compare(Qt::CaseInsensitive)
// compares them ("ß" stays one letter and differs from "SS").
QString FoldedKey(const QString& name) {
  QString key;
  key.reserve(name.size());
  for (const char32_t c : name.toUcs4()) {
    const char32_t folded = QChar::toCaseFolded(c);
    key.append(QStringView(QChar::fromUcs4(folded)));
  }
  return key;
}

std::uint64_t reads = 0;

QHash<QString, QString> ReadEntries(const QString& dir) {
  ++reads;
  const QStringList names = QDir(dir).entryList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  QHash<QString, QString> entries;
  entries.reserve(names.size());
  // From the last to the first: of names equal ignoring case, the first in
  // name order is inserted last and stays.
  for (auto it = names.crbegin(); it != names.crend(); ++it) entries.insert(FoldedKey(*it), *it);
  return entries;
}

QHash<QString, Listing>& Kept() {
  static QHash<QString, Listing> kept;
  return kept;
}

}  // namespace

std::uint64_t FolderReads() {
  return reads;
}

std::optional<QString> FindEntryIgnoringCase(const QString& dir, const QString& name) {
  const QString folder = dir.isEmpty() ? QStringLiteral("/") : dir;
  const std::optional<FolderStamp> stamp = StampOf(folder);
  if (!stamp) {
    Kept().remove(folder);
    return std::nullopt;
  }
  const QString key = FoldedKey(name);
  QHash<QString, Listing>& kept = Kept();
  if (const auto it = kept.constFind(folder); it != kept.constEnd() && it->stamp == *stamp) {
    const auto found = it->entries.constFind(key);
    return found == it->entries.constEnd() ? std::nullopt : std::optional<QString>(*found);
  }

  const std::int64_t readAt = WallClockNs();
  Listing listing{*stamp, ReadEntries(folder)};
  const auto found = listing.entries.constFind(key);
  const std::optional<QString> entry =
      found == listing.entries.constEnd() ? std::nullopt : std::optional<QString>(*found);
  const std::int64_t trustNs = std::chrono::nanoseconds(kTrustAfter).count();
  if (readAt - stamp->modifiedNs >= trustNs) {
    if (kept.size() >= kMaxFolders) kept.clear();
    kept.insert(folder, std::move(listing));
  } else {
    kept.remove(folder);
  }
  return entry;
}

}  // namespace dorvem
