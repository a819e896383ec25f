// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace parlatone {

// What a FAT boot sector says: the type by the cluster count rule (the
// label text in the sector may say anything), the cluster size and the
// number of root directory entries (FAT12 and FAT16 have a fixed root).
struct FatBootSector {
  QString type;  // "FAT12", "FAT16", "FAT32", "exFAT", "NTFS"
  qint64 cluster_bytes = 0;
  qint64 clusters = 0;
  int root_entries = 0;  // 0 for FAT32 and the others: no fixed limit
};
// Nothing when the bytes are not a boot sector of a file system we know.
std::optional<FatBootSector> ParseBootSector(const QByteArray& sector);

// A mounted volume as the card writer needs to know it.
struct VolumeInfo {
  QString mount_point;
  QString source;      // the block device or image behind the mount
  QString filesystem;  // "FAT16", "FAT32", "exFAT", "NTFS", "ext4", ...; empty when unknown
  QString label;
  qint64 cluster_bytes = 0;
  qint64 free_bytes = 0;
  qint64 total_bytes = 0;
  int root_entries = 0;
  bool removable = false;
  bool found = false;
  // FAT lists a folder in the order its entries were written, which is
  // what the players go by; other file systems list in an order of their
  // own, so there the order cannot be checked.
  bool ordered_entries = false;
  bool read_only = false;
};

// Which volume a folder is on at a moment. A card pulled while it is written
// leaves its mount point behind as a bare folder of the computer's own disk:
// the same path, another volume.
struct VolumeIdentity {
  quint64 device = 0;
  quint64 mount_id = 0;  // 0 where the system does not say
  quint64 inode = 0;
  bool operator==(const VolumeIdentity&) const = default;
};

// Why a volume cannot take a card of `needed_bytes`, each reason in a few
// words for a list of cards (empty: it can).
QStringList VolumeRefusals(const VolumeInfo& volume, qint64 needed_bytes);

// Finds out about volumes. The system's own is below; tests give their own.
class VolumeProbe {
 public:
  virtual ~VolumeProbe() = default;
  // The volume a folder lives on.
  virtual VolumeInfo Probe(const QString& folder) = 0;
  // The removable volumes mounted now.
  virtual QList<VolumeInfo> RemovableVolumes() = 0;
  // Unmounts the volume and powers its device off; false with the reason.
  virtual bool Eject(const VolumeInfo& volume, QString* error) = 0;
  // The volume the folder is on now; nothing when the folder is gone.
  virtual std::optional<VolumeIdentity> Identify(const QString& folder);
};

// The mount table of this process, statvfs for the space, the boot sector
// of the mount's source where it can be read (an image file, or as root),
// else the system's block device database (lsblk); udisksctl to eject.
class SystemVolumeProbe : public VolumeProbe {
 public:
  VolumeInfo Probe(const QString& folder) override;
  QList<VolumeInfo> RemovableVolumes() override;
  bool Eject(const VolumeInfo& volume, QString* error) override;
};

}  // namespace parlatone
