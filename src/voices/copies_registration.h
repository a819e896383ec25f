// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace parlatone {

class Operator;
class RegistrationSession;

// A copy that a conversion wrote of a file registration refused.
struct ConvertedCopy {
  QString output;   // full path
  QString name;     // its file name
  QString comment;  // the source's stem when the name had to change; else empty
};

// Registering converted copies of files refused for their format or name:
// where the copies go, and what becomes of them once written. The window
// runs the conversion in between and shows its progress.
class CopiesRegistration {
 public:
  // The copies go to the sound folder last used, unless that is where the
  // sources are (a copy named like its source would be refused there). That
  // folder may belong to other work, so the operator is told which it is
  // and may choose another (`choose_folder`, given the folder to start in,
  // returns the one chosen or nothing) before anything is written. Nothing
  // when the operator cancelled.
  static std::optional<CopiesRegistration> Start(
      const QStringList& sources, const QString& sound_folder, Operator& op,
      const std::function<QString(const QString& start)>& choose_folder);

  const QString& Folder() const { return folder_; }

  // Registers the copies with their original names as comments; the copies
  // that were not registered are removed, but never a file the folder held
  // before. The last slot filled, or -1.
  int Register(RegistrationSession& session, const QList<ConvertedCopy>& copies,
               Operator& op) const;

 private:
  explicit CopiesRegistration(QString folder);
  QString folder_;
  // What the folder held before: a file the conversion replaced is not one
  // of its copies, and stays whatever becomes of it.
  QStringList held_before_;
};

}  // namespace parlatone
