// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace parlatone {

// What the tools room asked of the system and what it decided, for a run
// that went wrong on someone else's machine. Silent unless switched on:
// QT_LOGGING_RULES="parlatone.tools.debug=true".
Q_DECLARE_LOGGING_CATEGORY(ToolsLog)

}  // namespace parlatone
