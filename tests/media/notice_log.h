// NoticeLog: a QObject that receives the media layer's completion notices
// and keeps their outcomes, for tests that play real pipelines.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QObject>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/mci_notify.h"

namespace dorvem::testing {

class NoticeLog : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() != mci::MciNotifyEvent::EventType()) return QObject::event(e);
    outcomes.push_back(static_cast<mci::MciNotifyEvent*>(e)->Outcome());
    return true;
  }
  // Runs the event loop until `count` notices have come, for at most a
  // generous bound (the pipelines render faster than real time).
  bool WaitFor(std::size_t count) {
    QDeadlineTimer deadline(60000);
    while (outcomes.size() < count && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 100);
    return outcomes.size() >= count;
  }
  std::vector<std::uint32_t> outcomes;
};

}  // namespace dorvem::testing
