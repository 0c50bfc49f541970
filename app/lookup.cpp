#include "app/lookup.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <exception>
#include <functional>

#include "dataset/host/db_errors.h"
#include "dictionary/dictionary.h"
#include "dictionary/headword_lookup.h"

namespace dorvem {

namespace {

// How the entries are printed, one at a time as they are found.
class TEntryPrinter {
 public:
  TEntryPrinter(std::ostream& out, bool json, int wrapWidth)
      : out_(out), json_(json), wrapWidth_(wrapWidth) {}

  void Print(const TLookupEntry& entry) {
    if (json_)
      PrintJson(entry);
    else
      PrintText(entry);
    ++count_;
  }
  int Count() const { return count_; }

 private:
  void PrintText(const TLookupEntry& entry) {
    QString text;
    if (count_ > 0) text += u'\n';
    text += entry.headword + u'\n';
    if (!entry.text.isEmpty()) text += WrapText(entry.text, wrapWidth_) + u'\n';
    if (entry.hasMedia) {
      text += QStringLiteral(u"Médiafájl: ") + entry.media.path;
      if (!entry.media.exists) text += QStringLiteral(u" (nincs meg)");
      text += u'\n';
    }
    if (!entry.score.isEmpty()) text += QStringLiteral(u"Kotta: ") + entry.score + u'\n';
    out_ << text.toStdString();
  }

  void PrintJson(const TLookupEntry& entry) {
    QJsonObject object;
    object.insert(QStringLiteral("headword"), entry.headword);
    object.insert(QStringLiteral("text"), entry.text);
    object.insert(QStringLiteral("media"),
                  entry.hasMedia ? QJsonValue(entry.media.path) : QJsonValue(QJsonValue::Null));
    object.insert(QStringLiteral("mediaFound"), entry.hasMedia && entry.media.exists);
    object.insert(QStringLiteral("score"),
                  entry.score.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(entry.score));
    out_ << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << '\n';
  }

  std::ostream& out_;
  bool json_;
  int wrapWidth_;
  int count_ = 0;
};

// Where the entries to print come from: calls `visit` once per matching
// entry, with that entry current in `dictionary`.
using TMatchingEntries = std::function<void(TDictionary& dictionary, const QString& words,
                                            const std::function<void()>& visit)>;

int PrintMatches(const TMatchingEntries& matches, const TCommandLine& commandLine,
                 const TDictionaryOptions& options, std::ostream& out, std::ostream& err,
                 int wrapWidth) {
  TDictionary dictionary(options);
  TEntryPrinter printer(out, commandLine.json, wrapWidth);
  try {
    matches(dictionary, QString::fromStdString(commandLine.search),
            [&] { printer.Print(ReadLookupEntry(dictionary)); });
  } catch (const std::exception& e) {
    out.flush();
    err << "dorvem: " << dictionary.DataFileName() << ": " << ErrorReportText(e.what()) << "\n";
    return 2;
  }
  return printer.Count() > 0 ? 0 : 1;
}

}  // namespace

int RunLookup(const TCommandLine& commandLine, const TDictionaryOptions& options, std::ostream& out,
              std::ostream& err, int wrapWidth) {
  return PrintMatches(commandLine.everything ? ForEachEverythingMatch : ForEachHeadwordMatch,
                      commandLine, options, out, err, wrapWidth);
}

int TerminalWidth(int fd) {
  if (!isatty(fd)) return 0;
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

QString WrapText(const QString& text, int width) {
  if (width <= 0) return text;
  QStringList lines;
  for (const QString& paragraph : text.split(u'\n')) {
    QString line;
    for (const QString& word : paragraph.split(u' ', Qt::SkipEmptyParts)) {
      if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
        lines.append(line);
        line.clear();
      }
      if (!line.isEmpty()) line += u' ';
      line += word;
    }
    lines.append(line);
  }
  return lines.join(u'\n');
}

}  // namespace dorvem
