#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include "core/series.h"

namespace parlatone {

class Operator;

// The file and folder choosers. Windows reach them through this interface so
// that tests can answer them.
class Choosers {
 public:
  virtual ~Choosers() = default;

  // One existing file, its full path. Cancel: nothing.
  virtual QString ChooseOpenFile(QWidget* owner, const FileFilter& filter,
                                 const QString& initial_folder, const QString& title) = 0;
  // Existing files, their full paths in the order the dialog gives them,
  // as many as the operator chose. Cancel: none.
  virtual QStringList ChooseOpenFiles(QWidget* owner, const FileFilter& filter,
                                      const QString& initial_folder, const QString& title) = 0;

  // A file to write. The path must end in the default extension (three
  // characters, any case), else message 2050 and nothing.
  virtual QString ChooseSaveFile(QWidget* owner, const FileFilter& filter,
                                 const QString& initial_folder, const QString& default_extension,
                                 const QString& title) = 0;

  virtual QString ChooseFolder(QWidget* owner, const QString& title,
                               const QString& initial_folder) = 0;

  // One file name in an open chooser that also takes a name not yet in use,
  // for a file to be read or made (the sound tools' boxes). Preset with
  // `initial` (a file or a folder). Cancel: nothing. Without an override it
  // is the one-file open chooser.
  virtual QString ChooseFileName(QWidget* owner, const FileFilter& filter, const QString& initial,
                                 const QString& title) {
    return ChooseOpenFile(owner, filter, initial, title);
  }
};

// Qt's dialogs.
class QtChoosers : public Choosers {
 public:
  explicit QtChoosers(Operator& op) : op_(op) {}
  QString ChooseOpenFile(QWidget* owner, const FileFilter& filter, const QString& initial_folder,
                         const QString& title) override;
  QStringList ChooseOpenFiles(QWidget* owner, const FileFilter& filter,
                              const QString& initial_folder, const QString& title) override;
  QString ChooseSaveFile(QWidget* owner, const FileFilter& filter, const QString& initial_folder,
                         const QString& default_extension, const QString& title) override;
  QString ChooseFolder(QWidget* owner, const QString& title,
                       const QString& initial_folder) override;
  QString ChooseFileName(QWidget* owner, const FileFilter& filter, const QString& initial,
                         const QString& title) override;

 private:
  Operator& op_;
};

// The rule the save chooser applies to what the dialog returned, apart from
// the dialog: the extension test. And the filter as the dialog shows it: the
// description without patterns of its own, then the patterns once
// ("ParlatoneEditorファイル (*.wpj *.wpg)").
QString DialogFilter(const FileFilter& filter);
QString CheckSaveExtension(const QString& path, const QString& default_extension, Operator& op);

}  // namespace parlatone
