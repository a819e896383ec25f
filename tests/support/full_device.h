// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace parlatone::testing {

// Every write of the file layer goes to a device that takes `bytes` more
// and is then full, as a card or disk fills while it is written, until
// RestoreWrites gives back the real devices' room.
void FailWritesAfter(qint64 bytes);
void RestoreWrites();

}  // namespace parlatone::testing
