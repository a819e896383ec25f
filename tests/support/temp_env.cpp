// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/temp_env.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "support/sound_fixtures.h"

namespace parlatone::testing {
namespace {

const char* const kVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"};

}  // namespace

TempUserEnvironment::TempUserEnvironment() {
  EXPECT_TRUE(dir_.isValid());
  for (const char* name : kVariables) {
    saved_[name] = {qEnvironmentVariableIsSet(name), qgetenv(name)};
  }
  const QByteArray home = QFile::encodeName(dir_.path());
  qputenv("HOME", home);
  qputenv("XDG_CONFIG_HOME", home + "/config");
  qputenv("XDG_CACHE_HOME", home + "/cache");
  qputenv("XDG_DATA_HOME", home + "/data");
}

TempUserEnvironment::~TempUserEnvironment() {
  for (const auto& [name, value] : saved_) {
    if (value.first) {
      qputenv(name.constData(), value.second);
    } else {
      qunsetenv(name.constData());
    }
  }
}

void WriteFileBytes(const QString& path, const QByteArray& bytes) {
  ASSERT_TRUE(WriteBytes(path, bytes)) << path.toStdString();
}

QString FileIn(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  WriteFileBytes(path, bytes);
  return path;
}

QByteArray ReadFileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  return file.readAll();
}

QStringList EntriesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace parlatone::testing
