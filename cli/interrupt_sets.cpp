#include "interrupt_sets.h"

#include <csignal>

namespace parlatone::cli {

namespace {
std::atomic<int>* g_interrupt_int = nullptr;
std::atomic<bool>* g_interrupt_bool = nullptr;
int g_interrupt_value = 0;

extern "C" void OnInterrupt(int) {
  if (g_interrupt_int != nullptr) {
    g_interrupt_int->store(g_interrupt_value);
  }
  if (g_interrupt_bool != nullptr) {
    g_interrupt_bool->store(true);
  }
}
}  // namespace

InterruptSets::InterruptSets(std::atomic<int>& flag, int value) {
  g_interrupt_value = value;
  g_interrupt_int = &flag;
  previous_ = std::signal(SIGINT, OnInterrupt);
}

InterruptSets::InterruptSets(std::atomic<bool>& flag) {
  g_interrupt_bool = &flag;
  previous_ = std::signal(SIGINT, OnInterrupt);
}

InterruptSets::~InterruptSets() {
  std::signal(SIGINT, previous_);
  g_interrupt_int = nullptr;
  g_interrupt_bool = nullptr;
}

}  // namespace parlatone::cli
