// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery file read at start-up on arbitrary files. The first byte
// picks the series in use (its low bits) and whether the harness closes the
// rest with the checksum line (its high bit), so that the reading behind
// the checksum is reached too. A file is usable only in its own series, and
// a restore either fills the project as edited or leaves it empty.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

#include "controlfile/recovery_file.h"
#include "core/project.h"
#include "core/series.h"
#include "support/quiet_operator.h"
#include "support/sound_fixtures.h"

namespace {

// The sounds the seeds name, in the folder a restore looks in.
const QTemporaryDir& Folder() {
  static QTemporaryDir dir;
  static const bool written = [] {
    using namespace parlatone::testing;
    return WriteBytes(dir.filePath(QStringLiteral("a.wav")), WaveOfLength(22050, 1, 16, 20)) &&
           WriteBytes(dir.filePath(QStringLiteral("b.wav")), WaveOfLength(8000, 1, 8, 20)) &&
           WriteBytes(dir.filePath(QStringLiteral("c.mp3")), Mp3Frames(4, {64}, 24000));
  }();
  (void)written;
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const int mode = (data[0] & 0x7F) % parlatone::kSeriesCount;
  QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  if ((data[0] & 0x80) != 0) {
    bytes +=
        "CHECK=" + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + "\r\n";
  }
  const QString path = parlatone::RecoveryFilePath(Folder().filePath(QStringLiteral("R")), mode);
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
      return 0;
    }
  }
  const parlatone::RecoveryCheck check = parlatone::CheckRecoveryFile(path, mode);
  using State = parlatone::RecoveryCheck::State;
  if ((check.state == State::kUsable && check.mode != mode) ||
      (check.state == State::kOtherSeries && (check.mode == mode || check.mode < 0)) ||
      check.state == State::kNone) {
    __builtin_trap();
  }
  if (check.state == State::kUsable) {
    parlatone::Project project;
    project.settings.Mode = mode;
    project.settings.WavePath = Folder().path();
    parlatone::DeriveSeriesLimits(project);
    parlatone::testing::QuietOperator op;
    if (parlatone::RestoreRecoveryFile(project, path, op)) {
      if (!project.PageEdited[0] || project.voices.size() > project.ChannelCount) {
        __builtin_trap();
      }
    } else if (!project.voices.isEmpty() || project.VoicesRegistered) {
      __builtin_trap();
    }
  }
  QFile::remove(path);
  return 0;
}
