// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_volume.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>

#include <cstdint>
#include <functional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#endif

#include "card/card_log.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

constexpr int kSectorBytes = 512;
constexpr int kToolTimeoutMs = 5000;

uint32_t Le(const QByteArray& bytes, int at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
  }
  return value;
}

// "\040" and its kind stand for blanks and the like in the mount table.
QString Unescape(const QString& field) {
  QByteArray out;
  const QByteArray in = field.toUtf8();
  for (qsizetype i = 0; i < in.size(); ++i) {
    if (in[i] == '\\' && i + 3 < in.size()) {
      bool ok = false;
      const int code = in.mid(i + 1, 3).toInt(&ok, 8);
      if (ok) {
        out.append(static_cast<char>(code));
        i += 3;
        continue;
      }
    }
    out.append(in[i]);
  }
  return QString::fromUtf8(out);
}

struct Mount {
  QString mount_point;
  QString fstype;
  QString source;
};

// The mount whose folder holds the path, the deepest one.
std::optional<Mount> MountOf(const QString& path) {
  QFile table(u"/proc/self/mountinfo"_s);
  if (!table.open(QIODevice::ReadOnly)) {
    return std::nullopt;
  }
  std::optional<Mount> best;
  for (const QByteArray& raw : table.readAll().split('\n')) {
    const QString line = QString::fromUtf8(raw);
    const qsizetype dash = line.indexOf(u" - "_s);
    if (dash < 0) {
      continue;
    }
    const QStringList before = line.left(dash).split(u' ');
    const QStringList after = line.mid(dash + 3).split(u' ');
    if (before.size() < 5 || after.size() < 2) {
      continue;
    }
    const QString point = Unescape(before[4]);
    const bool holds = path == point || point == u"/"_s ||
                       path.startsWith(point.endsWith(u'/') ? point : point + u'/');
    if (holds && (!best || point.size() >= best->mount_point.size())) {
      best = Mount{point, after[0], Unescape(after[1])};
    }
  }
  return best;
}

QJsonArray LsblkDevices() {
  const QString lsblk = QStandardPaths::findExecutable(u"lsblk"_s);
  if (lsblk.isEmpty()) {
    return {};
  }
  QProcess process;
  process.start(lsblk, {u"--json"_s, u"-b"_s, u"-o"_s,
                        u"NAME,PATH,FSTYPE,FSVER,MOUNTPOINT,RM,HOTPLUG,SIZE,LABEL"_s});
  if (!process.waitForFinished(kToolTimeoutMs) || process.exitCode() != 0) {
    qCDebug(CardLog) << "lsblk gave no device list:" << process.errorString()
                     << process.readAllStandardError().trimmed();
    return {};
  }
  QJsonArray flat;
  std::function<void(const QJsonArray&, bool)> walk = [&](const QJsonArray& devices,
                                                          bool parent_removable) {
    for (const QJsonValue& value : devices) {
      QJsonObject device = value.toObject();
      const bool removable =
          parent_removable || device[u"rm"_s].toBool() || device[u"rm"_s].toString() == u"1"_s ||
          device[u"hotplug"_s].toBool() || device[u"hotplug"_s].toString() == u"1"_s;
      device[u"removable"_s] = removable;
      flat.append(device);
      walk(device[u"children"_s].toArray(), removable);
    }
  };
  walk(QJsonDocument::fromJson(process.readAllStandardOutput())[u"blockdevices"_s].toArray(),
       false);
  return flat;
}

QString FilesystemName(const QString& fstype, const QString& version) {
  if (fstype == u"vfat"_s) {
    return version.isEmpty() ? u"FAT"_s : version;
  }
  if (fstype == u"exfat"_s) {
    return u"exFAT"_s;
  }
  if (fstype == u"ntfs"_s || fstype == u"ntfs3"_s || fstype == u"fuseblk"_s) {
    return u"NTFS"_s;
  }
  return fstype;
}

}  // namespace

std::optional<FatBootSector> ParseBootSector(const QByteArray& sector) {
  if (sector.size() < kSectorBytes || static_cast<unsigned char>(sector[510]) != 0x55 ||
      static_cast<unsigned char>(sector[511]) != 0xAA) {
    return std::nullopt;
  }
  FatBootSector boot;
  if (sector.mid(3, 8) == "EXFAT   ") {
    // Sizes are stored as powers of two: sectors of 512 bytes to 4 KiB,
    // clusters of at most 32 MiB. Anything else is not a volume (and would
    // shift past the width of the number).
    const uint32_t sector_shift = Le(sector, 108, 1);
    const uint32_t cluster_shift = Le(sector, 109, 1);
    if (sector_shift < 9 || sector_shift > 12 || sector_shift + cluster_shift > 25) {
      return std::nullopt;
    }
    boot.type = u"exFAT"_s;
    boot.cluster_bytes = qint64{1} << (sector_shift + cluster_shift);
    return boot;
  }
  if (sector.mid(3, 8) == "NTFS    ") {
    boot.type = u"NTFS"_s;
    boot.cluster_bytes = qint64{Le(sector, 11, 2)} * Le(sector, 13, 1);
    return boot;
  }
  const uint32_t bytes_per_sector = Le(sector, 11, 2);
  const uint32_t sectors_per_cluster = Le(sector, 13, 1);
  const uint32_t reserved = Le(sector, 14, 2);
  const uint32_t fats = Le(sector, 16, 1);
  const uint32_t root_entries = Le(sector, 17, 2);
  const uint32_t total16 = Le(sector, 19, 2);
  const uint32_t fat16_size = Le(sector, 22, 2);
  const uint32_t total32 = Le(sector, 32, 4);
  const uint32_t fat32_size = Le(sector, 36, 4);
  const bool power_of_two_sector = bytes_per_sector >= 512 && bytes_per_sector <= 4096 &&
                                   (bytes_per_sector & (bytes_per_sector - 1)) == 0;
  if (!power_of_two_sector || sectors_per_cluster == 0 ||
      (sectors_per_cluster & (sectors_per_cluster - 1)) != 0 || reserved == 0 || fats == 0) {
    return std::nullopt;
  }
  const uint64_t root_sectors = (root_entries * 32ULL + bytes_per_sector - 1) / bytes_per_sector;
  const uint64_t fat_size = fat16_size != 0 ? fat16_size : fat32_size;
  const uint64_t total = total16 != 0 ? total16 : total32;
  const uint64_t overhead = reserved + fats * fat_size + root_sectors;
  if (total <= overhead) {
    return std::nullopt;
  }
  boot.clusters = static_cast<qint64>((total - overhead) / sectors_per_cluster);
  boot.cluster_bytes = qint64{bytes_per_sector} * sectors_per_cluster;
  // The count of clusters alone decides the type: that is how every FAT
  // driver, the players' included, reads the volume.
  if (boot.clusters < 4085) {
    boot.type = u"FAT12"_s;
  } else if (boot.clusters < 65525) {
    boot.type = u"FAT16"_s;
  } else {
    boot.type = u"FAT32"_s;
  }
  boot.root_entries = boot.type == u"FAT32"_s ? 0 : static_cast<int>(root_entries);
  return boot;
}

QStringList VolumeRefusals(const VolumeInfo& volume, qint64 needed_bytes) {
  QStringList reasons;
  if (volume.filesystem != u"FAT16"_s) {
    reasons << QCoreApplication::translate("CardVolume", "FAT16ではありません（%1）")
                   .arg(volume.filesystem.isEmpty()
                            ? QCoreApplication::translate("CardVolume", "不明")
                            : volume.filesystem);
  }
  if (volume.read_only) {
    reasons << QCoreApplication::translate("CardVolume", "読み取り専用です");
  }
  if (volume.free_bytes < needed_bytes) {
    reasons << QCoreApplication::translate("CardVolume", "空き容量が足りません");
  }
  return reasons;
}

std::optional<VolumeIdentity> VolumeProbe::Identify(const QString& folder) {
#ifdef Q_OS_LINUX
  struct statx info {};
  if (::statx(AT_FDCWD, QFile::encodeName(folder).constData(), 0, STATX_INO | STATX_MNT_ID,
              &info) != 0) {
    return std::nullopt;
  }
  return VolumeIdentity{makedev(info.stx_dev_major, info.stx_dev_minor),
                        (info.stx_mask & STATX_MNT_ID) != 0 ? info.stx_mnt_id : 0, info.stx_ino};
#elif defined(Q_OS_UNIX)
  struct stat info {};
  if (::stat(QFile::encodeName(folder).constData(), &info) != 0) {
    return std::nullopt;
  }
  return VolumeIdentity{static_cast<quint64>(info.st_dev), 0, static_cast<quint64>(info.st_ino)};
#else
  const QStorageInfo storage(folder);
  if (!QFileInfo(folder).isDir() || !storage.isValid()) {
    return std::nullopt;
  }
  return VolumeIdentity{qHash(storage.device()), qHash(storage.rootPath()), 0};
#endif
}

VolumeInfo SystemVolumeProbe::Probe(const QString& folder) {
  VolumeInfo volume;
  const QString path = QFileInfo(folder).canonicalFilePath();
  if (path.isEmpty()) {
    return volume;
  }
  const std::optional<Mount> mount = MountOf(path);
  if (!mount) {
    return volume;
  }
  volume.found = true;
  volume.mount_point = mount->mount_point;
  volume.source = mount->source;
  volume.filesystem = FilesystemName(mount->fstype, {});
#ifdef Q_OS_UNIX
  struct statvfs space {};
  if (::statvfs(QFile::encodeName(path).constData(), &space) == 0) {
    volume.free_bytes = static_cast<qint64>(space.f_bavail) * static_cast<qint64>(space.f_frsize);
    volume.total_bytes = static_cast<qint64>(space.f_blocks) * static_cast<qint64>(space.f_frsize);
    volume.cluster_bytes = static_cast<qint64>(space.f_bsize);
    volume.read_only = (space.f_flag & ST_RDONLY) != 0;
  }
#endif
  QFile source(volume.source);
  if (volume.source.startsWith(u'/') && source.open(QIODevice::ReadOnly)) {
    if (const std::optional<FatBootSector> boot = ParseBootSector(source.read(kSectorBytes))) {
      volume.filesystem = boot->type;
      volume.cluster_bytes = boot->cluster_bytes;
      volume.root_entries = boot->root_entries;
      volume.ordered_entries = volume.filesystem.startsWith(u"FAT"_s);
      return volume;
    }
  }
  for (const QJsonValue& value : LsblkDevices()) {
    const QJsonObject device = value.toObject();
    if (device[u"mountpoint"_s].toString() == volume.mount_point ||
        device[u"path"_s].toString() == volume.source) {
      // Without the system's device database lsblk knows the device but not
      // its type; the mount table's type stands then.
      const QString fstype = device[u"fstype"_s].toString();
      if (!fstype.isEmpty()) {
        volume.filesystem = FilesystemName(fstype, device[u"fsver"_s].toString());
      }
      volume.label = device[u"label"_s].toString();
      volume.removable = device[u"removable"_s].toBool();
      break;
    }
  }
  volume.ordered_entries = volume.filesystem.startsWith(u"FAT"_s);
  return volume;
}

QList<VolumeInfo> SystemVolumeProbe::RemovableVolumes() {
  QList<VolumeInfo> volumes;
  for (const QJsonValue& value : LsblkDevices()) {
    const QJsonObject device = value.toObject();
    const QString mount_point = device[u"mountpoint"_s].toString();
    if (!device[u"removable"_s].toBool() || mount_point.isEmpty()) {
      continue;
    }
    VolumeInfo volume = Probe(mount_point);
    volume.removable = true;
    volume.label = device[u"label"_s].toString();
    volume.source = device[u"path"_s].toString();
    if (volume.filesystem.isEmpty() || volume.filesystem == u"vfat"_s) {
      volume.filesystem =
          FilesystemName(device[u"fstype"_s].toString(), device[u"fsver"_s].toString());
    }
    volumes << volume;
  }
  return volumes;
}

bool SystemVolumeProbe::Eject(const VolumeInfo& volume, QString* error) {
  const QString udisksctl = QStandardPaths::findExecutable(u"udisksctl"_s);
  if (udisksctl.isEmpty()) {
    *error = QCoreApplication::translate("CardVolume", "udisksctl が見つかりません。");
    return false;
  }
  for (const QString& action : {u"unmount"_s, u"power-off"_s}) {
    QProcess process;
    process.start(udisksctl,
                  {action, u"--block-device"_s, volume.source, u"--no-user-interaction"_s});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
      *error = QString::fromUtf8(process.readAllStandardError()).trimmed();
      qCDebug(CardLog) << "udisksctl" << action << volume.source << "failed:" << *error;
      // A card reader that cannot be powered off is unmounted all the same,
      // which is what makes it safe to pull.
      if (action == u"power-off"_s) {
        error->clear();
        return true;
      }
      return false;
    }
  }
  return true;
}

}  // namespace parlatone
