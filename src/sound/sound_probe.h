// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

#include "sound/sound_file.h"
#include "sound/wave_reader.h"

namespace parlatone {

// What the decoder makes of an MP3 file's frames.
struct Mp3Stream {
  bool decodable = false;  // libmpg123 found frames it plays
  int version = 0;         // 1 = MPEG-1, 2 = MPEG-2, 25 = MPEG-2.5
  int layer = 0;           // 1, 2 or 3
  int64_t length_ms = -1;  // the decoded length, without the encoder's padding
};

// One look at a sound file: opened once, its first bytes read once, and
// from them what the reader, the byte-level header check and the length
// need. Registration, the loader and `info` ask everything of a file through
// one probe.
struct SoundProbe {
  SoundFile::Status status = SoundFile::Status::kUnreadable;
  int64_t size = 0;
  QByteArray head;    // WAVE: the first kWaveHeadBytes; MP3: the first kMp3ScanBytes
  WaveLayout layout;  // WAVE files
  Mp3Stream mp3;      // MP3 files

  bool IsOpen() const { return status == SoundFile::Status::kOpen; }
};

SoundProbe ProbeWaveFile(const QString& path);
// A whole WAVE file held in memory (tests and fuzzers).
SoundProbe ProbeWaveBytes(const QByteArray& bytes);
SoundProbe ProbeMp3File(const QString& path);
// The WAVE or the MP3 probe as the series `mode` reads its files.
SoundProbe ProbeSoundFile(const QString& path, int mode);

// The playing length in milliseconds: for a WAVE file the data chunk's bytes
// (as far as the file holds them) over the byte rate, for an MP3 file the
// decoded length. Nothing when it cannot be measured.
std::optional<int64_t> ProbedLengthMs(const SoundProbe& probe, int mode);

}  // namespace parlatone
