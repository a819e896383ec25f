// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace parlatone {

// What the card room asked of the system and what it decided, for a run
// that went wrong on someone else's machine. Silent unless switched on:
// QT_LOGGING_RULES="parlatone.card.debug=true".
Q_DECLARE_LOGGING_CATEGORY(CardLog)

}  // namespace parlatone
