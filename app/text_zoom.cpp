#include "app/text_zoom.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <array>

namespace dorvem {

namespace {

constexpr std::array<int, 13> kSteps = {50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
const QString kKey = QStringLiteral("explanation/textZoomPercent");

}  // namespace

int LimitTextZoom(int percent) {
  return std::clamp(percent, kTextZoomMin, kTextZoomMax);
}

int LargerTextZoom(int percent) {
  const auto next = std::upper_bound(kSteps.begin(), kSteps.end(), percent);
  return next == kSteps.end() ? kTextZoomMax : *next;
}

int SmallerTextZoom(int percent) {
  const auto next = std::lower_bound(kSteps.begin(), kSteps.end(), percent);
  return next == kSteps.begin() ? kTextZoomMin : *(next - 1);
}

int ReadTextZoom(const std::string& settingsFile) {
  if (settingsFile.empty() ||
      !QFileInfo(QFile::decodeName(QByteArray::fromStdString(settingsFile))).isFile())
    return kTextZoomNormal;
  const QSettings settings(QFile::decodeName(QByteArray::fromStdString(settingsFile)),
                           QSettings::IniFormat);
  bool number = false;
  const int percent = settings.value(kKey).toInt(&number);
  return number ? LimitTextZoom(percent) : kTextZoomNormal;
}

bool WriteTextZoom(const std::string& settingsFile, int percent) {
  if (settingsFile.empty()) return false;
  const QString file = QFile::decodeName(QByteArray::fromStdString(settingsFile));
  if (!QDir().mkpath(QFileInfo(file).absolutePath())) return false;
  QSettings settings(file, QSettings::IniFormat);
  settings.setValue(kKey, LimitTextZoom(percent));
  settings.sync();
  return settings.status() == QSettings::NoError;
}

}  // namespace dorvem
