// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/levels_feeder.h"

#include <QDateTime>
#include <QFileInfo>
#include <QThread>

#include <algorithm>

namespace parlatone {

LevelsFeeder::LevelsFeeder(const QString& cache_folder, QObject* parent)
    : QObject(parent), cache_(cache_folder) {
  // Each long file is read on every core by itself; as many files at once
  // as there are cores keeps them all busy without crowding the window.
  pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

LevelsFeeder::~LevelsFeeder() {
  stop_->store(true);
  pool_.clear();
  pool_.waitForDone();
}

const SoundLevels* LevelsFeeder::Known(const QString& path) const {
  const auto found = known_.constFind(path);
  return found == known_.constEnd() ? nullptr : found->levels.get();
}

std::shared_ptr<const SoundLevels> LevelsFeeder::Shared(const QString& path) const {
  const auto found = known_.constFind(path);
  return found == known_.constEnd() ? nullptr : found->levels;
}

void LevelsFeeder::Request(const QStringList& paths) {
  // Later requests (the page now in view) come before earlier ones still
  // waiting; within one request, in the order given.
  next_priority_ += paths.size() + 1;
  int priority = next_priority_;
  for (const QString& path : paths) {
    --priority;
    if (path.isEmpty() || pending_.contains(path)) {
      continue;
    }
    const QFileInfo info(path);
    const qint64 size = info.size();
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    const auto found = known_.constFind(path);
    if (found != known_.constEnd() && found->size == size && found->modified == modified) {
      continue;
    }
    pending_.insert(path);
    const LevelsCache* cache = &cache_;
    std::shared_ptr<std::atomic<bool>> stop = stop_;
    pool_.start(
        [this, cache, stop, path, size, modified] {
          if (stop->load()) {
            return;
          }
          const std::optional<SoundLevels> levels = LevelsOf(path, cache, stop.get());
          if (stop->load()) {
            return;
          }
          // The feeder outlives every task (its destructor waits for them),
          // and a queued call to a destroyed object is dropped.
          QMetaObject::invokeMethod(
              this, [this, path, size, modified, levels] { Store(path, size, modified, levels); },
              Qt::QueuedConnection);
        },
        priority);
  }
}

void LevelsFeeder::Store(const QString& path, qint64 size, qint64 modified,
                         const std::optional<SoundLevels>& levels) {
  pending_.remove(path);
  Entry entry;
  entry.size = size;
  entry.modified = modified;
  if (levels) {
    entry.levels = std::make_shared<const SoundLevels>(*levels);
  }
  known_.insert(path, entry);
  Q_EMIT Arrived(path);
}

}  // namespace parlatone
