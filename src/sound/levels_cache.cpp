// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/levels_cache.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <thread>
#include <vector>

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

constexpr quint32 kCacheMagic = 0x504C5631;  // "PLV1"

std::optional<SoundLevels> CachedLevels(const QString& path, const LevelsCache* cache, int parts,
                                        const std::atomic<bool>* stop) {
  if (cache != nullptr) {
    if (std::optional<SoundLevels> known = cache->Find(path)) {
      return known;
    }
  }
  const QFileInfo before(path);
  const QDateTime modified = before.lastModified();
  std::optional<SoundLevels> levels = AnalyseSoundInParts(path, parts, stop);
  // A file changed while it was read is analysed again next time.
  const QFileInfo after(path);
  if (levels && cache != nullptr && after.size() == before.size() &&
      after.lastModified() == modified) {
    cache->Store(path, *levels);
  }
  return levels;
}

}  // namespace

QString LevelsCache::EntryPath(const QString& path) const {
  const QByteArray key = QCryptographicHash::hash(QFileInfo(path).absoluteFilePath().toUtf8(),
                                                  QCryptographicHash::Sha1)
                             .toHex();
  return QDir(folder_).filePath(QString::fromLatin1(key) + u".lvl"_s);
}

std::optional<SoundLevels> LevelsCache::Find(const QString& path) const {
  const QFileInfo info(path);
  if (folder_.isEmpty() || !info.exists()) {
    return std::nullopt;
  }
  QFile file(EntryPath(path));
  if (!file.open(QIODevice::ReadOnly)) {
    return std::nullopt;
  }
  QDataStream in(&file);
  in.setFloatingPointPrecision(QDataStream::DoublePrecision);
  quint32 magic = 0;
  QString stored_path;
  qint64 size = 0;
  qint64 modified = 0;
  in >> magic >> stored_path >> size >> modified;
  if (in.status() != QDataStream::Ok || magic != kCacheMagic ||
      stored_path != info.absoluteFilePath() || size != info.size() ||
      modified != info.lastModified().toMSecsSinceEpoch()) {
    return std::nullopt;
  }
  SoundLevels levels;
  qint64 length = 0;
  qint64 leading = 0;
  qint64 trailing = 0;
  bool has_peak = false;
  bool has_loudness = false;
  double peak = 0.0;
  double loudness = 0.0;
  quint32 columns = 0;
  in >> length >> has_peak >> peak >> has_loudness >> loudness >> leading >> trailing >>
      levels.clipped >> columns;
  if (in.status() != QDataStream::Ok ||
      columns > static_cast<quint32>(SoundLevels::kOutlineColumns)) {
    return std::nullopt;
  }
  levels.length_ms = length;
  levels.leading_silence_ms = leading;
  levels.trailing_silence_ms = trailing;
  if (has_peak) {
    levels.peak_db = peak;
  }
  if (has_loudness) {
    levels.loudness_lufs = loudness;
  }
  levels.outline_min.resize(columns);
  levels.outline_max.resize(columns);
  const auto bytes = static_cast<int>(columns * sizeof(float));
  if (in.readRawData(reinterpret_cast<char*>(levels.outline_min.data()), bytes) != bytes ||
      in.readRawData(reinterpret_cast<char*>(levels.outline_max.data()), bytes) != bytes) {
    return std::nullopt;
  }
  return levels;
}

void LevelsCache::Store(const QString& path, const SoundLevels& levels) const {
  const QFileInfo info(path);
  if (folder_.isEmpty() || !QDir().mkpath(folder_)) {
    return;
  }
  // Written aside and renamed: a reader on another thread never sees half.
  QSaveFile file(EntryPath(path));
  if (!file.open(QIODevice::WriteOnly)) {
    return;
  }
  QDataStream out(&file);
  out.setFloatingPointPrecision(QDataStream::DoublePrecision);
  out << kCacheMagic << info.absoluteFilePath() << static_cast<qint64>(info.size())
      << static_cast<qint64>(info.lastModified().toMSecsSinceEpoch())
      << static_cast<qint64>(levels.length_ms) << levels.peak_db.has_value()
      << levels.peak_db.value_or(0.0) << levels.loudness_lufs.has_value()
      << levels.loudness_lufs.value_or(0.0) << static_cast<qint64>(levels.leading_silence_ms)
      << static_cast<qint64>(levels.trailing_silence_ms) << levels.clipped
      << static_cast<quint32>(levels.outline_min.size());
  const auto bytes = static_cast<int>(levels.outline_min.size() * sizeof(float));
  out.writeRawData(reinterpret_cast<const char*>(levels.outline_min.data()), bytes);
  out.writeRawData(reinterpret_cast<const char*>(levels.outline_max.data()), bytes);
  file.commit();
}

std::optional<SoundLevels> LevelsOf(const QString& path, const LevelsCache* cache,
                                    const std::atomic<bool>* stop) {
  return CachedLevels(path, cache, std::max(1, QThread::idealThreadCount()), stop);
}

void AnalyseSounds(const QStringList& paths, const LevelsCache* cache,
                   const std::function<void(int, const std::optional<SoundLevels>&)>& done,
                   const std::atomic<bool>* stop) {
  const int cores = std::max(1, QThread::idealThreadCount());
  const int workers = std::clamp(static_cast<int>(paths.size()), 1, cores);
  // A long file is read on every core even while others are analysed: the
  // run's length is that of its longest file otherwise.
  const int parts = cores;
  std::atomic<int> next = 0;
  const auto work = [&] {
    for (int i = next++; i < paths.size(); i = next++) {
      done(i, CachedLevels(paths.at(i), cache, parts, stop));
    }
  };
  std::vector<std::thread> threads;
  for (int w = 1; w < workers; ++w) {
    threads.emplace_back(work);
  }
  work();
  for (std::thread& thread : threads) {
    thread.join();
  }
}

}  // namespace parlatone
