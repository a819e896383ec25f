// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace parlatone {

class Project;

// The sum of the sizes of the registered sound files as they are on disk
// now; a file that cannot be measured adds nothing.
struct SoundTotal {
  int count = 0;
  qint64 bytes = 0;
};
SoundTotal TotalSoundSize(const Project& project);

// The card capacity a total needs: its text and its index in the Card list
// (-1 for an empty total). The MP3 series' cards are all of the "OTHER" kind.
struct SizeClass {
  QString text;
  int index = -1;
};
SizeClass SizeClassOf(qint64 total_bytes, int mode);

}  // namespace parlatone
