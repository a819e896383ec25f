// SPDX-License-Identifier: GPL-3.0-or-later
// The card data folder check of writing and verifying a card on arbitrary
// control files: a folder of a few sound files and the input as its one
// control file (the first byte picks the extension), verified against an
// empty card. The names read are plain file names, and a card that holds
// nothing never passes.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

#include "card/card_volume.h"
#include "card/card_writer.h"
#include "controlfile/control_file_loader.h"
#include "core/paths.h"
#include "support/quiet_operator.h"

namespace {

class EmptyCard : public parlatone::VolumeProbe {
 public:
  parlatone::VolumeInfo Probe(const QString& folder) override {
    parlatone::VolumeInfo volume;
    volume.mount_point = folder;
    volume.filesystem = QStringLiteral("FAT16");
    volume.cluster_bytes = 32768;
    volume.free_bytes = qint64{1} << 30;
    volume.total_bytes = qint64{1} << 30;
    volume.root_entries = 512;
    volume.found = true;
    volume.ordered_entries = true;
    return volume;
  }
  QList<parlatone::VolumeInfo> RemovableVolumes() override { return {}; }
  bool Eject(const parlatone::VolumeInfo&, QString*) override { return false; }
};

bool Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

const QTemporaryDir& Root() {
  static QTemporaryDir dir;
  static const bool made = [] {
    const QDir root(dir.path());
    return root.mkpath(QStringLiteral("card")) && root.mkpath(QStringLiteral("target")) &&
           Write(root.filePath(QStringLiteral("card/A.WAV")), QByteArray(64, 'a')) &&
           Write(root.filePath(QStringLiteral("card/b.mp3")), QByteArray(64, 'b')) &&
           Write(root.filePath(QStringLiteral("card/c.wav")), QByteArray(64, 'c'));
  }();
  (void)made;
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const QDir root(Root().path());
  const QString card = root.filePath(QStringLiteral("card"));
  const QString wpj = root.filePath(QStringLiteral("card/CARD.WPJ"));
  const QString zpx = root.filePath(QStringLiteral("card/card.zpx"));
  const QString control = (data[0] & 1) != 0 ? zpx : wpj;
  QFile::remove((data[0] & 1) != 0 ? wpj : zpx);
  if (!Write(control, QByteArray(reinterpret_cast<const char*>(data + 1),
                                 static_cast<qsizetype>(size - 1)))) {
    return 0;
  }
  if (const std::optional<QStringList> names = parlatone::ControlFileSoundNames(control)) {
    for (const QString& name : *names) {
      if (!parlatone::IsPlainFileName(name)) {
        __builtin_trap();
      }
    }
  }
  EmptyCard probe;
  parlatone::testing::QuietOperator op;
  const parlatone::CardReport report =
      parlatone::VerifyCard(card, root.filePath(QStringLiteral("target")), probe, op);
  if (report.ok || report.written) {
    __builtin_trap();
  }
  return 0;
}
