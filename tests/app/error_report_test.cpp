// The application-wide error report: its text and title, and how
// exceptions leaving event handlers reach it while the program carries on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>

#include "app/error_report.h"
#include "dataset/host/db_errors.h"
#include "dataset/host/handler_guard.h"
#include "tests/app/report_recorder.h"

namespace dorvem {
namespace {

using testing::ReportRecorder;

// An object whose event handler raises `error` for every user event, either
// through the handler guard or straight through the toolkit.
class Raiser : public QObject {
 public:
  explicit Raiser(std::function<void()> raise, bool guarded = true)
      : raise_(std::move(raise)), guarded_(guarded) {}
  int handled = 0;

 protected:
  bool event(QEvent* e) override {
    if (e->type() != QEvent::User) return QObject::event(e);
    ++handled;
    if (guarded_)
      GuardHandler(raise_);
    else
      raise_();
    return true;
  }

 private:
  std::function<void()> raise_;
  bool guarded_;
};

void Send(QObject& target) {
  QEvent event(QEvent::User);
  QCoreApplication::sendEvent(&target, &event);
}

TEST(ErrorReportTest, FullStopIsAddedOnlyAfterCharactersSortingAfterIt) {
  const std::pair<std::string, QString> cases[] = {
      {"Ends in a letter", "Ends in a letter."},
      {"Ends in a full stop.", "Ends in a full stop."},
      {"Ends in a bracket (x)", "Ends in a bracket (x)"},
      {"Ends in an exclamation!", "Ends in an exclamation!"},
      {"Ends in a hyphen -", "Ends in a hyphen -"},
      {"Ends in a digit 7", "Ends in a digit 7."},
      {"Ends in a colon:", "Ends in a colon:."},
      {"Ends in a slash/", "Ends in a slash/."},
      {"Ends in a quote\"", "Ends in a quote\""},
      {"", ""},
      {"UTF-8 accent ő", QStringLiteral(u"UTF-8 accent ő.")},
      {"windows-1250 accent \xF5", QStringLiteral(u"windows-1250 accent ő.")},
  };
  ReportRecorder recorder;
  for (const auto& [message, shown] : cases) {
    recorder.reports.clear();
    Raiser raiser([&] { throw EDatabaseError(message); });
    Send(raiser);
    ASSERT_EQ(recorder.reports.size(), 1u) << message;
    EXPECT_EQ(recorder.reports[0].text, shown) << message;
    EXPECT_EQ(recorder.reports[0].title,
              QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
  }
}

TEST(ErrorReportTest, SilentAbortShowsNothingAndOtherThrowsAreReported) {
  ReportRecorder recorder;
  Raiser abort([] { throw EAbort(); });
  Send(abort);
  EXPECT_TRUE(recorder.reports.empty());
  Raiser odd([] { throw 42; });
  Send(odd);
  EXPECT_EQ(recorder.Texts(), QStringList{"Unknown exception."});
}

TEST(ErrorReportTest, HandlerErrorsAreReportedAfterTheEventAndTheLoopGoesOn) {
  ReportRecorder recorder;
  // The first error of an event ends its handling; a second is dropped.
  Raiser twice([] {
    GuardHandler([] { throw std::runtime_error("first"); });
    throw std::runtime_error("second");
  });
  Send(twice);
  EXPECT_EQ(recorder.Texts(), QStringList{"first."});

  // A posted event, dispatched by the event loop.
  recorder.reports.clear();
  Raiser posted([] { throw std::runtime_error("posted"); });
  QCoreApplication::postEvent(&posted, new QEvent(QEvent::User));
  QCoreApplication::postEvent(&posted, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  EXPECT_EQ(posted.handled, 2);
  EXPECT_EQ(recorder.Texts(), (QStringList{"posted.", "posted."}));

  // A handler that does not guard itself is still caught at the dispatch.
  recorder.reports.clear();
  Raiser unguarded([] { throw std::runtime_error("unguarded"); }, /*guarded=*/false);
  Send(unguarded);
  EXPECT_EQ(recorder.Texts(), QStringList{"unguarded."});

  // A button's click handler, connected through the guard.
  recorder.reports.clear();
  QPushButton button;
  QObject::connect(&button, &QPushButton::clicked,
                   [] { GuardHandler([] { throw std::runtime_error("clicked"); }); });
  button.click();
  QCoreApplication::processEvents();
  EXPECT_EQ(recorder.Texts(), QStringList{"clicked."});
}

TEST(ErrorReportTest, DefaultSinkShowsOneModalErrorBoxWithOk) {
  const ErrorReportSink saved = SetErrorReportSink(nullptr);
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  QString okText;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttons = static_cast<int>(box->buttons().size());
    okText = box->button(QMessageBox::Ok)->text();
    box->button(QMessageBox::Ok)->click();
  });
  ReportException(std::make_exception_ptr(EDatabaseError("Boxed")));
  SetErrorReportSink(saved);
  EXPECT_EQ(title, QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
  EXPECT_EQ(text, "Boxed.");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(okText.remove(u'&'), "OK");
}

}  // namespace
}  // namespace dorvem
