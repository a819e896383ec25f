// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/editor_state.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/file_io.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView kMainKey = u"mainWindowGeometry";
constexpr QStringView kRegistrationKey = u"registrationWindowGeometry";

QByteArray GeometryFrom(const QJsonObject& json, QStringView key) {
  return QByteArray::fromBase64(json.value(key).toString().toLatin1());
}

}  // namespace

EditorState ReadEditorState(const QString& path) {
  EditorState state;
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
    return state;
  }
  const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
  for (const QJsonValue& recent : json.value(u"recentFiles"_s).toArray()) {
    if (recent.isString() && !recent.toString().isEmpty() &&
        state.recent_files.size() < kMaxRecentFiles) {
      state.recent_files << recent.toString();
    }
  }
  state.main_geometry = GeometryFrom(json, kMainKey);
  state.registration_geometry = GeometryFrom(json, kRegistrationKey);
  return state;
}

bool WriteEditorState(const QString& path, const EditorState& state) {
  if (path.isEmpty()) {
    return false;
  }
  const QJsonObject json{
      {u"recentFiles"_s, QJsonArray::fromStringList(state.recent_files)},
      {kMainKey.toString(), QString::fromLatin1(state.main_geometry.toBase64())},
      {kRegistrationKey.toString(), QString::fromLatin1(state.registration_geometry.toBase64())}};
  QDir().mkpath(QFileInfo(path).absolutePath());
  return WriteFileAtomically(path, QJsonDocument(json).toJson(QJsonDocument::Indented)).ok;
}

void RememberRecentFile(EditorState& state, const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  state.recent_files.removeAll(absolute);
  state.recent_files.prepend(absolute);
  while (state.recent_files.size() > kMaxRecentFiles) {
    state.recent_files.removeLast();
  }
}

}  // namespace parlatone
