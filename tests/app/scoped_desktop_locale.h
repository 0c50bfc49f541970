// ScopedDesktopLocale: the process as a desktop in another language starts
// a Qt program, for one test: the environment, the C library's and ICU's
// default locales (ScopedProcessLocale) and Qt's default QLocale; all put
// back when it goes.
#pragma once

#include <QLocale>

#include "tests/dataset/scoped_process_locale.h"

namespace dorvem::testing {

class ScopedDesktopLocale {
 public:
  // `posixName` as in LANG ("tr_TR.UTF-8"); `icuName` as ICU and Qt name
  // it ("tr_TR").
  ScopedDesktopLocale(const char* posixName, const char* icuName)
      : process_(posixName, icuName), qt_(QLocale()) {
    QLocale::setDefault(QLocale(QString::fromLatin1(icuName)));
  }
  ~ScopedDesktopLocale() { QLocale::setDefault(qt_); }
  ScopedDesktopLocale(const ScopedDesktopLocale&) = delete;
  ScopedDesktopLocale& operator=(const ScopedDesktopLocale&) = delete;

 private:
  ScopedProcessLocale process_;
  QLocale qt_;
};

// The Turkish desktop, where "i" upper-cases to "İ".
inline constexpr char kTurkishPosix[] = "tr_TR.UTF-8";
inline constexpr char kTurkishIcu[] = "tr_TR";

}  // namespace dorvem::testing
