// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace parlatone {

// What the sound room asked of the system and what it decided, for a run
// that went wrong on someone else's machine. Silent unless switched on:
// QT_LOGGING_RULES="parlatone.sound.debug=true".
Q_DECLARE_LOGGING_CATEGORY(SoundLog)

}  // namespace parlatone
