// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace parlatone {

// A text document shipped beside the program (the licence agreement, the
// release history) as the viewer shows it: read in code page 932, line by
// line, the lines joined with "\r\n". A file that is missing or cannot be
// read gives an empty text.
QString ReadTextDocument(const QString& path);

}  // namespace parlatone
