// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "core/operator.h"
#include "sound/sound_info.h"

namespace parlatone {

struct SoundProbe;

// The reader looks at no more than this many bytes from the start of a file.
inline constexpr int kMp3ScanBytes = 32761;

// Finds the first MPEG-1 or MPEG-2 Layer III frame header in the bytes, from
// offset 0 on with no skipping of tags, and reads version, bit rate (kbit/s,
// into BitsPerSample), sampling rate and mono from it. The first header that
// passes the sync, version and layer tests decides: a forbidden bit rate or
// sampling rate index in it gives nothing, as does running out of bytes.
std::optional<SoundInfo> ScanMp3Header(const QByteArray& bytes);

// Scans a probed file's first bytes. Refuses with 2603 when no usable header is
// found, or when the decoder does not play the file's frames as MPEG-1 or
// MPEG-2 Layer III (an MPEG-2.5 or Layer II file in which the scan took a
// byte pair of the compressed audio for a header), and 2604 when the file
// does not exist; an empty or unreadable file is refused without a reason.
CheckResult ReadMp3Header(const SoundProbe& probe, SoundInfo& info);

}  // namespace parlatone
