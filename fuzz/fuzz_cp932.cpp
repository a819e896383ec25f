// SPDX-License-Identifier: GPL-3.0-or-later
// The code page 932 codec on arbitrary bytes: decoding never stops early
// (every byte is accounted for), and text that decoded cleanly survives
// being written and read again unchanged. (The bytes themselves may change:
// code page 932 has two codes for some characters, and writing picks one.)
#include <QByteArray>
#include <QString>

#include <cstdint>

#include "core/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString text = parlatone::cp932::Decode(bytes);
  if (text.size() > bytes.size()) {
    __builtin_trap();  // at most one character per byte
  }
  if (!bytes.isEmpty() && text.isEmpty()) {
    __builtin_trap();
  }
  const QByteArray again = parlatone::cp932::Encode(text);
  if (!text.contains(QChar(0xFFFD)) && parlatone::cp932::Decode(again) != text) {
    __builtin_trap();
  }
  // Encoding never writes more than two bytes a character.
  if (again.size() > 2 * text.size()) {
    __builtin_trap();
  }
  return 0;
}
