// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

namespace parlatone::cli {

// While it lives, Ctrl+C sets `flag` instead of ending the process, so that long work stops between
// two blocks and leaves no half-written file behind. One at a time.
class InterruptSets {
 public:
  explicit InterruptSets(std::atomic<bool>& flag);
  ~InterruptSets();
  InterruptSets(const InterruptSets&) = delete;
  InterruptSets& operator=(const InterruptSets&) = delete;

 private:
  void (*previous_)(int) = nullptr;
};

}  // namespace parlatone::cli
