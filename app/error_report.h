// The application-wide error report.
//
// Every exception that leaves an event handler, or the main window's
// creation, ends here: one modal box with the message (a full stop appended
// when its last character sorts after "."), the application title, the
// error icon and one "OK" button; the program then carries on. The silent
// exception EAbort shows nothing.
//
// The box is shown through one replaceable sink, so that tests can record
// reports instead of blocking on a modal box. Event thread only.
#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <string_view>

namespace dorvem {

// One report as the sink receives it.
struct ErrorReportBox {
  QString title;
  QString text;
};

using ErrorReportSink = std::function<void(const ErrorReportBox&)>;

// Makes `sink` receive every report from now on and returns the previous
// sink. A null sink restores the modal message box.
ErrorReportSink SetErrorReportSink(ErrorReportSink sink);

// The application title: the running executable's file name without its
// extension. Needs the application object.
QString ApplicationTitle();

// The text a report shows for `message`: the full-stop rule applied, then
// decoded as UTF-8, or as windows-1250 when it is not valid UTF-8 (texts
// that carry the dictionary's single-byte data).
QString ReportText(std::string_view message);

// Reports `error` through the sink; does nothing for EAbort and for a null
// pointer. An exception that is not a std::exception is reported as
// "Unknown exception". Never throws: a failing sink is ignored.
void ReportException(std::exception_ptr error) noexcept;

}  // namespace dorvem
