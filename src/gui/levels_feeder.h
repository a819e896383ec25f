// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <memory>

#include "sound/levels_cache.h"

namespace parlatone {

// Looks at sound files in the background for the windows: a window asks for
// the files it shows and paints what has arrived; every result comes back
// on the window's thread through `Arrived`. Nothing a window does waits for
// a file to be read.
class LevelsFeeder : public QObject {
  Q_OBJECT

 public:
  explicit LevelsFeeder(const QString& cache_folder, QObject* parent = nullptr);
  // Analyses not begun are dropped; those running stop at their next block.
  ~LevelsFeeder() override;

  // The levels of a file as last seen; null while it is being read, or when
  // it could not be.
  const SoundLevels* Known(const QString& path) const;
  std::shared_ptr<const SoundLevels> Shared(const QString& path) const;
  // Queues the files not known yet (or changed since), the first ones
  // first. Files already queued are not queued again.
  void Request(const QStringList& paths);
  // True while files are still being read.
  bool Busy() const { return !pending_.isEmpty(); }
  bool IsPending(const QString& path) const { return pending_.contains(path); }

 Q_SIGNALS:
  void Arrived(const QString& path);

 private:
  struct Entry {
    std::shared_ptr<const SoundLevels> levels;
    qint64 size = -1;
    qint64 modified = 0;
  };
  void Store(const QString& path, qint64 size, qint64 modified,
             const std::optional<SoundLevels>& levels);

  LevelsCache cache_;
  QThreadPool pool_;
  std::shared_ptr<std::atomic<bool>> stop_ = std::make_shared<std::atomic<bool>>(false);
  QHash<QString, Entry> known_;
  QSet<QString> pending_;
  int next_priority_ = 0;
};

}  // namespace parlatone
