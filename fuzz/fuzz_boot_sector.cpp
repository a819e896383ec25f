// SPDX-License-Identifier: GPL-3.0-or-later
// The boot sector read on arbitrary bytes, as they come from any card: it
// names a file system or nothing, and what it names holds together (the
// FAT type follows from the cluster count alone).
#include <QByteArray>

#include <cstdint>

#include "card/card_volume.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray sector(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const std::optional<parlatone::FatBootSector> boot = parlatone::ParseBootSector(sector);
  if (!boot) {
    return 0;
  }
  if (boot->cluster_bytes < 0 || boot->clusters < 0 || boot->root_entries < 0) {
    __builtin_trap();
  }
  if (boot->type.startsWith(QStringLiteral("FAT"))) {
    const char* expected = boot->clusters < 4085    ? "FAT12"
                           : boot->clusters < 65525 ? "FAT16"
                                                    : "FAT32";
    if (boot->type != QLatin1String(expected) || boot->cluster_bytes <= 0 ||
        (boot->type == QLatin1String("FAT32") && boot->root_entries != 0)) {
      __builtin_trap();
    }
  }
  return 0;
}
