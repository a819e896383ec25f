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

QJsonObject RectJson(const QRect& rect) {
  return {{u"x"_s, rect.x()},
          {u"y"_s, rect.y()},
          {u"width"_s, rect.width()},
          {u"height"_s, rect.height()}};
}

QRect RectFrom(const QJsonObject& json) {
  return {json.value(u"x"_s).toInt(), json.value(u"y"_s).toInt(), json.value(u"width"_s).toInt(),
          json.value(u"height"_s).toInt()};
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
  const QJsonObject main = json.value(u"mainWindow"_s).toObject();
  state.main_window = RectFrom(main);
  state.main_maximized = main.value(u"maximized"_s).toBool();
  const QJsonObject registration = json.value(u"registrationWindow"_s).toObject();
  state.registration_window =
      QSize(registration.value(u"width"_s).toInt(), registration.value(u"height"_s).toInt());
  return state;
}

bool WriteEditorState(const QString& path, const EditorState& state) {
  if (path.isEmpty()) {
    return false;
  }
  QJsonObject main = RectJson(state.main_window);
  main.insert(u"maximized"_s, state.main_maximized);
  const QJsonObject json{
      {u"recentFiles"_s, QJsonArray::fromStringList(state.recent_files)},
      {u"mainWindow"_s, main},
      {u"registrationWindow"_s, QJsonObject{{u"width"_s, state.registration_window.width()},
                                            {u"height"_s, state.registration_window.height()}}}};
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
