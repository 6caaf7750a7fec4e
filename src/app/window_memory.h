// What the window remembers from one session to the next, in the user's
// settings (QSettings, organisation and application "Trovlin"): the folders
// of the last log and the last CSV, the logs loaded last, the CSV options
// and the window's geometry.
//
// Every call reads or writes the store at once, so two windows of one process
// (and a window made after another closed) see the same values. A value the
// store lacks or cannot read gives the window's default. Tests point the
// store at a folder of their own with QSettings::setPath.
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>

#include "common/conversion_settings.h"

class QSettings;

namespace trovlin::app {

class WindowMemory {
 public:
  static constexpr int kMaxRecentLogs = 8;

  // The folders the open and the save dialogs start in; "" when none.
  QString LogFolder() const;
  QString CsvFolder() const;
  // Each keeps the folder holding file.
  void KeepLogFolder(const QString& file);
  void KeepCsvFolder(const QString& file);

  // The logs loaded last, most recent first, at most kMaxRecentLogs.
  QStringList RecentLogs() const;
  void AddRecentLog(const QString& path);
  void RemoveRecentLog(const QString& path);

  // The CSV options of the 設定 menu (encoding, quoting, rows without
  // items) go into settings; firstAnswer is the item-discovery entry.
  void ReadCsvOptions(ConversionSettings& settings, bool& firstAnswer) const;
  void KeepCsvOptions(const ConversionSettings& settings, bool firstAnswer);

  // The two options of the 設定 menu a run reads: asterisks removed from
  // STN text, full width to half width for JOIS and PATOLIS. Both are on
  // until the user turns them off.
  void ReadRunOptions(bool& removeStars, bool& halfWidth) const;
  void KeepRunOptions(bool removeStars, bool halfWidth);

  QByteArray Geometry() const;
  void KeepGeometry(const QByteArray& geometry);
  // The window's size in device-independent pixels, which mean the same
  // under any scale factor; empty when none is kept.
  QSize Size() const;
  void KeepSize(const QSize& size);

  // Forgets everything.
  void Clear();

 private:
  static std::unique_ptr<QSettings> Store();
};

}  // namespace trovlin::app
