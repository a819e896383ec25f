// SPDX-License-Identifier: GPL-3.0-or-later
// An editor file that reaches sideways into the voices: refused too.
#include "voices/player.h"
