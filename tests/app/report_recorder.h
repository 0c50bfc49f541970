// ReportRecorder: while it lives, the application-wide error report records
// its boxes here instead of showing them.
#pragma once

#include <QStringList>
#include <vector>

#include "app/error_report.h"

namespace dorvem::testing {

class ReportRecorder {
 public:
  ReportRecorder() {
    previous_ = SetErrorReportSink([this](const ErrorReportBox& box) { reports.push_back(box); });
  }
  ~ReportRecorder() { SetErrorReportSink(std::move(previous_)); }
  ReportRecorder(const ReportRecorder&) = delete;
  ReportRecorder& operator=(const ReportRecorder&) = delete;

  QStringList Texts() const {
    QStringList texts;
    for (const ErrorReportBox& box : reports) texts << box.text;
    return texts;
  }

  std::vector<ErrorReportBox> reports;

 private:
  ErrorReportSink previous_;
};

}  // namespace dorvem::testing
