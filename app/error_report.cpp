#include "app/error_report.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringDecoder>
#include <string>

#include "dataset/host/db_errors.h"
#include "dataset/locale/code_page.h"

namespace dorvem {

namespace {

void ShowMessageBox(const ErrorReportBox& report) {
  QMessageBox box(QMessageBox::Critical, report.title, report.text, QMessageBox::Ok);
  // A plain "OK" button, without the style's button icon.
  if (QAbstractButton* ok = box.button(QMessageBox::Ok)) ok->setIcon(QIcon());
  box.exec();
}

ErrorReportSink& Sink() {
  static ErrorReportSink sink = ShowMessageBox;
  return sink;
}

QString DecodeMessage(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) return text;
  const locale::CodePage& cp = locale::CodePage::Get(locale::kDefaultCodePage);
  text.clear();
  for (unsigned char b : bytes) text += QChar(cp.Decode(b));
  return text;
}

}  // namespace

ErrorReportSink SetErrorReportSink(ErrorReportSink sink) {
  ErrorReportSink previous = std::move(Sink());
  Sink() = sink ? std::move(sink) : ErrorReportSink(ShowMessageBox);
  return previous;
}

QString ApplicationTitle() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString ReportText(std::string_view message) {
  return DecodeMessage(ErrorReportText(message));
}

void ReportException(std::exception_ptr error) noexcept {
  if (!error) return;
  try {
    std::string message;
    try {
      std::rethrow_exception(error);
    } catch (const EAbort&) {
      return;
    } catch (const std::exception& e) {
      message = e.what();
    } catch (...) {
      message = "Unknown exception";
    }
    Sink()(ErrorReportBox{ApplicationTitle(), ReportText(message)});
  } catch (...) {
    // Nothing is left to report a failing report to.
  }
}

}  // namespace dorvem
