// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/choosers.h"

#include <QFileDialog>
#include <QFileInfo>

#include "core/cp932.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/paths.h"
#include "core/series.h"
#include "core/text.h"
#include "tools/fit_rules.h"

namespace parlatone {

using namespace Qt::StringLiterals;

QString DialogFilter(const FileFilter& filter) {
  QString patterns = filter.pattern;
  patterns.replace(u';', u' ');
  // The series' descriptions carry their patterns already, in the old
  // platform's form "(*.wpj;*.wpg)"; the dialog needs its own form, once.
  QString description = filter.description;
  const qsizetype open = description.lastIndexOf(u'(');
  if (open > 0 && description.endsWith(u')')) {
    description.truncate(open);
  }
  return description.trimmed() + u" ("_s + patterns + u")"_s;
}

QString CheckSaveExtension(const QString& path, const QString& default_extension, Operator& op) {
  if (path.isEmpty()) {
    return {};
  }
  QString chosen = path;
  if (QFileInfo(chosen).suffix().isEmpty()) {
    chosen += u'.' + default_extension;
  }
  if (RightBytes(chosen, 3).compare(default_extension, Qt::CaseInsensitive) != 0) {
    ShowMessage(op, 2050, msg::kTitleCaution, MessageIcon::kExclamation);
    return {};
  }
  return chosen;
}

QString QtChoosers::ChooseOpenFile(QWidget* owner, const FileFilter& filter,
                                   const QString& initial_folder, const QString& title) {
  return QFileDialog::getOpenFileName(owner, title, initial_folder, DialogFilter(filter));
}

QStringList QtChoosers::ChooseOpenFiles(QWidget* owner, const FileFilter& filter,
                                        const QString& initial_folder, const QString& title) {
  // The old platform's chooser returned its selection in a buffer of 1024
  // characters; nothing here needs that limit (registration checks every
  // file and the capacity itself), so every file chosen comes through.
  return QFileDialog::getOpenFileNames(owner, title, initial_folder, DialogFilter(filter));
}

QString QtChoosers::ChooseSaveFile(QWidget* owner, const FileFilter& filter,
                                   const QString& initial_folder, const QString& proposed_name,
                                   const QString& default_extension, const QString& title) {
  // The dialog takes a file name after the folder as the name it proposes.
  const QString start =
      proposed_name.isEmpty() ? initial_folder : JoinPath(initial_folder, proposed_name);
  return CheckSaveExtension(QFileDialog::getSaveFileName(owner, title, start, DialogFilter(filter)),
                            default_extension, op_);
}

QString QtChoosers::ChooseFolder(QWidget* owner, const QString& title,
                                 const QString& initial_folder) {
  return QFileDialog::getExistingDirectory(owner, title, initial_folder);
}

QString QtChoosers::ChooseFileName(QWidget* owner, const FileFilter& filter, const QString& initial,
                                   const QString& title) {
  QFileDialog dialog(owner, title);
  dialog.setObjectName(u"FileNameChooser"_s);
  // Any name in a folder: an output may not exist yet. Opening never asks
  // about replacing a file; the window asks that itself when it runs.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilter(DialogFilter(filter));
  const QFileInfo preset(initial);
  if (!initial.isEmpty() && preset.isDir()) {
    dialog.setDirectory(initial);
  } else if (!initial.isEmpty()) {
    dialog.setDirectory(preset.absolutePath());
    dialog.selectFile(preset.fileName());
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return {};
  }
  return dialog.selectedFiles().constFirst();
}

std::optional<FileKind> KindOfFilter(const FileFilter& filter) {
  const QStringList sound = FitSourcePatterns();
  for (const QString& entry : filter.pattern.split(u';', Qt::SkipEmptyParts)) {
    const QString pattern = entry.trimmed().toLower();
    if (sound.contains(pattern)) {
      return FileKind::kSound;
    }
    if (pattern.startsWith(u"*.") && IsProjectFileExtension(pattern.mid(2))) {
      return FileKind::kControl;
    }
    if (pattern == u"*.pdf") {
      return FileKind::kPdf;
    }
  }
  return std::nullopt;
}

QString FolderKeepingChoosers::StartFolder(const FileFilter& filter, const QString& asked) const {
  const std::optional<FileKind> kind = KindOfFilter(filter);
  if (!kind) {
    return asked;
  }
  const QString& kept = settings_.LastFolders[static_cast<size_t>(*kind)];
  return !kept.isEmpty() && QFileInfo(kept).isDir() ? kept : asked;
}

void FolderKeepingChoosers::Remember(const FileFilter& filter, const QString& chosen) {
  const std::optional<FileKind> kind = KindOfFilter(filter);
  if (!kind || chosen.isEmpty()) {
    return;
  }
  const QString folder = QFileInfo(chosen).absolutePath();
  QString& kept = settings_.LastFolders[static_cast<size_t>(*kind)];
  // The settings file is Shift-JIS: a folder it cannot spell would come back
  // as another path, so the last one it can spell stays.
  if (folder == kept || cp932::Decode(cp932::Encode(folder)) != folder) {
    return;
  }
  kept = folder;
  WriteSetting(settings_file_, QString(ini::kSystem), QString(LastFolderKey(*kind)), folder);
}

QString FolderKeepingChoosers::ChooseOpenFile(QWidget* owner, const FileFilter& filter,
                                              const QString& initial_folder, const QString& title) {
  QString chosen =
      dialogs_.ChooseOpenFile(owner, filter, StartFolder(filter, initial_folder), title);
  Remember(filter, chosen);
  return chosen;
}

QStringList FolderKeepingChoosers::ChooseOpenFiles(QWidget* owner, const FileFilter& filter,
                                                   const QString& initial_folder,
                                                   const QString& title) {
  QStringList chosen =
      dialogs_.ChooseOpenFiles(owner, filter, StartFolder(filter, initial_folder), title);
  if (!chosen.isEmpty()) {
    Remember(filter, chosen.constFirst());
  }
  return chosen;
}

QString FolderKeepingChoosers::ChooseSaveFile(QWidget* owner, const FileFilter& filter,
                                              const QString& initial_folder,
                                              const QString& proposed_name,
                                              const QString& default_extension,
                                              const QString& title) {
  QString chosen = dialogs_.ChooseSaveFile(owner, filter, StartFolder(filter, initial_folder),
                                           proposed_name, default_extension, title);
  Remember(filter, chosen);
  return chosen;
}

QString FolderKeepingChoosers::ChooseFolder(QWidget* owner, const QString& title,
                                            const QString& initial_folder) {
  return dialogs_.ChooseFolder(owner, title, initial_folder);
}

QString FolderKeepingChoosers::ChooseFileName(QWidget* owner, const FileFilter& filter,
                                              const QString& initial, const QString& title) {
  // A file already named (the box's own) is where the operator is working.
  const bool names_file = !initial.isEmpty() && !QFileInfo(initial).isDir();
  QString chosen = dialogs_.ChooseFileName(
      owner, filter, names_file ? initial : StartFolder(filter, initial), title);
  Remember(filter, chosen);
  return chosen;
}

}  // namespace parlatone
