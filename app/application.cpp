#include "app/application.h"

#include "app/error_report.h"
#include "dataset/host/handler_guard.h"
#include "views/fonts.h"

namespace dorvem {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  RegisterFontSubstitutes();
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  bool result = false;
  try {
    result = QApplication::notify(receiver, event);
  } catch (...) {
    // A handler that did not guard itself: report it all the same.
    ReportException(std::current_exception());
  }
  if (std::exception_ptr kept = TakeHandlerException()) ReportException(kept);
  return result;
}

}  // namespace dorvem
