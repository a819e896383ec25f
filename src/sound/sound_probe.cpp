// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_probe.h"

#include "core/series.h"
#include "sound/decoders.h"
#include "sound/mp3_header.h"

namespace parlatone {

SoundProbe ProbeWaveFile(const QString& path) {
  SoundFile file(path);
  SoundProbe probe;
  probe.status = file.status();
  if (!file.IsOpen()) {
    return probe;
  }
  probe.size = file.size();
  probe.head = file.Read(0, kWaveHeadBytes);
  probe.layout = WalkWave(probe.head, probe.size, [&file](int64_t offset, int64_t size) {
    return file.Read(offset, size);
  });
  return probe;
}

SoundProbe ProbeWaveBytes(const QByteArray& bytes) {
  SoundProbe probe;
  probe.status = SoundFile::Status::kOpen;
  probe.size = bytes.size();
  probe.head = bytes.left(kWaveHeadBytes);
  probe.layout = WalkWave(probe.head, probe.size, [&bytes](int64_t offset, int64_t size) {
    return offset < bytes.size() ? bytes.mid(offset, size) : QByteArray();
  });
  return probe;
}

SoundProbe ProbeMp3File(const QString& path) {
  auto file = std::make_shared<SoundFile>(path);
  SoundProbe probe;
  probe.status = file->status();
  if (!file->IsOpen()) {
    return probe;
  }
  probe.size = file->size();
  probe.head = file->Read(0, kMp3ScanBytes);
  if (!probe.head.isEmpty()) {
    probe.mp3 = MeasureMp3(file, probe.head);
  }
  return probe;
}

SoundProbe ProbeSoundFile(const QString& path, int mode) {
  return IsMp3Series(mode) ? ProbeMp3File(path) : ProbeWaveFile(path);
}

std::optional<int64_t> ProbedLengthMs(const SoundProbe& probe, int mode) {
  if (!probe.IsOpen()) {
    return std::nullopt;
  }
  if (IsMp3Series(mode)) {
    if (!probe.mp3.decodable || probe.mp3.length_ms < 0) {
      return std::nullopt;
    }
    return probe.mp3.length_ms;
  }
  const WaveLayout& layout = probe.layout;
  if (layout.status != WaveLayout::Status::kOk || !layout.data_offset) {
    return std::nullopt;
  }
  const SoundInfo format = FormatFromChunk(layout.format_body);
  if (format.ByteRate == 0) {
    return std::nullopt;
  }
  return layout.data_size * 1000 / format.ByteRate;
}

}  // namespace parlatone
