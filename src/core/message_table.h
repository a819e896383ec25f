// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

namespace parlatone::detail {

// One numbered message: the Japanese source text, looked up in the
// translation context "Messages".
struct MessageEntry {
  int number;
  const char* text;
};

// Every message, in ascending number order.
std::span<const MessageEntry> MessageEntries();

}  // namespace parlatone::detail
