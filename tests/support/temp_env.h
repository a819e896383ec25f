// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>

namespace parlatone::testing {

// A fresh HOME with its own XDG folders for one test; the previous
// environment comes back when it goes out of scope.
class TempUserEnvironment {
 public:
  TempUserEnvironment();
  ~TempUserEnvironment();
  TempUserEnvironment(const TempUserEnvironment&) = delete;
  TempUserEnvironment& operator=(const TempUserEnvironment&) = delete;

  QString Home() const { return dir_.path(); }
  QString ConfigHome() const { return dir_.path() + QStringLiteral("/config"); }

 private:
  QTemporaryDir dir_;
  std::map<QByteArray, std::pair<bool, QByteArray>> saved_;
};

// Writes bytes to a file, creating its folder; fails the test on error.
void WriteFileBytes(const QString& path, const QByteArray& bytes);
// The same for `name` inside `dir`; returns the path.
QString FileIn(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);
QByteArray ReadFileBytes(const QString& path);
// The names in a folder, files and folders, hidden ones too, in name order.
QStringList EntriesIn(const QString& folder);

}  // namespace parlatone::testing
