// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/paths.h"

namespace parlatone {

class Choosers;
class Operator;
class Project;

// What every window of the editor works with: the one project of the run,
// where the program's files are, who answers its questions and who chooses
// its files. The main window hands its own to the windows it opens.
struct WindowContext {
  Project& project;
  AppPaths paths;
  Operator& op;
  Choosers& choosers;
};

}  // namespace parlatone
