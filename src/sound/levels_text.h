// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "sound/sound_analysis.h"

namespace parlatone {

// "−18.2 LUFS / −0.3 dBFS"; "−∞" for what could not be measured.
QString LevelsText(const SoundLevels& levels);

}  // namespace parlatone
