// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "core/operator.h"
#include "sound/sound_info.h"

namespace parlatone {

class Project;

// What the series settings say about accepting files, for one check or run.
struct AcceptanceRules {
  int mode = 0;
  bool stereo_accepted = false;
  int file_capacity = 0;  // capacity index of the MP3 series
  // The registration window offers to convert files refused for their
  // format or name; the command line does not.
  bool offer_conversion = false;

  static AcceptanceRules From(const Project& project);
};

// Whether a sound file of this format (and, when a path is given, of this
// name) may be registered for the series. The first refusal gives the
// reason: the name rules first (full-width, more than 12 bytes, forbidden
// characters), then stereo, then the series' bits and rates. The suffix (for
// a control file load: "stop reading") follows the series' refusal texts on a
// line of its own.
CheckResult CheckSoundFormat(const SoundInfo& info, const QString& path, const QString& suffix,
                             const AcceptanceRules& rules);

}  // namespace parlatone
