// ScopedProcessLocale: the process as a desktop in another language starts
// it, for one test: LANG and LC_ALL in the environment, the C library's
// locale (setlocale) and ICU's default locale; all put back when it goes.
//
// The program must find, play and parse the same under every such
// language, so a test pins a Turkish one (where "i" upper-cases to "İ") and
// expects what it expects anywhere. The C library's part needs the locale
// to be generated (locale-gen); without it the rest is still pinned.
#pragma once

#include <unicode/uloc.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

namespace dorvem::testing {

class ScopedProcessLocale {
 public:
  // `posixName` as in LANG ("tr_TR.UTF-8"); `icuName` as ICU names it ("tr_TR").
  ScopedProcessLocale(const char* posixName, const char* icuName)
      : lang_(Get("LANG")), lcAll_(Get("LC_ALL")), icu_(uloc_getDefault()) {
    if (const char* c = std::setlocale(LC_ALL, nullptr)) c_ = c;
    ::setenv("LANG", posixName, 1);
    ::setenv("LC_ALL", posixName, 1);
    std::setlocale(LC_ALL, posixName);
    UErrorCode status = U_ZERO_ERROR;
    uloc_setDefault(icuName, &status);
  }
  ~ScopedProcessLocale() {
    Restore("LANG", lang_);
    Restore("LC_ALL", lcAll_);
    std::setlocale(LC_ALL, c_.c_str());
    UErrorCode status = U_ZERO_ERROR;
    uloc_setDefault(icu_.c_str(), &status);
  }
  ScopedProcessLocale(const ScopedProcessLocale&) = delete;
  ScopedProcessLocale& operator=(const ScopedProcessLocale&) = delete;

 private:
  static std::optional<std::string> Get(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  }
  static void Restore(const char* name, const std::optional<std::string>& value) {
    if (value)
      ::setenv(name, value->c_str(), 1);
    else
      ::unsetenv(name);
  }

  std::optional<std::string> lang_, lcAll_;
  std::string icu_;
  std::string c_ = "C";
};

}  // namespace dorvem::testing
