// The byte-level header check on arbitrary bytes and both stereo settings.
#include <QByteArray>

#include <cstdint>

#include "sound/wave_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const bool mono_only = parlatone::IsSupportedWaveHeaderBytes(bytes, 0);
  const bool stereo_too = parlatone::IsSupportedWaveHeaderBytes(bytes, 1);
  // Accepting stereo can only widen what passes.
  if (mono_only && !stereo_too) {
    __builtin_trap();
  }
  return 0;
}
