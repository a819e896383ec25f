// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>

#include <algorithm>

#include "card/card_volume.h"

namespace parlatone::testing {

// The cards a test says are in, over plain folders; none until it adds some.
class ListedCards : public VolumeProbe {
 public:
  VolumeInfo Probe(const QString& folder) override {
    const auto found = std::find_if(volumes.begin(), volumes.end(),
                                    [&](const VolumeInfo& v) { return v.mount_point == folder; });
    return found == volumes.end() ? VolumeInfo() : *found;
  }
  QList<VolumeInfo> RemovableVolumes() override { return volumes; }
  bool Eject(const VolumeInfo& volume, QString*) override {
    ejected << volume.mount_point;
    return true;
  }
  QList<VolumeInfo> volumes;
  QStringList ejected;
};

}  // namespace parlatone::testing
