// SPDX-License-Identifier: GPL-3.0-or-later
#include <QGuiApplication>

#include "cli_main.h"

// The print helper of the command-line tool: the same tool, with the print
// command that paints. Painting lays text out with real fonts, which only a
// GUI application provides. It never shows a window, so unless the user
// chose a platform it takes the offscreen one: it runs the same with or
// without a display (a terminal over ssh, a build machine).
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication app(argc, argv);
  return parlatone::cli::CliMain();
}
