// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/text.h"

namespace parlatone {
namespace {

constexpr char16_t kAppFolder[] = u"parlatone-editor";

QString UserFolder(QStandardPaths::StandardLocation location) {
  QString base = QStandardPaths::writableLocation(location);
  if (base.isEmpty()) {
    base = QDir::homePath();
  }
  return JoinPath(QDir::toNativeSeparators(base), QString::fromUtf16(kAppFolder));
}

QString ExecutableFolder() {
  if (QCoreApplication::instance() != nullptr) {
    return QCoreApplication::applicationDirPath();
  }
#ifdef Q_OS_LINUX
  // Without an application object (a library test, a fuzzer) the program's
  // folder is still known to the system.
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
#else
  return QDir::currentPath();
#endif
}

}  // namespace

bool IsPlainFileName(const QString& name) {
  if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..")) {
    return false;
  }
  return !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QChar(u'\0'));
}

QString JoinPath(const QString& folder, const QString& name) {
  QString joined = folder;
  while (!joined.isEmpty() && IsPathSeparator(joined.back())) {
    joined.chop(1);
  }
  QString tail = name;
  while (!tail.isEmpty() && IsPathSeparator(tail.front())) {
    tail.remove(0, 1);
  }
  return joined + QDir::separator() + tail;
}

QString ShippedFilePath(const QString& file_name) {
  const QString beside = JoinPath(ExecutableFolder(), file_name);
  if (QFileInfo::exists(beside)) {
    return QDir::toNativeSeparators(beside);
  }
  // An installed tree relative to the executable (bin/../share/...), which
  // also holds for a package unpacked elsewhere. A file missing there is
  // named there too, not in the prefix the program was built for.
  const QString data_folder =
      QDir::cleanPath(ExecutableFolder() + u'/' + QStringLiteral(PARLATONE_RELATIVE_DATA_DIR));
  const QString relative = data_folder + u'/' + file_name;
  if (QFileInfo::exists(relative) || QFileInfo(data_folder).isDir()) {
    return QDir::toNativeSeparators(relative);
  }
  return QDir::toNativeSeparators(
      JoinPath(QStringLiteral(PARLATONE_INSTALLED_DATA_DIR), file_name));
}

QString GuideFilePath(UiLanguage language) {
  // Beside the executable in a build tree, in the documentation folder
  // (bin/../share/doc/parlatone-editor) once installed.
  const QString name = language == UiLanguage::kEnglish ? QStringLiteral("guide.en.md")
                                                        : QStringLiteral("guide.ja.md");
  const QString beside = JoinPath(ExecutableFolder(), name);
  if (QFileInfo::exists(beside)) {
    return QDir::toNativeSeparators(beside);
  }
  return QDir::toNativeSeparators(QDir::cleanPath(
      ExecutableFolder() + u'/' + QStringLiteral(PARLATONE_RELATIVE_DOC_DIR) + u'/' + name));
}

QString DefaultCardPath() {
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) {
    documents = QDir::homePath();
  }
  return JoinPath(QDir::toNativeSeparators(documents), QStringLiteral("ParlatoneEditor CardData"));
}

AppPaths ResolveAppPaths() {
  AppPaths paths;
  paths.settings_file = JoinPath(UserFolder(QStandardPaths::GenericConfigLocation),
                                 QStringLiteral("ParlatoneEditorV3.ini"));
  paths.work_folder =
      JoinPath(UserFolder(QStandardPaths::GenericCacheLocation), QStringLiteral("Temp"));
  paths.element_file = ShippedFilePath(QStringLiteral("elementPT.elm"));
  paths.licence_file = ShippedFilePath(QStringLiteral("kyodaku.txt"));
  paths.release_file = ShippedFilePath(QStringLiteral("Release.txt"));
  // Kept apart from the settings file, whose keys other tools read too.
  paths.state_file = JoinPath(UserFolder(QStandardPaths::GenericConfigLocation),
                              QStringLiteral("EditorState.json"));
  paths.recovery_file =
      JoinPath(UserFolder(QStandardPaths::GenericCacheLocation), QStringLiteral("Recovery"));
  paths.guide_file = GuideFilePath();
  paths.levels_folder =
      JoinPath(UserFolder(QStandardPaths::GenericCacheLocation), QStringLiteral("Levels"));
  return paths;
}

}  // namespace parlatone
