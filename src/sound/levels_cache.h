// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>

#include "sound/sound_analysis.h"

namespace parlatone {

// Analyses kept in a folder, one small file per sound file, valid while the
// sound file keeps its size and modification time (none kept without a
// folder). Safe to use from several
// threads; a file that cannot be read or written there only costs a new
// analysis.
class LevelsCache {
 public:
  explicit LevelsCache(QString folder) : folder_(std::move(folder)) {}
  std::optional<SoundLevels> Find(const QString& path) const;
  void Store(const QString& path, const SoundLevels& levels) const;
  const QString& Folder() const { return folder_; }

 private:
  QString EntryPath(const QString& path) const;
  QString folder_;
};

// The cached analysis when it is still valid, else a new one (then kept).
std::optional<SoundLevels> LevelsOf(const QString& path, const LevelsCache* cache,
                                    const std::atomic<bool>* stop = nullptr);

// Analyses many files on every core. `done` is called once per file, from
// the worker threads, with its index in `paths`.
void AnalyseSounds(const QStringList& paths, const LevelsCache* cache,
                   const std::function<void(int, const std::optional<SoundLevels>&)>& done,
                   const std::atomic<bool>* stop = nullptr);

}  // namespace parlatone
