// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace parlatone {

class Operator;
class Project;

// The project as it stood, kept while it has unsaved changes so that a crash
// or a power cut costs seconds of work: a temporary save (every voice with
// its full path, the channels, the card information, the comments) with the
// series it was made in and, as its last line, a checksum of everything
// before, so that a file cut short is refused whole.

// The recovery file of a series: the base path with the series' temporary
// save extension, so that loading it finds the sounds as a temporary save
// does.
QString RecoveryFilePath(const QString& base, int mode);

// False when it cannot be written (nothing is left behind then) or when the
// project has no voice list (nothing worth keeping). `project_file` is the
// control or temporary save file the work came from or was last saved to
// (empty: none), so that a restored project still knows its name.
bool WriteRecoveryFile(const Project& project, const QString& path,
                       const QString& project_file = {});

struct RecoveryCheck {
  enum class State {
    kNone,         // no file
    kUsable,       // whole, and of the series in use
    kOtherSeries,  // whole, made in another series
    kDamaged,      // cut short or changed
  };
  State state = State::kNone;
  int mode = -1;         // the series it was made in, when it is whole
  QString project_file;  // the file the work came from, when it had one
};
RecoveryCheck CheckRecoveryFile(const QString& path, int current_mode);

// Loads a usable recovery file into the project, which then counts as
// edited (its changes are still unsaved). On false the project is as it was
// and the loader has said why.
bool RestoreRecoveryFile(Project& project, const QString& path, Operator& op);

}  // namespace parlatone
