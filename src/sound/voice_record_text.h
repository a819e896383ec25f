// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "core/project.h"
#include "sound/sound_info.h"

namespace parlatone {

// The texts a registration puts into a voice record, as the registration
// window shows them and control files carry them.

// Rate in kHz with one to three decimals: "8.0KHz", "11.025KHz", "22.05KHz".
QString SampleRateText(uint32_t sample_rate);

// Milliseconds as seconds with exactly three decimals: "12.345", "-0.001".
QString SecondsText(qint64 milliseconds);

// "1.0" for MPEG-1, "2.0" for MPEG-2, else empty.
QString MpegText(uint16_t mpeg_version);

// "3" for Layer III, "2" for II, "1" for I, else empty.
QString LayerText(uint16_t mpeg_layer);

// A complete voice record for a file read as series `mode` reads it.
VoiceRecord MakeVoiceRecord(const QString& path, const SoundInfo& info, qint64 length_ms,
                            qint64 bytes, int mode);

}  // namespace parlatone
