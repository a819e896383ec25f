// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <utility>

#include "core/file_io.h"

namespace parlatone {

class Project;

// Identifies the files this editor writes; the devices receive it as the
// sixth header line of every control file. Exactly 15 ASCII characters.
inline constexpr char kControlFileIdLine[] = "PTEDIT3J-KX3-01";
static_assert(sizeof(kControlFileIdLine) - 1 == 15);

// Writes the project as a control file (or temporary save file, the same
// format): Shift-JIS, CR LF after every line, the header, then the voices,
// the programs (only when programs_present), the owner details, the card
// information and the voice comments. A project without any voice record
// cannot be written. The file at the path is replaced only once the whole
// new file is on disk: a failed write leaves the old file as it was and no
// partial file behind. Shows no message; a failure carries the system's
// reason (none for a project without voices).
WriteResult WriteControlFile(const Project& project, const QString& path, bool programs_present,
                             const QDateTime& now = QDateTime::currentDateTime());

// A temporary save: the same file, with each voice's full path after the
// owner details ("SOUND=" lines, which the devices never see and earlier
// editors skip), so that it loads again wherever its sounds were registered
// from.
WriteResult WriteTemporarySaveFile(const Project& project, const QString& path,
                                   bool programs_present,
                                   const QDateTime& now = QDateTime::currentDateTime());

// The control file's text as it would be written, before encoding.
QString ControlFileText(const Project& project, bool programs_present, const QDateTime& now,
                        bool with_sound_paths = false);

// The "SOUND=" line of a temporary save: the voice number and the full path,
// percent-encoded UTF-8 (any path survives the code page and the line).
QString SoundPathLine(int voice, const QString& path);
// The voice number and path of such a line; nothing for any other line.
std::optional<std::pair<int, QString>> ParseSoundPathLine(const QString& line);

// True when any channel in use of the series has a first voice: what the
// card data window passes as programs_present.
bool AnyChannelInUse(const Project& project);

}  // namespace parlatone
