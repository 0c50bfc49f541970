#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>
#include <QMetaObject>

#include "dictionary/paths.h"

namespace dorvem {

namespace {

// How long a later start waits for the running window's answer; a window
// that does not answer by then is taken for a hung one.
constexpr int kHandOverTimeoutMs = 5000;

}  // namespace

QString WindowServiceName(const QString& appId, const QString& dataFile) {
  QString path = QFileInfo(dataFile).canonicalFilePath();
  if (path.isEmpty()) path = dataFile;
  const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256);
  return appId + QStringLiteral(".data_") + QString::fromLatin1(hash.toHex().left(16));
}

TSingleInstance::TSingleInstance(const QString& appId, const TDictionaryOptions& options,
                                 QObject* parent)
    : QObject(parent),
      service_(WindowServiceName(
          appId, FileSystemPath(options.programFolder + QString::fromLatin1(kDataFileName)))),
      interface_(Interface(appId)) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || bus.interface() == nullptr) return;
  // The object first: a call may come as soon as the name is owned (it is
  // served once the event loop runs).
  registered_ =
      bus.registerObject(ObjectPath(), interface_, this, QDBusConnection::ExportScriptableSlots);
  if (!registered_) return;
  const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
      bus.interface()->registerService(service_, QDBusConnectionInterface::DontQueueService,
                                       QDBusConnectionInterface::DontAllowReplacement);
  if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) return;
  bus.unregisterObject(ObjectPath());
  registered_ = false;
  // The name is taken (or the bus refused it for another reason, in which
  // case the hand-over fails and this start opens its own window).
  anotherRuns_ = reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceNotRegistered;
}

TSingleInstance::~TSingleInstance() {
  if (!registered_) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterObject(ObjectPath());
  bus.unregisterService(service_);
}

bool TSingleInstance::HandOver(const QString& search, bool everything) const {
  QDBusMessage call =
      QDBusMessage::createMethodCall(service_, ObjectPath(), interface_, QStringLiteral("Show"));
  call << search << everything;
  const QDBusMessage reply =
      QDBusConnection::sessionBus().call(call, QDBus::Block, kHandOverTimeoutMs);
  return reply.type() == QDBusMessage::ReplyMessage;
}

void TSingleInstance::Show(const QString& search, bool everything) {
  // The caller ends at once; typing a long search must not hold it.
  QMetaObject::invokeMethod(
      this, [this, search, everything] { emit ShowRequested(search, everything); },
      Qt::QueuedConnection);
}

}  // namespace dorvem
