// SPDX-License-Identifier: GPL-3.0-or-later
// The MP3 header scan on arbitrary bytes.
#include <QByteArray>

#include <cstdint>

#include "sound/mp3_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto info = parlatone::ScanMp3Header(bytes);
  if (info && (info->MpegLayer != 1 || (info->MpegVersion != 2 && info->MpegVersion != 3) ||
               info->BitsPerSample == 0 || info->SampleRate == 0 || info->Channels > 1)) {
    __builtin_trap();
  }
  return 0;
}
