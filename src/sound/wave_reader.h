// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

#include "core/operator.h"
#include "sound/sound_info.h"

class QIODevice;

namespace parlatone {

struct SoundProbe;

// Where the parts of a RIFF WAVE file lie, as found by walking its chunks.
struct WaveLayout {
  enum class Status {
    kOk,
    kNotRiffWave,  // no RIFF chunk of form "WAVE" at the start
    kNoFormat,     // no "fmt " chunk inside the RIFF chunk
  };
  Status status = Status::kNotRiffWave;
  int64_t format_offset = 0;  // body of the "fmt " chunk
  uint32_t format_size = 0;   // as the chunk header states it
  QByteArray format_body;     // its first bytes (at most 18), as far as the file holds them
  // The "data" chunk after the format chunk, when there is one; its size is
  // cut to what the file really holds.
  std::optional<int64_t> data_offset;
  int64_t data_size = 0;
  int64_t data_declared_size = 0;  // as the chunk header states it
  // The file ends before the end its headers declare: a chunk or a chunk
  // header runs past it. Tells a copy cut short from a file without data.
  bool cut_short = false;
};

// Walks the chunks of the RIFF chunk at the start of the device: every chunk
// is an id, a 32-bit little-endian size and a body padded to even length.
// The walk never leaves the RIFF chunk nor the file, whatever sizes the
// headers claim.
WaveLayout WalkWave(QIODevice& device);

// The walk over the first bytes of a file of `file_size` bytes; `read_more`
// serves what lies beyond them (a chunk behind a long one).
WaveLayout WalkWave(const QByteArray& head, int64_t file_size,
                    const std::function<QByteArray(int64_t offset, int64_t size)>& read_more);

// How many bytes of a file are read at once: what the byte-level header
// check looks at, which holds the chunk headers of nearly every file; the
// walk reads on only for a chunk behind a long one.
inline constexpr int64_t kWaveHeadBytes = 512;

// The format fields from a "fmt " chunk body (at most 18 bytes are used;
// missing bytes read as 0).
SoundInfo FormatFromChunk(const QByteArray& body);

// Reads the format of a sound file for the series `mode`: the MP3 reader in
// the MP3 series, the WAVE reader otherwise. Shows its own messages (2600 to
// 2604) through the operator; on false the record means nothing.
//
// Beyond the format chunk, a WAVE file must be one a device can play and
// whose playing time can be measured: PCM (format tag 1), one or two
// channels, a byte rate, and a data chunk (refused with 2603, 2602, or the
// cut-file text when the file ends early). An MP3 file must be MPEG-1 or
// MPEG-2 Layer III as the decoder reads its frames, whatever the header
// scan found (2603).
CheckResult ReadSoundInfo(const QString& path, int mode, SoundInfo& info);
// The same over a file already probed: no second read.
CheckResult ReadSoundInfo(const SoundProbe& probe, int mode, SoundInfo& info);

// The byte-level check of a WAVE header against what the devices play:
// "RIFF", a "fmt " within the first 255 bytes, mono (unless stereo files are
// accepted), 8000 to 44100 Hz in the devices' steps, 8 or 16 bits, and a
// "data" chunk that also starts within the first 255 bytes. Nothing when the
// file cannot be read: the caller treats that as a failure of its own.
std::optional<bool> IsSupportedWaveHeader(const QString& path, bool stereo_accepted);
bool IsSupportedWaveHeaderBytes(const QByteArray& first_bytes, bool stereo_accepted);

// The same rules applied to the format chunk the reader found by walking
// the chunks. The byte-level check takes the first "fmt " bytes it meets,
// which a chunk before the real one (a LIST text) may hold; registration
// asks both, so that what it accepts is what the device reads.
bool IsSupportedWaveFormat(const SoundInfo& info, bool stereo_accepted);

// The text shown for a sound file that ends before its data does.
QString TruncatedSoundText();

}  // namespace parlatone
