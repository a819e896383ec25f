// SPDX-License-Identifier: GPL-3.0-or-later
// The RIFF walk and the format read on arbitrary bytes: it must stay inside
// the data whatever the chunk sizes claim.
#include <QBuffer>

#include <cstdint>

#include "sound/wave_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  const parlatone::WaveLayout layout = parlatone::WalkWave(buffer);
  if (layout.status == parlatone::WaveLayout::Status::kOk) {
    if (layout.format_offset < 0 || layout.format_offset > bytes.size()) {
      __builtin_trap();
    }
    if (layout.data_offset && (*layout.data_offset > bytes.size() || layout.data_size < 0 ||
                               *layout.data_offset + layout.data_size > bytes.size())) {
      __builtin_trap();
    }
    buffer.seek(layout.format_offset);
    (void)parlatone::FormatFromChunk(buffer.read(std::min<uint32_t>(layout.format_size, 18)));
  }
  return 0;
}
