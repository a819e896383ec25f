// SPDX-License-Identifier: GPL-3.0-or-later
// The settings and element file reader on arbitrary files: reading any key
// never fails, and writing a key changes that key alone — every other value
// reads back as it did before.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

#include "core/ini_file.h"

namespace {

const QString kSections[] = {QStringLiteral("SYSTEM"), QStringLiteral("Element"),
                             QStringLiteral("UserData"), QStringLiteral("")};
const QString kKeys[] = {QStringLiteral("Mode"), QStringLiteral("Card"), QStringLiteral("CardPath"),
                         QStringLiteral("Baitai"), QStringLiteral("")};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const QString& section = kSections[data[0] % std::size(kSections)];
  const QString& key = kKeys[(data[0] / 4) % std::size(kKeys)];
  const QByteArray content(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
  const QString value = QStringLiteral("新しい値,8MB");
  const QByteArray updated = parlatone::IniFile::SetValue(content, section, key, value);
  if (!section.trimmed().isEmpty() && !key.trimmed().isEmpty()) {
    const std::optional<QString> read = parlatone::IniFile::FindValue(updated, section, key);
    if (!read || *read != value) {
      __builtin_trap();
    }
  }
  for (const QString& other_section : kSections) {
    for (const QString& other_key : kKeys) {
      if (other_section.compare(section, Qt::CaseInsensitive) == 0 &&
          other_key.compare(key, Qt::CaseInsensitive) == 0) {
        continue;
      }
      if (other_section.isEmpty() || other_key.isEmpty()) {
        continue;
      }
      if (parlatone::IniFile::FindValue(content, other_section, other_key) !=
          parlatone::IniFile::FindValue(updated, other_section, other_key)) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
