#include "gui/choosers.h"

#include <QFileDialog>
#include <QFileInfo>

#include "core/messages.h"
#include "core/operator.h"
#include "core/paths.h"
#include "core/text.h"

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
                                   const QString& initial_folder, const QString& default_extension,
                                   const QString& title) {
  return CheckSaveExtension(
      QFileDialog::getSaveFileName(owner, title, initial_folder, DialogFilter(filter)),
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

}  // namespace parlatone
