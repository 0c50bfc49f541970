#include "media/mci_notify.h"

#include <QCoreApplication>

namespace dorvem::mci {

QEvent::Type MciNotifyEvent::EventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

void PostNotice(MciCallback callback, MCIDEVICEID device, std::uint32_t outcome) {
  if (callback != nullptr)
    QCoreApplication::postEvent(callback, new MciNotifyEvent(device, outcome));
}

}  // namespace dorvem::mci
