// TApplication: the application object. It runs the event loop and is the
// event-dispatch boundary of the application-wide error report: after each
// event has been delivered it reports the exception a guarded handler kept
// (handler_guard.h), and it catches and reports any exception that still
// reaches it, so that the program carries on after every error.
//
// Created once by the program's entry, before any window.
#pragma once

#include <QApplication>

namespace dorvem {

class TApplication : public QApplication {
  Q_OBJECT

 public:
  // Also registers the font substitutes of the window's fonts.
  TApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace dorvem
