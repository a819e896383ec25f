// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

#include "core/operator.h"

namespace parlatone {

// Where long work shows how far it got when the window that started it has
// a bar or a progress window of its own: value out of maximum with a
// caption, a maximum of 0 when the work is done. Questions, notices, pauses
// and the busy pointer still go to the operator. Left empty, progress goes
// to the operator's own display.
using ProgressSink = std::function<void(const QString& caption, int value, int maximum)>;

// Progress to the sink, or to the operator when there is none.
inline void ShowProgress(Operator& op, const ProgressSink& sink, const QString& caption, int value,
                         int maximum) {
  if (sink) {
    sink(caption, value, maximum);
  } else {
    op.SetProgress(caption, value, maximum);
  }
}

}  // namespace parlatone
