// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "card/card_info.h"
#include "core/progress_sink.h"
#include "core/series.h"

namespace parlatone {

class Project;

enum class CardMakeOutcome {
  kMade,               // every file is in the target folder
  kNoSound,            // no sound file registered
  kMissingSound,       // a voice was kept without its sound file
  kNoPrograms,         // no channel plays anything (the window closes)
  kCheckFailed,        // a card information field failed its check
  kNoCardFolder,       // CardPath is not an existing folder (the window closes)
  kDeclined,           // the operator kept the existing target folder
  kControlFileFailed,  // the control file could not be written
  kGatherFailed,       // sound files could not be gathered; the target is untouched
  kCopyFailed,         // files are missing from the target folder
};

struct CardMakeResult {
  CardMakeOutcome outcome = CardMakeOutcome::kMade;
  bool close_window = false;  // the card data window closes itself
  CardCheckFailure failure;   // where a failed check points
  QString target_folder;
  QStringList failed_files;  // names that did not make it
};

// True when some channel's first slot holds a voice: whether the control
// file gets its program section.
bool AnyChannelProgrammed(const Project& project);

// The temporary save: the whole project, card information included, in the
// control file format under a name of the operator's choosing. The chooser's
// file type by series.
FileFilter TemporarySaveFilter(int mode);
// Writes the project (which already holds the stored card information) to
// the path; on success, after a short pause, notices 2051 and clears the
// edited flags; on failure, 2511 and the flags stay.
bool TemporarySave(Project& project, const QString& path, Operator& op);

// Makes the card data of the project, which holds the stored card
// information: the checks (every voice has its sound file), the format
// warning, the work folder emptied, the replace question, the control file,
// the sound files gathered and then copied into the target folder, the
// closing notice. Pauses (800 ms after the control file, 100 ms after each
// copied file) and pending events go through the operator, progress to
// `progress` when given. Clears the PageEdited flags once the making itself
// ran, whatever its outcome. `next_step` follows the closing notice: where
// the operator writes the folder onto a card.
CardMakeResult MakeCardData(Project& project, const QString& work_folder, Operator& op,
                            const QString& next_step = {}, const ProgressSink& progress = {});

}  // namespace parlatone
