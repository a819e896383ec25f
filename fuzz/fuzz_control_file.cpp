// SPDX-License-Identifier: GPL-3.0-or-later
// The control file loader on arbitrary files, its sound files resolved in a
// temporary folder that holds a few real ones. The first byte picks the
// series. Whatever the file holds, the load either succeeds within the
// series' limits or leaves an empty project.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

#include "controlfile/control_file_loader.h"
#include "core/operator.h"
#include "core/project.h"
#include "core/series.h"
#include "support/quiet_operator.h"

namespace {

QByteArray Le32(uint32_t value) {
  QByteArray bytes(4, '\0');
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  return bytes;
}

QByteArray Wave(uint32_t rate, uint16_t bits) {
  const QByteArray data(200, '\0');
  QByteArray format(16, '\0');
  format[0] = 1;
  format[2] = 1;
  format.replace(4, 4, Le32(rate));
  format.replace(8, 4, Le32(rate * bits / 8));
  format[12] = static_cast<char>(bits / 8);
  format[14] = static_cast<char>(bits);
  const QByteArray body = "WAVEfmt " + Le32(16) + format + "data" + Le32(data.size()) + data;
  return "RIFF" + Le32(body.size()) + body;
}

const QTemporaryDir& Folder() {
  static QTemporaryDir dir;
  static const bool written = [] {
    const auto write = [](const QString& name, const QByteArray& bytes) {
      QFile file(dir.filePath(name));
      return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    QByteArray mp3(417 * 4, '\0');
    for (int frame = 0; frame < 4; ++frame) {
      mp3[frame * 417] = static_cast<char>(0xFF);
      mp3[frame * 417 + 1] = static_cast<char>(0xFB);
      mp3[frame * 417 + 2] = static_cast<char>(0x90);
      mp3[frame * 417 + 3] = static_cast<char>(0xC0);
    }
    return write(QStringLiteral("a.wav"), Wave(22050, 16)) &&
           write(QStringLiteral("b.wav"), Wave(8000, 8)) && write(QStringLiteral("c.mp3"), mp3);
  }();
  (void)written;
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  parlatone::Project project;
  project.settings.Mode = data[0] % parlatone::kSeriesCount;
  project.settings.WavePath = Folder().path();
  parlatone::DeriveSeriesLimits(project);
  const QString path =
      Folder().filePath(QStringLiteral("F.") + parlatone::ControlFileExtension(project.Mode()));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      return 0;
    }
    file.write(reinterpret_cast<const char*>(data + 1), static_cast<qint64>(size - 1));
  }
  parlatone::testing::QuietOperator op;
  const bool loaded = parlatone::LoadWpjFile(project, path, op);
  if (project.voices.size() > project.ChannelCount) {
    __builtin_trap();
  }
  if (!loaded && (!project.voices.isEmpty() || project.VoicesRegistered ||
                  !(project.card == parlatone::CardInfo()) ||
                  !(project.programs[0] == parlatone::ProgramRecord()))) {
    __builtin_trap();
  }
  return 0;
}
