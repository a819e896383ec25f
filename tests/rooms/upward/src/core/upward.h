// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A core header that reaches up into the windows: the check must refuse it.
#include "gui/frm_main.h"
