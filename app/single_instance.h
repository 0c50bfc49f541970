// One window per user and data file. The first start of the program for a
// data file owns a name on the session's D-Bus - the program's id followed
// by a hash of the data file's real path, so that windows of different data
// files stay apart - with an object through which later starts hand over
// their search. A later start finds the name taken, calls that object and
// ends; the running window then raises itself and takes the search.
//
// Without a session bus (none named, or it cannot be reached) every start
// opens a window of its own, as does one whose call is not answered.
//
// Created once by the program's entry, after the application object and
// before the window; lives as long as the window.
#pragma once

#include <QObject>
#include <QString>

#include "dictionary/dictionary_options.h"

namespace dorvem {

// The bus name of the window on `dataFile` for the program `appId` (a
// reverse domain name): appId + ".data_" + 16 hex digits of a hash of the
// data file's canonical path (its path as given when it does not exist).
QString WindowServiceName(const QString& appId, const QString& dataFile);

class TSingleInstance : public QObject {
  Q_OBJECT

 public:
  // The object's path and interface on the bus, and its one method,
  // Show(string search, boolean everything).
  static QString ObjectPath() { return QStringLiteral("/Window"); }
  static QString Interface(const QString& appId) { return appId + QStringLiteral(".Window"); }

  // Connects to the session bus and tries to own the name of the window on
  // the data file of `options` (without queueing for it); with the name
  // owned, calls reach Show.
  TSingleInstance(const QString& appId, const TDictionaryOptions& options,
                  QObject* parent = nullptr);
  ~TSingleInstance() override;

  // True when another process owns the window's name; then HandOver.
  bool AnotherWindowRuns() const { return anotherRuns_; }
  // Asks the running window to show itself and, unless `search` is empty,
  // to take `search` (in the everything search with `everything`). True
  // when it answered within a few seconds.
  bool HandOver(const QString& search, bool everything) const;

 public Q_SLOTS:
  // Called over the bus by a later start; answers at once and emits
  // ShowRequested after the answer, from the event loop.
  Q_SCRIPTABLE void Show(const QString& search, bool everything);

 Q_SIGNALS:
  void ShowRequested(const QString& search, bool everything);

 private:
  QString service_;
  QString interface_;
  bool registered_ = false;
  bool anotherRuns_ = false;
};

}  // namespace dorvem
