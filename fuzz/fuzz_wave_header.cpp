// SPDX-License-Identifier: GPL-3.0-or-later
// What registration accepts of a WAVE file's bytes (the reader, the series
// check and the byte-level header check together), for both stereo
// settings: whatever is accepted is one a device plays and whose playing
// time is known.
#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstdint>

#include "sound/sound_probe.h"
#include "sound/wave_reader.h"
#include "voices/registration.h"

namespace {

constexpr std::array<uint32_t, 7> kRates = {8000, 11025, 12800, 16000, 22050, 32000, 44100};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const bool mono_only = parlatone::IsSupportedWaveHeaderBytes(bytes, false);
  const bool stereo_too = parlatone::IsSupportedWaveHeaderBytes(bytes, true);
  // Accepting stereo can only widen what passes.
  if (mono_only && !stereo_too) {
    __builtin_trap();
  }
  const parlatone::SoundProbe probe = parlatone::ProbeWaveBytes(bytes);
  // Series 0 takes the widest choice of rates, series 2 every bit depth.
  for (int mode : {0, 2}) {
    for (bool stereo : {false, true}) {
      const parlatone::FileExamination examined = parlatone::ExamineForRegistration(
          probe, QString(), parlatone::AcceptanceRules{mode, stereo, 0});
      if (!examined.accepted()) {
        continue;
      }
      const parlatone::SoundInfo& info = examined.info;
      const bool channels_ok = info.Channels == 1 || (stereo && info.Channels == 2);
      if (info.FormatTag != 1 || !channels_ok || examined.length_ms < 0 ||
          std::find(kRates.begin(), kRates.end(), info.SampleRate) == kRates.end() ||
          (info.BitsPerSample != 8 && info.BitsPerSample != 16)) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
