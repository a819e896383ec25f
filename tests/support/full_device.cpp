// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/full_device.h"

#include <algorithm>
#include <atomic>

#include "core/file_io.h"

namespace parlatone::testing {
namespace {

class FullingDevice : public WriteRoom {
 public:
  qint64 Take(qint64 size) override {
    qint64 left = left_.load();
    for (;;) {
      const qint64 taken = std::min(left, size);
      if (left_.compare_exchange_weak(left, left - taken)) {
        return taken;
      }
    }
  }
  void Fill(qint64 bytes) { left_ = bytes; }

 private:
  std::atomic<qint64> left_{0};
};

FullingDevice& Device() {
  static FullingDevice device;
  return device;
}

}  // namespace

void FailWritesAfter(qint64 bytes) {
  Device().Fill(std::max<qint64>(0, bytes));
  UseWriteRoom(&Device());
}

void RestoreWrites() {
  UseWriteRoom(nullptr);
}

}  // namespace parlatone::testing
