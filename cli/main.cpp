#include <QCoreApplication>

#include "cli_main.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return parlatone::cli::CliMain();
}
