#include "app/window_memory.h"

#include <QFileInfo>
#include <QSettings>

namespace trovlin::app {
namespace {

const QString kLogFolder = QStringLiteral("folders/log");
const QString kCsvFolder = QStringLiteral("folders/csv");
const QString kRecentLogs = QStringLiteral("recentLogs");
const QString kCsvEncoding = QStringLiteral("csv/encoding");
const QString kDoubleQuotes = QStringLiteral("csv/doubleQuotes");
const QString kSkipEmptyRows = QStringLiteral("csv/skipEmptyRows");
const QString kProtectFormulas = QStringLiteral("csv/protectFormulas");
const QString kFirstAnswer = QStringLiteral("items/firstAnswer");
const QString kRemoveStars = QStringLiteral("run/removeStars");
const QString kHalfWidth = QStringLiteral("run/halfWidth");
const QString kGeometry = QStringLiteral("window/geometry");
const QString kSize = QStringLiteral("window/size");

QString FolderOf(const QString& file) { return QFileInfo(file).absolutePath(); }

}  // namespace

std::unique_ptr<QSettings> WindowMemory::Store() {
  return std::make_unique<QSettings>(QSettings::UserScope, QStringLiteral("Trovlin"), QStringLiteral("Trovlin"));
}

QString WindowMemory::LogFolder() const { return Store()->value(kLogFolder).toString(); }

QString WindowMemory::CsvFolder() const { return Store()->value(kCsvFolder).toString(); }

void WindowMemory::KeepLogFolder(const QString& file) { Store()->setValue(kLogFolder, FolderOf(file)); }

void WindowMemory::KeepCsvFolder(const QString& file) { Store()->setValue(kCsvFolder, FolderOf(file)); }

QStringList WindowMemory::RecentLogs() const {
  QStringList logs = Store()->value(kRecentLogs).toStringList();
  logs.removeAll(QString());
  while (logs.size() > kMaxRecentLogs) logs.removeLast();
  return logs;
}

void WindowMemory::AddRecentLog(const QString& path) {
  QStringList logs = RecentLogs();
  logs.removeAll(path);
  logs.prepend(path);
  while (logs.size() > kMaxRecentLogs) logs.removeLast();
  Store()->setValue(kRecentLogs, logs);
}

void WindowMemory::RemoveRecentLog(const QString& path) {
  QStringList logs = RecentLogs();
  logs.removeAll(path);
  Store()->setValue(kRecentLogs, logs);
}

void WindowMemory::ReadCsvOptions(ConversionSettings& settings, bool& firstAnswer) const {
  const auto store = Store();
  const int encoding = store->value(kCsvEncoding, static_cast<int>(settings.csvEncoding)).toInt();
  if (encoding >= 0 && encoding <= static_cast<int>(CsvEncoding::Utf8Bom)) {
    settings.csvEncoding = static_cast<CsvEncoding>(encoding);
  }
  const bool doubleQuotes = store->value(kDoubleQuotes, settings.quoteStyle == QuoteStyle::Double).toBool();
  settings.quoteStyle = doubleQuotes ? QuoteStyle::Double : QuoteStyle::Apostrophe;
  settings.skipEmptyRows = store->value(kSkipEmptyRows, settings.skipEmptyRows).toBool();
  settings.protectFormulas = store->value(kProtectFormulas, settings.protectFormulas).toBool();
  firstAnswer = store->value(kFirstAnswer, firstAnswer).toBool();
}

void WindowMemory::KeepCsvOptions(const ConversionSettings& settings, bool firstAnswer) {
  const auto store = Store();
  store->setValue(kCsvEncoding, static_cast<int>(settings.csvEncoding));
  store->setValue(kDoubleQuotes, settings.quoteStyle == QuoteStyle::Double);
  store->setValue(kSkipEmptyRows, settings.skipEmptyRows);
  store->setValue(kProtectFormulas, settings.protectFormulas);
  store->setValue(kFirstAnswer, firstAnswer);
}

void WindowMemory::ReadRunOptions(bool& removeStars, bool& halfWidth) const {
  const auto store = Store();
  removeStars = store->value(kRemoveStars, true).toBool();
  halfWidth = store->value(kHalfWidth, true).toBool();
}

void WindowMemory::KeepRunOptions(bool removeStars, bool halfWidth) {
  const auto store = Store();
  store->setValue(kRemoveStars, removeStars);
  store->setValue(kHalfWidth, halfWidth);
}

QByteArray WindowMemory::Geometry() const { return Store()->value(kGeometry).toByteArray(); }

void WindowMemory::KeepGeometry(const QByteArray& geometry) { Store()->setValue(kGeometry, geometry); }

QSize WindowMemory::Size() const { return Store()->value(kSize).toSize(); }

void WindowMemory::KeepSize(const QSize& size) { Store()->setValue(kSize, size); }

void WindowMemory::Clear() { Store()->clear(); }

}  // namespace trovlin::app
