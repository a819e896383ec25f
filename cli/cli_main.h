// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace parlatone::cli {

// Runs the tool on the application's arguments, with standard output and
// error; the application object exists already.
int CliMain();

}  // namespace parlatone::cli
