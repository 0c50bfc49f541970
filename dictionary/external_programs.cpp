#include "dictionary/external_programs.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace dorvem {

namespace {

ExternalActions& Actions() {
  static ExternalActions actions{SystemOpenWithSystem, SystemStartProgram};
  return actions;
}

}  // namespace

ExternalActions SetExternalActions(ExternalActions actions) {
  ExternalActions previous = std::move(Actions());
  if (!actions.openWithSystem) actions.openWithSystem = SystemOpenWithSystem;
  if (!actions.startProgram) actions.startProgram = SystemStartProgram;
  Actions() = std::move(actions);
  return previous;
}

void SystemOpenWithSystem(const QString& file) {
  const QUrl url = QUrl::fromLocalFile(file);
  if (QDesktopServices::openUrl(url)) return;
  QProcess::startDetached(QStringLiteral("xdg-open"), {QString::fromUtf8(url.toEncoded())});
}

void SystemStartProgram(const QString& program, const QString& argument) {
  QProcess::startDetached(program, {argument});
}

void OpenWithSystem(const QString& file) {
  Actions().openWithSystem(file);
}

void StartProgram(const QString& program, const QString& argument) {
  Actions().startProgram(program, argument);
}

}  // namespace dorvem
