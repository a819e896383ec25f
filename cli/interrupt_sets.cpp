// SPDX-License-Identifier: GPL-3.0-or-later
#include "interrupt_sets.h"

#include <csignal>

namespace parlatone::cli {

namespace {
std::atomic<bool>* g_interrupt = nullptr;

extern "C" void OnInterrupt(int) {
  if (g_interrupt != nullptr) {
    g_interrupt->store(true);
  }
}
}  // namespace

InterruptSets::InterruptSets(std::atomic<bool>& flag) {
  g_interrupt = &flag;
  previous_ = std::signal(SIGINT, OnInterrupt);
}

InterruptSets::~InterruptSets() {
  std::signal(SIGINT, previous_);
  g_interrupt = nullptr;
}

}  // namespace parlatone::cli
