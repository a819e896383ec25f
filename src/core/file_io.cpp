#include "core/file_io.h"

#include <QFile>
#include <QSaveFile>

#include <atomic>

namespace parlatone {

namespace {

std::atomic<qint64> g_bytes_before_failure{-1};

// Takes size bytes from the injected budget; the part that fits, or -1 when
// no fault is injected.
qint64 TakeFromBudget(qint64 size) {
  qint64 left = g_bytes_before_failure.load();
  while (left >= 0) {
    const qint64 taken = std::min(left, size);
    if (g_bytes_before_failure.compare_exchange_weak(left, left - taken)) {
      return taken;
    }
  }
  return -1;
}

constexpr qint64 kCopyChunk = 256 * 1024;

}  // namespace

bool WriteToDevice(QIODevice& device, const char* data, qint64 size) {
  const qint64 allowed = TakeFromBudget(size);
  if (allowed >= 0 && allowed < size) {
    if (allowed > 0) {
      device.write(data, allowed);  // a full device takes what fits, then refuses
    }
    return false;
  }
  return device.write(data, size) == size;
}

bool ReserveBytes(qint64 size) {
  const qint64 allowed = TakeFromBudget(size);
  return allowed < 0 || allowed == size;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    return false;
  }
  if (!WriteToDevice(file, bytes.constData(), bytes.size())) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

bool CopyFileAtomically(const QString& from, const QString& to) {
  QFile source(from);
  if (!source.open(QIODevice::ReadOnly)) {
    return false;
  }
  QSaveFile target(to);
  if (!target.open(QIODevice::WriteOnly)) {
    return false;
  }
  QByteArray chunk;
  while (!source.atEnd()) {
    chunk = source.read(kCopyChunk);
    if (chunk.isEmpty() && source.error() != QFileDevice::NoError) {
      target.cancelWriting();
      return false;
    }
    if (!WriteToDevice(target, chunk.constData(), chunk.size())) {
      target.cancelWriting();
      return false;
    }
  }
  if (source.error() != QFileDevice::NoError) {
    target.cancelWriting();
    return false;
  }
  return target.commit();
}

namespace file_faults {

void FailWritesAfter(qint64 bytes) {
  g_bytes_before_failure = bytes;
}

void Reset() {
  g_bytes_before_failure = -1;
}

}  // namespace file_faults

}  // namespace parlatone
