// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>

#include "cli_main.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return parlatone::cli::CliMain();
}
